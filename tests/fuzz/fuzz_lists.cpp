// libFuzzer target for the PATH lists of xwd2bmp's --files-from and for the
// names as its messages show them. The input's first byte chooses how the
// list is read: its two low bits the encoding (detected, UTF-8, UTF-16,
// code page 932), the next bit whether names end in NUL (-0); the rest is
// the list. Whatever the bytes:
// - no name is empty or holds its separator;
// - the refused names are named by increasing indexes into the names;
// - a list read as UTF-16 gives UTF-8 names, and so do the names of code
//   page 932 that were not refused;
// - every name, as shown, holds no control character, is UTF-8 where names
//   are (and holds no C1 control then), and is shown the same again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "options.h"
#include "path_list.h"
#include "shown_name.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view name = {})
{
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(name.size()), name.data());
    std::abort();
}

void checkShown(std::string_view name, bool utf8)
{
    const std::string shown = rastrex::cli::shownName(name, utf8);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto c = static_cast<unsigned char>(shown[i]);
        if (c < 0x20 || c == 0x7F)
            fail("a control character shown", shown);
        if (utf8 && c == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) < 0xA0)
            fail("a C1 control shown", shown);
    }
    if (utf8 && !rastrex::cli::isUtf8(shown))
        fail("a name shown in bytes that are no UTF-8", shown);
    if (rastrex::cli::shownName(shown, utf8) != shown)
        fail("a name shown differs when shown again", shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return -1;
    using rastrex::cli::ListEncoding;
    constexpr ListEncoding kEncodings[] = {ListEncoding::Detect, ListEncoding::Utf8, ListEncoding::Utf16,
                                           ListEncoding::Cp932};
    rastrex::cli::Options options;
    options.listEncoding = kEncodings[data[0] & 3];
    options.nulSeparated = (data[0] & 4) != 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    rastrex::cli::decodePathList(bytes, options);

    const char separator = options.nulSeparated ? '\0' : '\n';
    std::size_t next = 0;  // the lowest index a refusal may name
    for (const auto& [index, reason] : options.refused) {
        if (index < next || index >= options.paths.size() || reason.empty())
            fail("a refusal that names no name, or names out of order");
        next = index + 1;
    }
    auto refused = options.refused.begin();
    for (std::size_t i = 0; i < options.paths.size(); ++i) {
        const std::string& name = options.paths[i];
        const bool isRefused = refused != options.refused.end() && refused->first == i;
        if (isRefused)
            ++refused;
        if (name.empty() || name.find(separator) != std::string::npos)
            fail("an empty name, or one holding its separator", name);
        const bool utf16 = options.listEncoding == ListEncoding::Utf16;
        const bool cp932 = options.listEncoding == ListEncoding::Cp932;
        if ((utf16 || (cp932 && !isRefused)) && !rastrex::cli::isUtf8(name))
            fail("a name read from UTF-16 or code page 932 that is no UTF-8", name);
        checkShown(name, true);
        checkShown(name, false);
    }
    checkShown(bytes, true);
    checkShown(bytes, false);
    return 0;
}
