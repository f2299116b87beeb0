// quorrix-report: the text pages of the Quorrix window on a terminal, from this machine or
// from saved tables, sectors and battery folders.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/inputs.h"
#include "cli/panel_input.h"
#include "cli/report_options.h"
#include "cli/save_dir.h"
#include "pages/dialog_texts.h"
#include "pages/page_dispatch.h"
#include "pages/report_text.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/smbios_source.h"
#include "platform/system_sources.h"
#include "smbios/smbios.h"
#include "text/gbk.h"
#include "text/printable.h"

namespace {

constexpr int kExitBadInput = 2;
constexpr int kPanelPageNumber = 10;
constexpr int kVerdictPageNumber = 12;  // judges what every other source read

// Messages quote paths and entry names from the command line and from saved folders; their
// control characters are shown escaped, never sent to the terminal.
int Fail(const std::string& message) {
    std::fprintf(stderr, "quorrix-report: %s\n", text::Printable(message).c_str());
    return kExitBadInput;
}

// Page bytes as they are (--raw), or UTF-8 text for a terminal.
bool Write(std::string_view bytes) {
    return platform::WriteStdout(bytes, false);
}
bool WriteText(std::string_view utf8) {
    return platform::WriteStdout(utf8, true);
}

// Status 0 when `bWritten` and everything left in stdout's buffer reaches it. Otherwise (a
// full disk, a closed console) the pages are cut short: said on stderr, so that nobody takes
// a truncated file for the report, and status 1.
int Finish(bool bWritten) {
    if (bWritten && std::fflush(stdout) == 0) return 0;
    const int error = errno;
    std::fprintf(stderr, "quorrix-report: cannot write to standard output%s%s\n",
                 error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    platform::LoadDllsFromSystemFolderOnly();
    const std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
    std::vector<const char*> argp;
    for (const std::string& arg : args) argp.push_back(arg.c_str());
    auto parsed = cli::ParseOptions(static_cast<int>(argp.size()), argp.data());
    if (auto* message = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "quorrix-report: %s\nTry 'quorrix-report --help'.\n",
                     text::Printable(*message).c_str());
        return kExitBadInput;
    }
    cli::ReportOptions& options = std::get<cli::ReportOptions>(parsed);
    errno = 0;
    if (options.bHelp) return Finish(WriteText(cli::kUsage));
    if (options.bVersion) return Finish(WriteText("quorrix-report 2.0\n"));

    // A source is gathered when a chosen page needs it, and also whenever the command line
    // names saved data for it: a named file that cannot be used is an error even when its
    // page is not printed.
    // Raw page bytes are GBK with the firmware's strings in them: for files and pipes.
    if (options.bRaw && platform::StdoutIsTerminal())
        return Fail("--raw writes page bytes for a file or a pipe, not for a terminal");
    std::string err;
    // Saved data needs no administrator: it is read with the rights of the user who ran sudo
    // (and, as root itself, only root's own files are read).
    if ((options.from || cli::NamesSavedData(options)) && !platform::TakeOnInvokingUser(&err))
        return Fail(err);
    if (options.from && !cli::ResolveFrom(&options, &err)) return Fail(err);
    // --save keeps every source, whichever page is printed.
    std::unique_ptr<CSMBios> smbios;
    if ((options.nPage != 6 && options.nPage != kPanelPageNumber) || options.fromDump ||
        options.dmiDir || options.save) {
        smbios = cli::GatherSmbios(options, &err);
        if (!smbios) return Fail(err);
    }
    cli::GatheredDisk disk;
    if (options.Wants(6) || options.Wants(kVerdictPageNumber) || options.diskDump || options.save) {
        disk = cli::GatherDisk(options, &err);
        if (!disk.hdSmart) return Fail(err);
    }
    cli::GatheredBattery battery;
    if (options.Wants(7) || options.Wants(kVerdictPageNumber) || options.powerSupply ||
        options.save) {
        battery = cli::GatherBattery(options, &err);
        if (!battery.battery) return Fail(err);
    }
    cli::GatheredPanel panel;
    if (options.Wants(kPanelPageNumber) || options.Wants(kVerdictPageNumber) || options.edid ||
        options.save) {
        if (!cli::GatherPanel(options, &panel, &err)) return Fail(err);
    }
    // Only the disk and panel pages skip the firmware tables; a battery page beside them has no
    // firmware record to show.
    platform::CFixedSmbiosSource noTables({});
    if (!smbios) smbios = std::make_unique<CSMBios>(noTables, platform::Notifier());

    if (options.save && !cli::SaveTo(options, *smbios, disk, battery, panel.bytes, &err))
        return Fail(err);

    const pages::PageSources sources{smbios.get(), disk.hdSmart.get(), battery.battery.get(),
                                     &panel.panel};
    pages::CPageStrings strings;
    // Every category that shows a page, numbered as in the window's list (10 is "A").
    const std::vector<pages::ReportPage> pages = pages::BuildReportPages(
        sources, &strings, [&](int number) { return options.Wants(number); });
    const std::string report = pages::ComposeReport(
        pages, options.bRaw ? pages::ReportForm::kRaw : pages::ReportForm::kText,
        options.nPage != 0);
    errno = 0;
    return Finish(options.bRaw ? Write(report) : WriteText(report));
}
