// quorrix-report: the text pages of the Quorrix window on a terminal, from this machine or
// from saved tables, sectors and battery folders.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/dialog_texts.h"
#include "cli/inputs.h"
#include "cli/report_options.h"
#include "platform/smbios_source.h"
#include "smbios/smbios.h"
#include "smbios/smbios_pages.h"
#include "text/gbk.h"

namespace {

constexpr int kExitBadInput = 2;

struct ReportPage {
    int nNumber;
    std::string strText;  // GBK page text
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "quorrix-report: %s\n", message.c_str());
    return kExitBadInput;
}

bool Write(std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

// UTF-8 with LF line ends, for a terminal.
std::string ForTerminal(std::string_view gbk) {
    std::string utf8 = text::GbkToUtf8(gbk);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        out.push_back(utf8[i]);
    }
    return out;
}

bool PrintPages(const std::vector<ReportPage>& pages, const cli::ReportOptions& options) {
    bool ok = true;
    for (const ReportPage& page : pages) {
        if (options.nPage != 0) {
            // One page: the text alone; raw is byte for byte what the window's pane gets.
            if (options.bRaw) return Write(page.strText);
            std::string shown = ForTerminal(page.strText);
            if (!shown.empty() && shown.back() != '\n') shown.push_back('\n');
            return Write(shown);
        }
        // The caption the window's page frame shows for this page.
        const std::string caption =
            "== " + std::string(app::kPageCaptions[static_cast<std::size_t>(page.nNumber - 1)]) +
            " ==";
        if (options.bRaw) {
            ok = ok && Write(text::Utf8ToGbk(caption) + "\r\n") && Write(page.strText);
            if (!page.strText.ends_with("\r\n")) ok = ok && Write("\r\n");
        } else {
            std::string shown = ForTerminal(page.strText);
            if (!shown.empty() && shown.back() != '\n') shown.push_back('\n');
            ok = ok && Write(caption + "\n") && Write(shown);
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    auto parsed = cli::ParseOptions(argc, argv);
    if (auto* message = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "quorrix-report: %s\nTry 'quorrix-report --help'.\n",
                     message->c_str());
        return kExitBadInput;
    }
    const cli::ReportOptions& options = std::get<cli::ReportOptions>(parsed);
    if (options.bHelp) return Write(cli::kUsage) ? 0 : 1;
    if (options.bVersion) return Write("quorrix-report 2.0\n") ? 0 : 1;

    // A source is gathered when a chosen page needs it, and also whenever the command line
    // names saved data for it: a named file that cannot be used is an error even when its
    // page is not printed.
    std::string err;
    std::unique_ptr<CSMBios> smbios;
    if (options.nPage != 6 || options.fromDump || options.dmiDir) {
        smbios = cli::GatherSmbios(options, &err);
        if (!smbios) return Fail(err);
    }
    std::optional<std::string> disk;
    if (options.Wants(6) || options.diskDump) {
        disk = cli::GatherDiskPage(options, &err);
        if (!disk) return Fail(err);
    }
    std::optional<std::string> battery;
    if (options.Wants(7) || options.powerSupply) {
        // Only the disk page skips the firmware tables; checking a battery folder beside it
        // needs no live SMBIOS read.
        platform::CFixedSmbiosSource noTables({});
        const std::unique_ptr<CSMBios> none =
            smbios ? nullptr : std::make_unique<CSMBios>(noTables, platform::Notifier());
        battery = cli::GatherBatteryPage(options, smbios ? *smbios : *none, &err);
        if (!battery) return Fail(err);
    }

    std::vector<ReportPage> pages;
    if (options.Wants(1)) {
        std::string version;
        pages.push_back({1, smbios::BuildBiosPage(*smbios, &version)});
    }
    if (options.Wants(2)) pages.push_back({2, smbios::BuildSystemPage(*smbios)});
    if (options.Wants(3)) pages.push_back({3, smbios::BuildProcessorPage(*smbios)});
    if (options.Wants(4)) pages.push_back({4, smbios::BuildBoardPage(*smbios)});
    if (options.Wants(5)) {
        std::string memory;
        smbios::AppendMemoryPage(*smbios, &memory);
        pages.push_back({5, std::move(memory)});
    }
    if (options.Wants(6)) pages.push_back({6, std::move(*disk)});
    if (options.Wants(7)) pages.push_back({7, std::move(*battery)});
    const bool written = PrintPages(pages, options);
    return (written && std::fflush(stdout) == 0) ? 0 : 1;
}
