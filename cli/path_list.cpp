#include "path_list.h"

#include <algorithm>
#include <cctype>

#include "platform.h"
#include "shown_name.h"

namespace rastrex::cli {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
constexpr unsigned kCp932 = 932;

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const std::size_t n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    constexpr unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeads[n] | (c >> (6 * (n - 1))));
    for (std::size_t i = n - 1; i-- > 0;)
        out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

// UTF-16 text in UTF-8; half a surrogate pair, or a last odd byte, becomes
// U+FFFD, which names no file but shows where the fault is.
std::string utf8FromUtf16(std::string_view bytes, bool bigEndian)
{
    constexpr char32_t kReplacement = 0xFFFD;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else {
            appendUtf8(out, c >= 0xD800 && c < 0xE000 ? kReplacement : c);
        }
    }
    if (i < bytes.size())
        appendUtf8(out, kReplacement);
    return out;
}

// A list's text in UTF-8, or for code page 932 its bytes as they are: its
// names are read one by one, so that one that is not in the code page
// does not lose the others.
std::string listText(std::string bytes, ListEncoding encoding)
{
    const std::string_view view(bytes);
    const bool bigEndian = view.starts_with(kBigEndianMark);
    const bool marked16 = bigEndian || view.starts_with(kLittleEndianMark);
    switch (encoding) {
    case ListEncoding::Cp932:
        return bytes;
    case ListEncoding::Utf16:
        return utf8FromUtf16(view.substr(marked16 ? 2 : 0), bigEndian);
    case ListEncoding::Utf8:
        return view.starts_with(kUtf8Mark) ? bytes.substr(kUtf8Mark.size()) : bytes;
    case ListEncoding::Detect:
        break;
    }
    // PowerShell's > writes UTF-16 after its mark; Notepad and Out-File
    // put a mark before UTF-8.
    if (marked16)
        return utf8FromUtf16(view.substr(2), bigEndian);
    if (view.starts_with(kUtf8Mark))
        return bytes.substr(kUtf8Mark.size());
    if (!isUtf8(bytes))
        if (std::optional<std::string> text = consoleTextAsUtf8(bytes))
            return std::move(*text);
    return bytes;
}

}  // namespace

void decodePathList(std::string bytes, Options& options)
{
    const bool cp932 = options.listEncoding == ListEncoding::Cp932;
    const std::string text = listText(std::move(bytes), options.listEncoding);
    const char end = options.nulSeparated ? '\0' : '\n';
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t stop = std::min(text.find(end, start), text.size());
        std::string name = text.substr(start, stop - start);
        start = stop + 1;
        // Windows editors end lines in CR LF, whatever the encoding.
        if (!options.nulSeparated && name.ends_with('\r'))
            name.pop_back();
        if (name.empty())
            continue;
        std::optional<std::string> utf8 = name;
        std::optional<std::string> spelled;
        if (!options.nulSeparated && name.find('\0') != std::string::npos)
            options.refused.emplace_back(options.paths.size(),
                                         "the name holds a NUL character; a list in UTF-16 "
                                         "needs its byte-order mark");
        else if (cp932 && !(utf8 = codePageTextAsUtf8(name, kCp932)))
            options.refused.emplace_back(options.paths.size(), "the name is not in code page 932");
        else if (!(spelled = fromUtf8(*utf8)))
            options.refused.emplace_back(options.paths.size(),
                                         "the name cannot be spelled in the system's code page");
        options.paths.push_back(spelled ? std::move(*spelled) : std::move(name));
    }
}

std::optional<ListEncoding> listEncodingNamed(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "utf-8")
        return ListEncoding::Utf8;
    if (lower == "utf-16")
        return ListEncoding::Utf16;
    if (lower == "cp932")
        return ListEncoding::Cp932;
    return std::nullopt;
}

}  // namespace rastrex::cli
