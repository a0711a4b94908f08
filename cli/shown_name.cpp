#include "shown_name.h"

#include "platform.h"

namespace rastrex::cli {

std::size_t utf8Length(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto byte = [s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    if (n == 0 || s.size() < n || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return n;
}

bool isUtf8(std::string_view s)
{
    for (std::size_t i = 0, n = 0; i < s.size(); i += n)
        if ((n = utf8Length(s.substr(i))) == 0)
            return false;
    return true;
}

std::string shownName(std::string_view name)
{
    return shownName(name, namesAreUtf8());
}

std::string shownName(std::string_view name, bool utf8)
{
    const auto escape = [](std::string& out, unsigned char c) {
        constexpr char kHex[] = "0123456789ABCDEF";
        out.append("\\x").append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
    };
    std::string shown;
    shown.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t n = utf8 && c >= 0x80 ? utf8Length(name.substr(i)) : 1;
        // U+0080 to U+009F, C2 80 to C2 9F: terminals take some for commands.
        const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F || n == 0) {
            escape(shown, c);
            ++i;
        } else if (c1) {
            escape(shown, c);
            escape(shown, static_cast<unsigned char>(name[i + 1]));
            i += 2;
        } else {
            shown.append(name.substr(i, n));
            i += n;
        }
    }
    return shown;
}

}  // namespace rastrex::cli
