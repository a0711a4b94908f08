// Letter case as file names ignore it: one fold for every comparison of
// names that ignores case (file-name patterns, and on Windows the keys that
// tell two spellings of one bitmap apart).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rastrex {

// The lower-case letter of code point `c`, for the letters of the Latin,
// Greek and Cyrillic alphabets and the full-width Latin ones; every other
// code point as it is.
char32_t foldLetter(char32_t c);

// `text`, UTF-8, with every letter folded; bytes that are no UTF-8 stay.
std::string foldCase(std::string_view text);

// A name or path as the file system compares names: two spellings of one
// file give one key. Folded where names ignore case (Windows), as it is
// elsewhere.
std::string nameKey(std::string_view path);

// The order in which a list shows `names`, as indices into them: letters
// folded, then byte order, so that the order is total. Each name is folded
// once, not once per comparison.
std::vector<std::size_t> readingOrder(const std::vector<std::string>& names);

// The code point of the UTF-8 character of `len` bytes at the start of
// `s`, or none (a byte that starts no character).
char32_t decodeUtf8(std::string_view s, std::size_t len);

}  // namespace rastrex
