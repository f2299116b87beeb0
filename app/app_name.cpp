#include "app/app_name.h"

#include <QCoreApplication>
#include <filesystem>

#include "platform/system_sources.h"

namespace app {

std::string ApplicationName() {
    if (const auto path = platform::RunningExecutablePath()) {
        return std::filesystem::path(*path).stem().string();
    }
    return QCoreApplication::applicationName().toStdString();
}

}  // namespace app
