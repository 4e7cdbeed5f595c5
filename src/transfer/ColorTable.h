#pragma once

#include "Rgb.h"

#include <cstdint>
#include <memory>

namespace tvl {

// The transfer function's colour table: one packed RGB byte triple per pixel
// column of the editor strip (entry i at bytes 3i, 3i + 1, 3i + 2). The storage
// is allocated once by the constructor and never moves or changes size, so a
// holder of the table (the colour coders, through std::shared_ptr) can keep
// data() for as long as it holds the table and sees every rebuild at once.
class ColorTable {
public:
    // A negative count gives an empty table. Entries start black.
    explicit ColorTable(int entryCount);

    ColorTable(const ColorTable&) = delete;
    ColorTable& operator=(const ColorTable&) = delete;

    int entryCount() const { return entryCount_; }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::uint8_t* data() { return bytes_.get(); }

    // i must lie in 0 .. entryCount() - 1.
    Rgb entry(int i) const;
    void setEntry(int i, Rgb colour);

private:
    int entryCount_;
    std::unique_ptr<std::uint8_t[]> bytes_;
};

} // namespace tvl
