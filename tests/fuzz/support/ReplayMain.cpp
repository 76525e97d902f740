// Replays fuzz inputs without the fuzzer: every file in the folders given (seed corpus, inputs that
// once found a fault) goes once through the target's entry. A fault aborts, as under the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
            if (entry.is_regular_file()) files.push_back(entry.path());
        if (error) {
            std::fprintf(stderr, "replay: cannot list %s: %s\n", argv[i], error.message().c_str());
            return 2;
        }
        for (const auto& path : files) {
            std::ifstream file(path, std::ios::binary);
            std::vector<char> bytes(std::filesystem::file_size(path, error));
            if (error || !file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
                std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
                return 2;
            }
            std::fprintf(stderr, "replay: %s\n", path.c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
