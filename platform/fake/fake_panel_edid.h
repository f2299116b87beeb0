// A panel EDID source that answers with the bytes a test gives it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/panel_edid.h"

namespace platform {

class CFakePanelEdidSource : public IPanelEdidSource {
public:
    std::vector<std::uint8_t> ReadPanelEdid() override {
        ++nReads;
        return edid;
    }

    std::vector<std::uint8_t> edid;  // empty: no built-in panel answers
    int nReads = 0;
};

}  // namespace platform
