#include "flow/GridHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tvl {
namespace {

using namespace std::string_literals;

struct Row {
    std::string text;
    int matched, width, height, third, count, integer;
    float real;
    // Parse exactly the text's bytes (else padded with blanks to 40): nothing
    // behind them may be read.
    bool exact = false;
};

TEST(GridHeaderTest, FieldsFollowTheScanRules)
{
    const Row rows[] = {
        {"SN4DB 3 2 1 2 0 0.0", 6, 3, 2, 1, 2, 0, 0.0f},
        {"SN4DB 010 2 1 0 0 0.0", 6, 8, 2, 1, 0, 0, 0.0f}, // a leading 0 is octal
        {"SN4DB 0x10 2 1 0 0 0.0", 6, 16, 2, 1, 0, 0, 0.0f}, {"SN4DB 0XaF +7 -3 0 0 0.0", 6, 175, 7, -3, 0, 0, 0.0f},
        {"SN4DB 08 1 0 0 0.5", 6, 0, 8, 1, 0, 0, 0.5f}, // octal 0, then a decimal 8
        {"SN4DB\n4\t\t5\r\n1 3\v0\f2.5", 6, 4, 5, 1, 3, 0, 2.5f},
        {"SN4DB9 8 1 0 -17 -1e3", 6, 9, 8, 1, 0, -17, -1000.0f}, // no blank needed after the tag
        {"SN4DB 3 2 1 2 0 1.5\0 99"s, 6, 3, 2, 1, 2, 0, 1.5f}, // a zero byte ends the text
        {"SN4DB 3 2 1 2 0" + std::string(18, ' ') + "1.25678999", 6, 3, 2, 1, 2, 0, 1.25678f, true}, // 40 bytes only
        {"SN4DB 3 2 1 2 0 0x1p-2 trailing", 6, 3, 2, 1, 2, 0, 0.25f},
        {"SN4DB 2147483647 -2147483648 1 0 0 0", 6, 2147483647, -2147483647 - 1, 1, 0, 0, 0.0f},
        {"", 0, 0, 0, 0, 0, 0, 0.0f}, {"SN4DX 3 2 1 2 0 0.0", 0, 0, 0, 0, 0, 0, 0.0f},
        {" SN4DB 3 2 1 2 0 0.0", 0, 0, 0, 0, 0, 0, 0.0f}, // the tag starts the text
        {"SN4DB 3 2 x 2 0 0.0", 2, 3, 2, 0, 0, 0, 0.0f}, // later fields keep their defaults
        {"SN4DB 3 2 1 2 0 abc", 5, 3, 2, 1, 2, 0, 0.0f},
        {"SN4DB 99999999999 2 1 2 0 0.0", 0, 0, 0, 0, 0, 0, 0.0f}, // beyond 32 bits
        {"SN4DB 2147483648 2 1 2 0 0.0", 0, 0, 0, 0, 0, 0, 0.0f},
        {"SN4DB " + std::string(34, '7'), 0, 0, 0, 0, 0, 0, 0.0f, true}, {"SN4DB 3 2", 2, 3, 2, 0, 0, 0, 0.0f, true},
        {"SN4DB 0x3", 1, 3, 0, 0, 0, 0, 0.0f, true}, // hexadecimal up to the last byte
    };
    for (const Row& r : rows) {
        std::vector<char> bytes(r.text.begin(), r.text.end());
        if (!r.exact)
            bytes.resize(GridHeader::kSize, ' ');
        const GridHeader h = GridHeader::parse(bytes.data(), bytes.size());
        const std::string why = "header \"" + r.text + "\"";
        EXPECT_EQ(h.fieldsMatched, r.matched) << why;
        EXPECT_EQ(h.width, r.width) << why;
        EXPECT_EQ(h.height, r.height) << why;
        EXPECT_EQ(h.third, r.third) << why;
        EXPECT_EQ(h.additionalCount, r.count) << why;
        EXPECT_EQ(h.headerInteger, r.integer) << why;
        EXPECT_EQ(h.headerReal, r.real) << why;
    }
}

} // namespace
} // namespace tvl
