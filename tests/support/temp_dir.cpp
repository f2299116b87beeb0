#include "tests/support/temp_dir.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace testsupport {

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorrix-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path CTempDir::Write(const std::string& relative, std::string_view content) const {
    const std::filesystem::path path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    return path;
}

std::filesystem::path CTempDir::Write(const std::string& relative,
                                      const std::vector<std::uint8_t>& content) const {
    return Write(relative,
                 std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

std::filesystem::path FixturesDir() {
    const char* env = std::getenv("QUORRIX_FIXTURES_DIR");
    std::filesystem::path dir = env && *env ? env : QUORRIX_FIXTURES_DIR;
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

}  // namespace testsupport
