// The progress bar and status panel 2 during a batch. A batch runs without
// returning to the event loop, so what they show is painted here, without
// taking user input, but no more often than the screen can show it: only
// when the bar's filled width or the shown name changes, and at most once
// per kMinPaintInterval.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "controls.h"

namespace rastrex {

class ProgressPainter {
public:
    // About two screen refreshes at 60 Hz.
    static constexpr std::chrono::milliseconds kMinPaintInterval{30};

    ProgressPainter(ProgressBar& bar, StatusBar& status, Clock& clock);

    // Shows the bar over `count` steps, from 0.
    void start(ItemIndex count);
    // Sets the bar to `value` and panel 2 to `text`; paints when due.
    void step(ItemIndex value, const std::string& text);
    // Empties and hides the bar.
    void finish();

private:
    int filledPixels(ItemIndex value) const;

    ProgressBar& bar_;
    StatusBar& status_;
    Clock& clock_;
    std::optional<std::chrono::steady_clock::time_point> lastPaint_;
    int paintedFill_ = -1;
    std::string paintedText_;
};

}  // namespace rastrex
