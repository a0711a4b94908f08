// xwd2bmp: converts X Window dumps into 24-bit Windows bitmaps from the
// command line. Everything but the process itself lives in batch.cpp.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <optional>

#include "batch.h"
#include "stream.h"

namespace {

// Columns assumed when a terminal does not tell its width.
constexpr int kDefaultColumns = 80;

std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// The first Ctrl-C lets the conversions under way finish and starts no
// other, so no bitmap is left half written; a second one ends the process.
extern "C" void onStopSignal(int signal)
{
    stopSignal.store(signal);
    stopRequested.store(true);
}

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

std::optional<int> terminalColumns()
{
    if (!isatty(STDERR_FILENO))
        return std::nullopt;
    struct winsize size {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return kDefaultColumns;
}

}  // namespace

int main(int argc, char** argv)
{
    catchStopSignals();
    // A reader of the listing that goes away (xwd2bmp -v | head) must not end
    // the process in the middle of writing a bitmap; the failed write is
    // reported at the end instead.
    signal(SIGPIPE, SIG_IGN);
    const rastrex::cli::Reporting reporting{std::cout, std::cerr, terminalColumns(),
                                            &stopRequested, &rastrex::cli::standardInput(),
                                            isatty(STDOUT_FILENO) == 1, {}};
    auto status = rastrex::cli::runProgram(argc, argv, reporting);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "xwd2bmp: cannot write to standard output\n";
        if (status == rastrex::cli::ExitStatus::Success)
            status = rastrex::cli::ExitStatus::Failure;
    }
    if (const int signal = stopSignal.load(); signal != 0) {
        // Ends as the signal would have, so a calling script sees it; the
        // handler was reset by the first signal.
        raise(signal);
    }
    return static_cast<int>(status);
}
