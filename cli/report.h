// What xwd2bmp prints of a batch: each item's outcome in the order of the
// items whatever the order they finish in, a progress bar on a terminal,
// and the closing lines. Not thread-safe: the run calls it under its lock.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "batch.h"
#include "conversion.h"
#include "progress.h"

namespace rastrex::cli {

class BatchReport {
public:
    BatchReport(const std::vector<Item>& items, const Options& options, const Reporting& reporting);

    // The items to convert, in order, and their dumps' bytes in all.
    const std::vector<std::size_t>& todo() const { return todo_; }

    // Before the first conversion: prints what needs none and draws the bar.
    void begin();
    // Item `i` is being converted.
    void started(std::size_t i);
    // Item `i` is done; `streamFailure` tells a step around a conversion for
    // standard output that failed.
    void finished(std::size_t i, Conversion outcome, std::string streamFailure);
    // After the run, stopped from outside or not: prints what is left and
    // the closing lines, and tells the exit status.
    ExitStatus end();

private:
    void printReady();
    void printItem(std::size_t i);
    void printSummary();
    void clearBar();

    using Clock = std::chrono::steady_clock;

    const Clock::time_point begin_ = Clock::now();
    const std::vector<Item>& items_;
    const Options& options_;
    const Reporting& reporting_;
    std::ostream& listing_;  // where -v lists the files
    std::vector<std::size_t> todo_;
    std::vector<bool> done_;
    std::vector<Conversion> outcomes_;
    std::string streamFailure_;  // of the one dump converted for standard output
    std::size_t printed_ = 0;
    std::size_t failures_ = 0;  // failures reported so far
    std::unique_ptr<ProgressBar> bar_;
};

}  // namespace rastrex::cli
