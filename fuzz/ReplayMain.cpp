// Replays a fuzz target on files, as libFuzzer does when it is handed them:
// each file named and each file in a folder named, in name order. Fails when
// a path cannot be read or there is no input at all; a faulty input fails by
// the target's abort or the sanitizer's report, as under the fuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fuzzer hands even an empty input over at a valid address.
    static const std::uint8_t none = 0;
    const auto* data = bytes.empty() ? &none : reinterpret_cast<const std::uint8_t*>(bytes.data());
    LLVMFuzzerTestOneInput(data, bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int a = 1; a < argc; ++a) {
        const std::filesystem::path path = argv[a];
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::filesystem::path> inFolder;
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(path, error))
            if (entry.is_regular_file())
                inFolder.push_back(entry.path());
        if (error) {
            std::fprintf(stderr, "cannot list %s\n", path.c_str());
            return 1;
        }
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    for (const std::filesystem::path& file : files)
        if (!replay(file)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
    std::printf("%zu inputs replayed\n", files.size());
    return files.empty() ? 1 : 0;
}
