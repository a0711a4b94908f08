// File names as xwd2bmp prints them: on one line each, never a control
// sequence for the terminal that shows them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rastrex::cli {

// The bytes of the UTF-8 character that `s` begins with; 0 when it begins
// none (a stray byte, a cut or overlong form, a surrogate, past U+10FFFF,
// or nothing at all).
std::size_t utf8Length(std::string_view s);

// Whether `s` is UTF-8 throughout.
bool isUtf8(std::string_view s);

// `name` for a message, on one readable line: control characters (a NUL, a
// line end, an escape, DEL and, where names are UTF-8, the controls U+0080
// to U+009F) and, where names are UTF-8, bytes that are no UTF-8 character
// are shown as \xNN, one for each byte. Every name xwd2bmp prints goes
// through it; what it gives comes out unchanged when given again.
std::string shownName(std::string_view name);

// The same, where names are UTF-8 (`utf8`) or in a code page of their own.
std::string shownName(std::string_view name, bool utf8);

}  // namespace rastrex::cli
