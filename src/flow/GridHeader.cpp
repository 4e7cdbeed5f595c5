#include "flow/GridHeader.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace tvl {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// One %i conversion: white space, optional sign, then a hexadecimal number
// after 0x, an octal one after a leading 0, or a decimal one; the longest
// prefix that forms a number is taken.
bool scanInteger(const char*& p, const char* end, int& out)
{
    while (p < end && isSpace(*p))
        ++p;
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-'))
        negative = *q++ == '-';
    int base = 10;
    if (q < end && *q == '0') {
        if (end - q > 2 && (q[1] == 'x' || q[1] == 'X') && digitValue(q[2]) < 16) {
            base = 16;
            q += 2;
        } else if (q + 1 < end && (q[1] == 'x' || q[1] == 'X')) {
            // "0x" without a hexadecimal digit: the conversion takes the 0 alone.
            p = q + 1;
            out = 0;
            return true;
        } else {
            base = 8;
        }
    }
    std::uint64_t value = 0;
    const char* digits = q;
    while (q < end && digitValue(*q) < base) {
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digitValue(*q));
        if (value > std::uint64_t {1} << 32)
            return false;
        ++q;
    }
    if (q == digits)
        return false;
    const std::int64_t signedValue = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(signedValue);
    p = q;
    return true;
}

// One %f conversion: white space, optional sign, then a decimal or 0x
// hexadecimal floating-point number, an infinity or a NaN, read with the
// C locale's decimal point whatever the process locale is. text ends in a zero byte.
bool scanReal(const char*& p, float& out)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* next = nullptr;
    const float value = strtof_l(p, &next, cLocale);
    if (next == p)
        return false;
    out = value;
    p = next;
    return true;
}

} // namespace

GridHeader GridHeader::parse(const char* bytes, std::size_t size)
{
    GridHeader header;
    char text[kSize + 1] = {};
    std::memcpy(text, bytes, size < kSize ? size : kSize);
    const char* p = text;
    const char* end = text + std::strlen(text);

    static constexpr char kTag[] = "SN4DB";
    const std::size_t tagLength = sizeof kTag - 1;
    if (static_cast<std::size_t>(end - p) < tagLength || std::memcmp(p, kTag, tagLength) != 0)
        return header;
    p += tagLength;

    int* const integers[]
        = {&header.width, &header.height, &header.third, &header.additionalCount, &header.headerInteger};
    for (int* field : integers) {
        int value = 0;
        if (!scanInteger(p, end, value))
            return header;
        *field = value;
        ++header.fieldsMatched;
    }
    float real = 0.0f;
    if (!scanReal(p, real))
        return header;
    header.headerReal = real;
    ++header.fieldsMatched;
    return header;
}

} // namespace tvl
