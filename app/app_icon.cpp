#include "app/app_icon.h"

namespace app {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/quorrix/icons/quorrix-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace app
