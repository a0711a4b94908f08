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
        if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
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
