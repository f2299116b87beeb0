#include "cli/panel_input.h"

#include "cli/inputs.h"
#include "platform/file_io.h"
#include "platform/panel_edid.h"

namespace cli {

bool GatherPanel(const ReportOptions& options, GatheredPanel* gathered, std::string* err) {
    if (options.edid) {
        const std::string& path = *options.edid;
        auto bytes = platform::ReadFileBytes(path, platform::kMaxEdidBytes, err);
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
