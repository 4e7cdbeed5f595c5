#include "flow/GridHeader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <string>

namespace tvl {
namespace {

GridHeader parse(std::string text)
{
    text.resize(GridHeader::kSize, ' ');
    return GridHeader::parse(text.data(), text.size());
}

TEST(GridHeaderTest, ReadsAllSixFieldsOfAPlainHeader)
{
    const GridHeader h = parse("SN4DB 3 2 1 2 0 0.0");
    EXPECT_EQ(h.fieldsMatched, 6);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.third, 1);
    EXPECT_EQ(h.additionalCount, 2);
    EXPECT_EQ(h.headerInteger, 0);
    EXPECT_EQ(h.headerReal, 0.0f);
}

TEST(GridHeaderTest, IntegersFollowTheDecimalHexAndOctalRules)
{
    EXPECT_EQ(parse("SN4DB 010 2 1 0 0 0.0").width, 8) << "a leading 0 means octal";
    EXPECT_EQ(parse("SN4DB 0x10 2 1 0 0 0.0").width, 16) << "0x means hexadecimal";
    EXPECT_EQ(parse("SN4DB 0X1f 2 1 0 0 0.0").width, 31);
    EXPECT_EQ(parse("SN4DB +7 -3 1 0 0 0.0").width, 7);
    EXPECT_EQ(parse("SN4DB +7 -3 1 0 0 0.0").height, -3);
    EXPECT_EQ(parse("SN4DB 0 2 1 0 0 0.0").width, 0);
    // "08" is the octal 0 followed by a decimal 8 for the next field.
    const GridHeader split = parse("SN4DB 08 1 0 0 0.5");
    EXPECT_EQ(split.width, 0);
    EXPECT_EQ(split.height, 8);
    EXPECT_EQ(split.fieldsMatched, 6);
    EXPECT_EQ(split.headerReal, 0.5f);
}

TEST(GridHeaderTest, AnyWhiteSpaceSeparatesFieldsIncludingLineBreaks)
{
    const GridHeader h = parse("SN4DB\n4\t\t5\r\n1 3\v0\f2.5");
    EXPECT_EQ(h.fieldsMatched, 6);
    EXPECT_EQ(h.width, 4);
    EXPECT_EQ(h.height, 5);
    EXPECT_EQ(h.additionalCount, 3);
    EXPECT_EQ(h.headerReal, 2.5f);
    EXPECT_EQ(parse("SN4DB7 8 1 0 0 0").width, 7) << "no blank is needed after the tag";
}

TEST(GridHeaderTest, TextEndsAtTheFortiethByteOrAnEarlierZero)
{
    std::string bytes = "SN4DB 3 2 1 2 0 1.5";
    bytes.push_back('\0');
    bytes += " 99";
    bytes.resize(GridHeader::kSize, ' ');
    EXPECT_EQ(GridHeader::parse(bytes.data(), bytes.size()).headerReal, 1.5f);

    // The real number runs past byte 40 in the file; only its first digits count.
    std::string longText = "SN4DB 3 2 1 2 0 ";
    longText.resize(33, ' ');
    longText += "1.25678";
    ASSERT_EQ(longText.size(), 40u);
    longText += "999";
    EXPECT_EQ(GridHeader::parse(longText.data(), longText.size()).headerReal, 1.25678f);
    EXPECT_EQ(parse("SN4DB 3 2 1 2 0 0.0 trailing garbage").fieldsMatched, 6) << "padding after the real is ignored";
}

TEST(GridHeaderTest, CountsOnlyTheFieldsBeforeTheFirstMismatch)
{
    EXPECT_EQ(parse("").fieldsMatched, 0);
    EXPECT_EQ(parse("SN4DX 3 2 1 2 0 0.0").fieldsMatched, 0) << "the tag must match";
    EXPECT_EQ(parse(" SN4DB 3 2 1 2 0 0.0").fieldsMatched, 0) << "the tag must start the text";
    EXPECT_EQ(parse("SN4DB 3 2 1").fieldsMatched, 3);
    EXPECT_EQ(parse("SN4DB 3 2 x 2 0 0.0").fieldsMatched, 2);
    EXPECT_EQ(parse("SN4DB 3 2 1 2 0 abc").fieldsMatched, 5);
    EXPECT_EQ(parse("SN4DB 99999999999 2 1 2 0 0.0").fieldsMatched, 0) << "a width beyond 32 bits";
    EXPECT_EQ(parse("SN4DB 2147483647 -2147483648 1 0 0 0").fieldsMatched, 6);
}

TEST(GridHeaderTest, RealFollowsTheCLocaleWhateverTheProcessLocale)
{
    // A German locale writes 2,5; the file format always uses a point.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const GridHeader h = parse("SN4DB 3 2 1 2 0 2.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(h.headerReal, 2.5f);
    EXPECT_EQ(parse("SN4DB 3 2 1 2 0 -1e3").headerReal, -1000.0f);
    EXPECT_EQ(parse("SN4DB 3 2 1 2 0 0x1p-2").headerReal, 0.25f);
    EXPECT_TRUE(std::isinf(parse("SN4DB 3 2 1 2 0 inf").headerReal));
}

TEST(GridHeaderTest, NeverReadsPastTheGivenBytes)
{
    // No zero byte inside the 40 bytes and nothing readable behind them.
    char exact[GridHeader::kSize];
    std::memset(exact, '7', sizeof exact);
    std::memcpy(exact, "SN4DB ", 6);
    const GridHeader h = GridHeader::parse(exact, sizeof exact);
    EXPECT_EQ(h.fieldsMatched, 0) << "a 34-digit width does not fit 32 bits";
    const GridHeader shortText = GridHeader::parse("SN4DB 3 2", 9);
    EXPECT_EQ(shortText.fieldsMatched, 2);
}

} // namespace
} // namespace tvl
