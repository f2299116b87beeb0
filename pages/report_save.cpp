#include "pages/report_save.h"

#include <cstdint>
#include <span>

#include "pages/dialog_texts.h"
#include "pages/report_text.h"
#include "platform/file_io.h"
#include "smbios/smbios.h"
#include "text/gbk.h"

namespace pages {

bool SaveReport(const PageSources& sources, const ReportPathChooser& choosePath,
                const platform::Notifier& notify, std::string_view gbkCaption) {
    const std::tm now = LocalTimeNow();
    const std::string serial = sources.pSmbios ? sources.pSmbios->m_strSystemSerial : "";
    const std::string path = choosePath(ReportFileName(serial, now));
    if (path.empty()) return false;
    // Page strings of its own: the dialog's pages stay as they are shown.
    const std::string text = ReportFileText(ReportOfEveryPage(sources), now, kThisSystemFileForm);
    std::string err;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (platform::ReplaceFileWhole(path, std::span(bytes, text.size()), &err)) return true;
    notify(text::Utf8ToGbk(std::string(kSaveReportFailed) + err), gbkCaption);
    return false;
}

}  // namespace pages
