// Feeds every file of the folders (or the files) named on the command line to the fuzz target,
// in name order, so that the seed corpus runs as an ordinary test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadInput(const std::filesystem::path& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else {
            inputs.emplace_back(argv[i]);
        }
        if (ec) {
            std::fprintf(stderr, "Cannot read %s: %s\n", argv[i], ec.message().c_str());
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "No inputs to replay\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    std::vector<uint8_t> bytes;
    for (const auto& path : inputs) {
        if (!ReadInput(path, bytes)) {
            std::fprintf(stderr, "Cannot read %s\n", path.string().c_str());
            return 2;
        }
        // A failing property aborts inside the target; this line names the input that did it.
        std::fprintf(stderr, "Replaying %s\n", path.string().c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
