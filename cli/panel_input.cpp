#include "cli/panel_input.h"

#include "cli/inputs.h"
#include "platform/file_io.h"
#include "platform/panel_edid.h"

namespace cli {

bool GatherPanel(const ReportOptions& options, GatheredPanel* gathered, std::string* err) {
    if (options.edid) {
        const std::string& path = *options.edid;
        // Named on the command line it may be a link (a panel's edid in /sys is one); inside
        // a folder given with --from nothing is followed.
        auto bytes = platform::ReadSavedFileBytes(
            path, platform::kMaxEdidBytes, err,
            options.from ? platform::SavedFile::kInFolder : platform::SavedFile::kNamed);
        if (!bytes) return false;
        if (bytes->size() > platform::kMaxEdidBytes) {
            *err = path + ": more than " + std::to_string(platform::kMaxEdidBytes) +
                   " bytes, longer than any EDID";
            return false;
        }
        if (bytes->size() < display::kEdidBlockBytes) {
            *err = path + ": " + std::to_string(bytes->size()) +
                   " bytes, shorter than an EDID block of 128";
            return false;
        }
        if (!display::HasEdidHeader(*bytes)) {
            *err =
                path + ": not an EDID (the first block lacks the header 00 FF FF FF FF FF FF 00)";
            return false;
        }
        gathered->bytes = std::move(*bytes);
    } else if (!NamesSavedData(options)) {
        gathered->bytes = platform::MakeSystemPanelEdidSource()->ReadPanelEdid();
    }
    gathered->panel = display::DecodeEdid(gathered->bytes);
    return true;
}

}  // namespace cli
