// Runs a fuzz target without libFuzzer: every file named, and every file under
// every folder named, goes through LLVMFuzzerTestOneInput once, in name order.
// A finding aborts the process; finding no input at all is a failure too, so a
// missing or emptied corpus cannot pass.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error)) {
        std::fprintf(stderr, "no such file or folder: %s\n", path.c_str());
        return false;
    }
    for (const auto& entry : fs::recursive_directory_iterator(path, error))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    if (error) {
        std::fprintf(stderr, "cannot list %s: %s\n", path.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

bool ReadInput(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i)
        if (!CollectInputs(argv[i], inputs))
            return 1;
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    std::vector<std::uint8_t> bytes;
    for (const fs::path& input : inputs) {
        if (!ReadInput(input, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        // An empty vector's data() may be null; the target gets a valid pointer.
        static const std::uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
