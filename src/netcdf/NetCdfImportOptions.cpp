#include "netcdf/NetCdfImportOptions.h"

#include <charconv>

namespace tvl {

bool parseDimensionIndex(const std::string& text, NetCdfImportOptions& options, std::string& error)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        error = "expected DIM=K, got \"" + text + "\"";
        return false;
    }
    const std::string name = text.substr(0, equals);
    long long index = 0;
    const char* first = text.data() + equals + 1;
    const char* last = text.data() + text.size();
    const auto [end, status] = std::from_chars(first, last, index);
    if (status != std::errc() || end != last || index < 0) {
        error = "the index in \"" + text + "\" is not a non-negative whole number";
        return false;
    }
    for (auto& [dimension, value] : options.indices)
        if (dimension == name) {
            value = index;
            return true;
        }
    options.indices.emplace_back(name, index);
    return true;
}

} // namespace tvl
