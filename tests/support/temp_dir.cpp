#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace testsupport {

namespace {

constexpr int kCreateAttempts = 100;

// "quorrix-test-" and twelve random lowercase letters and digits.
std::string RandomFolderName(std::mt19937_64& random) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string name = "quorrix-test-";
    for (int i = 0; i < 12; ++i) name.push_back(kAlphabet[pick(random)]);
    return name;
}

}  // namespace

CTempDir::CTempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::filesystem::path candidate = base / RandomFolderName(random);
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            m_path = candidate;
            return;
        }
        // No error (a folder of that name exists) or "exists" (a file): draw another name.
        if (ec && ec != std::errc::file_exists)
            throw std::runtime_error("cannot create a folder in " + base.string() + ": " +
                                     ec.message());
    }
    throw std::runtime_error("no free folder name in " + base.string());
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
