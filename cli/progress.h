// The progress bar of xwd2bmp, drawn on one terminal line and redrawn in
// place: files done of total, speed, time left and the current file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "platform.h"

namespace rastrex::cli {

struct ProgressState {
    std::size_t filesDone = 0;
    std::size_t files = 0;
    std::uint64_t bytesDone = 0;  // of the dumps read
    std::uint64_t bytes = 0;
    double seconds = 0;           // since the batch began
    std::string current;          // the file last started
};

// The bar as one line of at most `columns` columns, without line end. The
// current file is shortened from its start when the line would be too long.
std::string progressLine(const ProgressState& state, int columns);

class ProgressBar {
public:
    // Without `escapes` (a dumb terminal) the bar is erased with spaces,
    // and only \r moves the cursor.
    ProgressBar(std::ostream& terminal, int columns, std::size_t files, std::uint64_t bytes,
                bool escapes = terminalTakesEscapes());

    void started(const std::string& dump);
    void finished(std::uint64_t bytes);
    // Draws the bar, at most ten times a second unless `force` is set.
    void draw(bool force = false);
    // Erases the bar, so that a message can take its line.
    void clear();

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& terminal_;
    int columns_;
    ProgressState state_;
    Clock::time_point begin_ = Clock::now();
    Clock::time_point lastDraw_{};
    bool escapes_;
    std::size_t shownColumns_ = 0;  // the most the bar shown may take
    bool shown_ = false;
};

}  // namespace rastrex::cli
