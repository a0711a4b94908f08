#include "wildcard.h"

#include <cstddef>

#include "case_fold.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace rastrex {

namespace {

// Bytes of a UTF-8 character that starts with `s[i]`: a lead byte takes its
// continuation bytes along.
std::size_t utf8Bytes(std::string_view s, std::size_t i)
{
    std::size_t n = 1;
    if (static_cast<unsigned char>(s[i]) >= 0xC0)
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
            ++n;
    return n;
}

// Whether names are UTF-8: on Windows only where the program's ANSI code
// page is.
bool namesAreUtf8()
{
#if defined(_WIN32)
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
#else
    return true;
#endif
}

// Bytes in the character that starts at `s[i]`, so that "?" stands for one
// character and a multi-byte character never matches half of another.
std::size_t charBytes(std::string_view s, std::size_t i)
{
#if defined(_WIN32)
    if (!namesAreUtf8())  // a lead byte of the ANSI code page: two bytes
        return i + 1 < s.size() && IsDBCSLeadByte(static_cast<BYTE>(s[i])) ? 2 : 1;
#endif
    return utf8Bytes(s, i);
}

// The character as case is ignored: letters of UTF-8 names folded, of
// other code pages ASCII letters only.
char32_t folded(std::string_view c)
{
    if (c.size() == 1)
        return foldLetter(static_cast<unsigned char>(c[0]) < 0x80 ? static_cast<unsigned char>(c[0]) : 0);
    return namesAreUtf8() ? foldLetter(decodeUtf8(c, c.size())) : 0;
}

bool sameChar(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    const char32_t fa = folded(a);
    return fa != 0 && fa == folded(b);
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // Greedy matching with one point to come back to, the last "*": linear
    // in the name for each star, never recursive.
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
            if ((pLen == 1 && pattern[p] == '?') || sameChar(pattern.substr(p, pLen), name.substr(n, nLen))) {
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

bool matchesPattern(std::string_view name, std::string_view patterns)
{
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = patterns.find(';', start);
        std::string_view one =
            patterns.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        // Spaces around a pattern of a list ("*.bmp; *.xwd") are no part of it.
        while (!one.empty() && one.front() == ' ')
            one.remove_prefix(1);
        while (!one.empty() && one.back() == ' ')
            one.remove_suffix(1);
        // "*.*" means every name, the way the file search has always read it.
        if (one == "*.*" || one == "*" || (!one.empty() && wildcardMatch(one, name)))
            return true;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return false;
}

}  // namespace rastrex
