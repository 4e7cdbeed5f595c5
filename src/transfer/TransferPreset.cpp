#include "transfer/TransferPreset.h"

#include <algorithm>
#include <cctype>

namespace tvl {

std::optional<int> findTransferPreset(std::string_view name)
{
    const auto sameLetters = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    for (std::size_t i = 0; i < kTransferPresets.size(); ++i) {
        const std::string_view text = kTransferPresets[i].menuText;
        if (std::equal(text.begin(), text.end(), name.begin(), name.end(), sameLetters))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

} // namespace tvl
