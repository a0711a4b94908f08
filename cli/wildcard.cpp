#include "platform.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace rastrex::cli {

namespace {

// Bytes in the character that starts at `s[i]`: two for a lead byte of the
// ANSI code page on Windows (whose trail byte may look like an ASCII letter
// or a backslash), else one.
std::size_t charBytes(std::string_view s, std::size_t i)
{
#if defined(_WIN32)
    if (i + 1 < s.size() && IsDBCSLeadByte(static_cast<BYTE>(s[i])))
        return 2;
#else
    (void)s;
    (void)i;
#endif
    return 1;
}

char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameChar(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.size() == 1)
        return foldAscii(a[0]) == foldAscii(b[0]);
    return a == b;
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // Greedy matching with one point to come back to: the last *.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        const std::size_t nLen = charBytes(name, n);
        if (p < pattern.size()) {
            const std::size_t pLen = charBytes(pattern, p);
            if (pLen == 1 && pattern[p] == '*') {
                starP = ++p;
                starN = n;
                continue;
            }
            if ((pLen == 1 && pattern[p] == '?') ||
                sameChar(pattern.substr(p, pLen), name.substr(n, nLen))) {
                p += pLen;
                n += nLen;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        p = starP;
        starN += charBytes(name, starN);
        n = starN;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace rastrex::cli
