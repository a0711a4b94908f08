#include "stream.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <streambuf>
#include <system_error>

#include "batch.h"
#include "path_rules.h"
#include "platform.h"
#include "rastrex.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

namespace {

// Bytes moved at a time between a stream and a file or a string.
constexpr std::size_t kCopyBytes = 1 << 16;

// The bytes of the UTF-8 character that `s` begins with; 0 when it begins
// none (a stray byte, a cut or overlong form, a surrogate, past U+10FFFF).
std::size_t utf8Length(std::string_view s)
{
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
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
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

// A list's text in UTF-8, whatever wrote it: a UTF-8 byte-order mark (Notepad,
// PowerShell's Out-File) is dropped, UTF-16 after its mark (PowerShell's >)
// is read as such, and bytes that are not UTF-8 are left to the system.
// `crlf` is set for a list that comes from Windows whatever reads it.
std::string listText(std::string bytes, bool& crlf)
{
    const std::string_view mark = std::string_view(bytes).substr(0, 3);
    const bool bigEndian = mark.substr(0, 2) == "\xFE\xFF";
    crlf = bigEndian || mark.substr(0, 2) == "\xFF\xFE";
    if (crlf)
        return utf8FromUtf16(std::string_view(bytes).substr(2), bigEndian);
    if (mark == "\xEF\xBB\xBF")
        return bytes.substr(3);
    if (!isUtf8(bytes))
        if (std::optional<std::string> text = consoleTextAsUtf8(bytes))
            return std::move(*text);
    return bytes;
}

}  // namespace

bool readPathList(std::istream& list, Options& options)
{
    std::string bytes;
    const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
    while (list) {
        list.read(buffer.get(), kCopyBytes);
        bytes.append(buffer.get(), static_cast<std::size_t>(list.gcount()));
    }
    if (!list.eof() || list.bad())
        return false;
    bool crlf = false;
    const std::string text = listText(std::move(bytes), crlf);
#if defined(_WIN32)
    crlf = true;
#endif
    const char end = options.nulSeparated ? '\0' : '\n';
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t stop = std::min(text.find(end, start), text.size());
        std::string name = text.substr(start, stop - start);
        start = stop + 1;
        if (crlf && !options.nulSeparated && name.ends_with('\r'))
            name.pop_back();
        if (name.empty())
            continue;
        std::optional<std::string> spelled;
        if (!options.nulSeparated && name.find('\0') != std::string::npos)
            options.refused.emplace_back(options.paths.size(),
                                         "the name holds a NUL character; a list in UTF-16 "
                                         "needs its byte-order mark");
        else if (!(spelled = fromUtf8(name)))
            options.refused.emplace_back(options.paths.size(),
                                         "the name cannot be spelled in the system's code page");
        options.paths.push_back(spelled ? std::move(*spelled) : std::move(name));
    }
    return true;
}

std::string shownName(std::string_view name)
{
    const bool utf8 = namesAreUtf8();
    std::string shown;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t n = utf8 && c >= 0x80 ? utf8Length(name.substr(i)) : 1;
        if (c < 0x20 || c == 0x7F || n == 0) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown.append("\\x").append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
            ++i;
        } else {
            shown.append(name.substr(i, n));
            i += n;
        }
    }
    return shown;
}

