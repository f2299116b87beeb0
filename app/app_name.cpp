#include "app/app_name.h"

#include <QCoreApplication>
#include <filesystem>

#include "platform/process_runner.h"

namespace app {

std::string ApplicationName() {
    if (const auto path = platform::RunningExecutablePath()) {
        return std::filesystem::path(*path).stem().string();
    }
    return QCoreApplication::applicationName().toStdString();
}

}  // namespace app
