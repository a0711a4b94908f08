#include "case_fold.h"

#include <algorithm>
#include <numeric>

#include "path_rules.h"

namespace rastrex {

namespace {

// A run of capitals whose small letters lie `offset` code points further.
struct Shift {
    char32_t first, last;
    char32_t offset;
};

constexpr Shift kShifts[] = {
    {U'A', U'Z', 0x20},
    {0x00C0, 0x00D6, 0x20},  // À..Ö
    {0x00D8, 0x00DE, 0x20},  // Ø..Þ
    {0x0391, 0x03A1, 0x20},  // Α..Ρ
    {0x03A3, 0x03AB, 0x20},  // Σ..Ϋ
    {0x0400, 0x040F, 0x50},  // Ѐ..Џ
    {0x0410, 0x042F, 0x20},  // А..Я
    {0xFF21, 0xFF3A, 0x20},  // full-width Ａ..Ｚ
};

// Runs where capital and small letter alternate, the capital first.
struct Pairs {
    char32_t first, last;
};

constexpr Pairs kEvenCapitals[] = {
    {0x0100, 0x012F},  // Ā..į
    {0x0132, 0x0137},  // Ĳ..ķ
    {0x014A, 0x0177},  // Ŋ..ŷ
    {0x0460, 0x0481},  // Cyrillic Ѡ..ҁ
    {0x048A, 0x04BF},  // Ҋ..ҿ
    {0x1E00, 0x1E95},  // Latin Extended Additional
    {0x1EA0, 0x1EFF},
};
constexpr Pairs kOddCapitals[] = {
    {0x0139, 0x0148},  // Ĺ..ň
    {0x0179, 0x017E},  // Ź..ž
    {0x04C1, 0x04CE},  // Ӂ..ӎ
};

std::size_t utf8Length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 0;
    return lead >= 0xC2 ? 2 : 0;
}

void encodeUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t foldLetter(char32_t c)
{
    for (const Shift& s : kShifts)
        if (c >= s.first && c <= s.last)
            return c + s.offset;
    for (const Pairs& p : kEvenCapitals)
        if (c >= p.first && c <= p.last)
            return c % 2 == 0 ? c + 1 : c;
    for (const Pairs& p : kOddCapitals)
        if (c >= p.first && c <= p.last)
            return c % 2 == 1 ? c + 1 : c;
    if (c == 0x0178)  // Ÿ
        return 0x00FF;
    return c;
}

char32_t decodeUtf8(std::string_view s, std::size_t len)
{
    if (len == 0 || len > s.size() || utf8Length(static_cast<unsigned char>(s[0])) != len)
        return 0;
    if (len == 1)
        return static_cast<unsigned char>(s[0]);
    char32_t c = static_cast<unsigned char>(s[0]) & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    return c;
}

std::string foldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8Length(static_cast<unsigned char>(text[i]));
        const char32_t c = decodeUtf8(text.substr(i), len);
        if (c == 0) {
            out += text[i++];  // no UTF-8 here: the byte as it is
            continue;
        }
        encodeUtf8(foldLetter(c), out);
        i += len;
    }
    return out;
}

std::vector<std::size_t> readingOrder(const std::vector<std::string>& names)
{
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names)
        keys.push_back(foldCase(name));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : names[a] < names[b];
    });
    return order;
}

std::string nameKey(std::string_view path)
{
    return kNamesIgnoreCase ? foldCase(path) : std::string(path);
}

}  // namespace rastrex