namespace {

// Descriptor 0 read in blocks; see standardInput().
class StandardInputBuffer : public std::streambuf {
protected:
    int_type underflow() override
    {
        for (;;) {
#if defined(_WIN32)
            const int got = _read(0, buffer_, static_cast<unsigned>(sizeof buffer_));
#else
            const ssize_t got = ::read(STDIN_FILENO, buffer_, sizeof buffer_);
#endif
            if (got > 0) {
                setg(buffer_, buffer_, buffer_ + got);
                return traits_type::to_int_type(buffer_[0]);
            }
            if (got == 0)
                return traits_type::eof();
            if (errno != EINTR)
                throw std::system_error(errno, std::generic_category(), "cannot read standard input");
        }
    }

private:
    char buffer_[kCopyBytes];
};

enum class Copy { Done, ReadFailed, WriteFailed };

// Copies `from` to its end into `to`; which side failed, if one did. A
// source that fails (an I/O error, not an end) leaves its cause in
// `readError`; with WriteFailed errno tells why.
Copy copyStream(std::istream& from, std::ostream& to, std::string& readError)
{
    const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
    const std::ios::iostate thrown = from.exceptions();
    errno = 0;
    try {
        // What the source's buffer throws carries the cause; badbit alone
        // would not.
        from.exceptions(thrown | std::ios::badbit);
        while (from) {
            from.read(buffer.get(), kCopyBytes);
            const std::streamsize got = from.gcount();
            if (got > 0 && !to.write(buffer.get(), got)) {
                from.exceptions(thrown);
                return Copy::WriteFailed;
            }
        }
    } catch (const std::system_error& e) {
        readError = e.code().message();
    } catch (const std::exception& e) {
        readError = e.what();
    }
    from.exceptions(thrown);
    if (!from.eof() || from.bad())
        return Copy::ReadFailed;
    return to.flush() ? Copy::Done : Copy::WriteFailed;
}

// Why a stream's write failed, from errno.
std::string writeCause()
{
    return std::generic_category().message(errno != 0 ? errno : EIO);
}

// A private folder, removed with whatever is in it.
class Scratch {
public:
    Scratch() : made_(makePrivateFolder()) {}
    ~Scratch()
    {
        if (made_.path) {
            std::error_code ec;
            fs::remove_all(toPath(*made_.path), ec);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const PrivateFolder& made() const { return made_; }
    std::string file(const char* name) const { return *made_.path + kFolderSeparator + name; }

private:
    PrivateFolder made_;
};

bool isRegularFile(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(systemPath(toPath(path)), ec);
}

}  // namespace

std::istream& standardInput()
{
    static StandardInputBuffer buffer;
    static std::istream in(&buffer);
    return in;
}

StreamOutcome convertForStream(const std::string& dump, std::istream* in, std::ostream& out,
                               const std::function<void()>& binary)
{
    StreamOutcome outcome;
    const Scratch scratch;
    if (!scratch.made().path) {
        outcome.failure = "cannot make a temporary folder for the bitmap: " +
                          std::generic_category().message(scratch.made().error);
        return outcome;
    }
    if (binary)
        binary();
    std::string input = dump;
    if (dump == "-" || !isRegularFile(dump)) {
        input = scratch.file("dump.xwd");
        std::ofstream copy(toPath(input), std::ios::binary);
        std::ifstream source;
        std::istream* from = in;
        if (dump != "-") {
            source.open(systemPath(toPath(dump)), std::ios::binary);
            if (!source) {
                outcome.failure = "cannot open the dump: " + std::generic_category().message(errno);
                return outcome;
            }
            from = &source;
        }
        if (from == nullptr || !copy) {
            outcome.failure = from == nullptr ? "there is no standard input to read"
                                              : "cannot copy the dump into " + input;
            return outcome;
        }
        std::string readError;
        Copy copied = copyStream(*from, copy, readError);
        copy.close();
        if (copied == Copy::Done && !copy)
            copied = Copy::WriteFailed;
        if (copied != Copy::Done) {
            outcome.failure = copied == Copy::ReadFailed
                                  ? "cannot read the dump: " + readError
                                  : "cannot copy the dump into " + input + ": " + writeCause();
            return outcome;
        }
    }
    const std::string bitmap = scratch.file("bitmap.bmp");
    Conversion& c = outcome.conversion;
    c = convertDump(input, bitmap);
    if (c.attempted && c.code == RASTREX_ERR_WRITE_OUTPUT) {
        outcome.failure = "cannot write the bitmap into a temporary folder: " + causeText(c.cause, true);
        return outcome;
    }
    if (!c.attempted || c.code != RASTREX_OK)
        return outcome;
    std::ifstream written(toPath(bitmap), std::ios::binary);
    std::string readError;
    const Copy sent = written ? copyStream(written, out, readError) : Copy::ReadFailed;
    if (sent == Copy::WriteFailed)
        outcome.failure = "cannot write the bitmap to standard output: " + writeCause();
    else if (sent == Copy::ReadFailed)
        outcome.failure = "cannot read back the bitmap " + bitmap;
    if (sent != Copy::Done)
        out.clear();  // said here, once
    return outcome;
}

}  // namespace rastrex::cli
