// quorrix_slow_output: a stand-in for a slow summary command in the tests.
//   quorrix_slow_output COUNT INTERVAL_MS [HEX]
// writes COUNT pieces, INTERVAL_MS apart: "piece N" and a CR LF, or the bytes that HEX spells
// (two hex digits each) when given.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
    if (argc < 3) return 2;
#ifdef _WIN32
    // The bytes as given: no CR added before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const int count = std::atoi(argv[1]);
    const int intervalMs = std::atoi(argv[2]);
    std::string bytes;
    if (argc > 3) {
        const std::string hex = argv[3];
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
        }
    }
    for (int i = 1; i <= count; ++i) {
        const std::string piece = argc > 3 ? bytes : "piece " + std::to_string(i) + "\r\n";
        if (std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size()) return 1;
        if (std::fflush(stdout) != 0) return 1;
        if (i < count) std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
    return 0;
}
