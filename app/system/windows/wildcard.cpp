#include "wildcard.h"

#include <cstddef>
#include <vector>

namespace rastrex::win32 {

namespace {

// Only ASCII letters fold: the bytes of other characters are compared as
// they are, so a multi-byte character never matches half of another.
char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytes of the character that starts at `s[i]`: a UTF-8 lead byte (the
// program's code page) takes its continuation bytes along, so that "?"
// stands for one character.
std::size_t charBytes(std::string_view s, std::size_t i)
{
    std::size_t n = 1;
    if (static_cast<unsigned char>(s[i]) >= 0xC0)
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
            ++n;
    return n;
}

}  // namespace

bool matchesOne(std::string_view name, std::string_view pattern)
{
    // "*.*" means every name, the way the file search has always read it.
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Iterative matching with one back-track point per "*": linear in the
    // name for each star, never recursive.
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            n += charBytes(name, n);
            ++p;
        } else if (p < pattern.size() && fold(pattern[p]) == fold(name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += charBytes(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool matchesPattern(std::string_view name, std::string_view patterns)
{
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = patterns.find(';', start);
        const std::string_view one =
            patterns.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!one.empty() && matchesOne(name, one))
            return true;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return false;
}

}  // namespace rastrex::win32
