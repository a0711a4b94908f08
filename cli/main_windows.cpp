// xwd2bmp on Windows: the console takes the place of the terminal, console
// control events that of signals, and the program expands the wildcards that
// cmd.exe passes on unexpanded. Its command line is read as UTF-16 and its
// texts reach a console as UTF-16, so any file name passes through whole.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include <atomic>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "batch.h"
#include "command_line.h"
#include "long_path.h"
#include "platform.h"
#include "stream.h"

// The C runtime expands no wildcards of its own: expandWildcards does, by
// the same rules whatever runtime the program is linked with.
extern "C" {
int _dowildcard = 0;
}

namespace {

// What a process stopped by Ctrl-C ends with, so a calling script sees it.
constexpr UINT kStoppedByControlC = 0xC000013A;

std::atomic<bool> stopRequested{false};

// The first Ctrl-C (or Ctrl-Break, or closing the console) lets the
// conversions under way finish and starts no other; a second one is left to
// the system, which ends the process.
BOOL WINAPI onConsoleControl(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        return stopRequested.exchange(true) ? FALSE : TRUE;
    default:
        return FALSE;
    }
}

// The width of the console that standard error writes to, when it is one on
// which the bar can be redrawn in place (escape sequences understood).
std::optional<int> consoleColumns()
{
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    DWORD mode = 0;
    if (err == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(err, &info) ||
        !GetConsoleMode(err, &mode))
        return std::nullopt;
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0 &&
        !SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        return std::nullopt;  // an old console: no bar rather than stray characters
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? columns : 80;
}

// Text for a console, which shows every character when given UTF-16: the
// program's bytes, in the ANSI code page (UTF-8 by the manifest), are
// converted and written with WriteConsoleW. A character split between two
// writes waits in the buffer for its end.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(bytes_, bytes_ + sizeof bytes_); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override
    {
        if (!flush())
            return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (pptr() == epptr())
            return traits_type::eof();  // only an unfinished character is left, and no room
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override { return flush() ? 0 : -1; }

private:
    // Writes out what is buffered, but for the start of a character whose
    // end has not come yet.
    bool flush()
    {
        const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t whole = wholeCharacters(n);
        bool ok = true;
        if (whole != 0) {
            const std::wstring wide = rastrex::wideText(std::string_view(bytes_, whole), codePage_);
            for (std::size_t done = 0; ok && done < wide.size();) {
                DWORD wrote = 0;
                ok = WriteConsoleW(console_, wide.data() + done, static_cast<DWORD>(wide.size() - done),
                                   &wrote, nullptr) != 0 &&
                     wrote != 0;
                done += wrote;
            }
        }
        std::memmove(bytes_, bytes_ + whole, n - whole);
        setp(bytes_, bytes_ + sizeof bytes_);
        pbump(static_cast<int>(n - whole));
        return ok;
    }

    // How many of the first `n` buffered bytes make whole characters.
    std::size_t wholeCharacters(std::size_t n) const
    {
        const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(bytes_[i]); };
        if (codePage_ == CP_UTF8) {
            std::size_t start = n;  // the last character's first byte
            while (start > 0 && n - start < 4 && (byte(start - 1) & 0xC0) == 0x80)
                --start;
            if (start == 0)
                return n;
            const unsigned char lead = byte(start - 1);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            return length > n - start + 1 ? start - 1 : n;
        }
        std::size_t i = 0, last = 0;
        while (i < n) {
            last = i;
            i += IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(bytes_[i])) ? 2u : 1u;
        }
        return i > n ? last : n;
    }

    HANDLE console_;
    UINT codePage_ = GetACP();
    char bytes_[4096];
};

// While it lives, `stream` writes through a ConsoleBuffer when `which` is a
// console, and as bytes otherwise.
class ConsoleText {
public:
    ConsoleText(std::ostream& stream, DWORD which) : stream_(stream)
    {
        const HANDLE h = GetStdHandle(which);
        DWORD mode = 0;
        if (h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode)) {
            buffer_.emplace(h);
            saved_ = stream_.rdbuf(&*buffer_);
        }
    }
    ~ConsoleText()
    {
        if (buffer_) {
            stream_.flush();
            stream_.rdbuf(saved_);
        }
    }
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    std::ostream& stream_;
    std::optional<ConsoleBuffer> buffer_;
    std::streambuf* saved_ = nullptr;
};

// Whether standard output is the console, which is sent no bitmap.
bool outputIsConsole()
{
    DWORD mode = 0;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    return out != INVALID_HANDLE_VALUE && out != nullptr && GetConsoleMode(out, &mode);
}

// Dumps and bitmaps pass through standard input and output unchanged: no
// CR added before a line feed, no end at a Ctrl-Z.
void binaryStreams()
{
    std::cout.flush();
    std::fflush(stdout);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace

int main()
{
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    const std::vector<std::string> args = rastrex::cli::expandWildcards(rastrex::commandLineArguments());
    std::vector<const char*> expanded{"xwd2bmp"};
    for (const std::string& a : args)
        expanded.push_back(a.c_str());

    rastrex::cli::ExitStatus status;
    {
        const ConsoleText consoleOut(std::cout, STD_OUTPUT_HANDLE);
        const ConsoleText consoleErr(std::cerr, STD_ERROR_HANDLE);
        const rastrex::cli::Reporting reporting{std::cout,         std::cerr,
                                                consoleColumns(),  &stopRequested,
                                                &rastrex::cli::standardInput(), outputIsConsole(),
                                                binaryStreams};
        status = rastrex::cli::runProgram(static_cast<int>(expanded.size()), expanded.data(),
                                          reporting);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "xwd2bmp: cannot write to standard output\n";
            if (status == rastrex::cli::ExitStatus::Success)
                status = rastrex::cli::ExitStatus::Failure;
        }
        std::cerr.flush();
    }
    if (stopRequested.load())
        ExitProcess(kStoppedByControlC);
    return static_cast<int>(status);
}
