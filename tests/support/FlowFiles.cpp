#include "FlowFiles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tvl::test {
namespace {

void appendFloats(std::string& out, const std::vector<float>& values)
{
    for (float v : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        for (int b = 0; b < 4; ++b)
            out.push_back(static_cast<char>(bits >> (8 * b)));
    }
}

} // namespace

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeGridFile(const std::string& path, const std::string& headerText, const std::vector<float>& xyz)
{
    std::string bytes = headerText.substr(0, 40);
    bytes.resize(40, ' ');
    appendFloats(bytes, xyz);
    writeBytes(path, bytes);
}

void writeDataFile(const std::string& path, const std::vector<float>& records)
{
    std::string bytes;
    appendFloats(bytes, records);
    writeBytes(path, bytes);
}

std::vector<float> rectilinearPositions(const std::vector<float>& xs, const std::vector<float>& ys)
{
    std::vector<float> out;
    for (float y : ys)
        for (float x : xs) {
            out.push_back(x);
            out.push_back(y);
            out.push_back(0.0f);
        }
    return out;
}

std::string sharedDataDir()
{
    const char* env = std::getenv("TVL_SHARED_DATA");
    std::string dir = env && *env ? env : "";
    if (dir.empty() || !std::filesystem::is_directory(dir))
        return {};
    return dir;
}

} // namespace tvl::test
