// The application icon: a laptop under a magnifying glass, in 16, 32 and 48 pixels.
#pragma once

#include <QIcon>

namespace app {

// The icon from the program's resources (16, 32 and 48 pixel images).
QIcon AppIcon();

}  // namespace app
