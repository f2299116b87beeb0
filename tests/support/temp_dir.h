// A folder that lives as long as the test: build small sysfs trees and dump files in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes `content` to `relative` below the folder, creating the folders between.
    std::filesystem::path Write(const std::string& relative, std::string_view content) const;
    std::filesystem::path Write(const std::string& relative,
                                const std::vector<std::uint8_t>& content) const;

private:
    std::filesystem::path m_path;
};

// The folder of captured real-machine fixtures, or an empty path when this checkout has none.
std::filesystem::path FixturesDir();

}  // namespace testsupport
