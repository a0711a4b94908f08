// xwd2bmp on Windows: the console takes the place of the terminal, console
// control events that of signals, and the program expands the wildcards that
// cmd.exe passes on unexpanded.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <atomic>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch.h"
#include "platform.h"

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

// File names reach the console in the ANSI code page, as the program holds
// them; the console shows them so while the program runs.
class ConsoleCodePage {
public:
    ConsoleCodePage() : saved_(GetConsoleOutputCP())
    {
        if (saved_ != 0)
            SetConsoleOutputCP(GetACP());
    }
    ~ConsoleCodePage()
    {
        if (saved_ != 0)
            SetConsoleOutputCP(saved_);
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

private:
    UINT saved_;
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

int main(int argc, char** argv)
{
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    std::vector<std::string> args(argv + 1, argv + argc);
    args = rastrex::cli::expandWildcards(args);
    std::vector<const char*> expanded{argc > 0 ? argv[0] : "xwd2bmp"};
    for (const std::string& a : args)
        expanded.push_back(a.c_str());

    rastrex::cli::ExitStatus status;
    {
        const ConsoleCodePage codePage;
        const rastrex::cli::Reporting reporting{std::cout,       std::cerr,
                                                consoleColumns(),  &stopRequested,
                                                &std::cin,         outputIsConsole(),
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
