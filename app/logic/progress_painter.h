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

// About two screen refreshes at 60 Hz: what a batch shows is painted no
// more often than this.
inline constexpr std::chrono::milliseconds kMinPaintInterval{30};

// Paints at most once per kMinPaintInterval: due() is true the first time
// and then once the interval has passed since it was last true.
class PaintPacing {
public:
    bool due(std::chrono::steady_clock::time_point now)
    {
        if (last_ && now - *last_ < kMinPaintInterval)
            return false;
        last_ = now;
        return true;
    }
    void reset() { last_.reset(); }

private:
    std::optional<std::chrono::steady_clock::time_point> last_;
};

class ProgressPainter {
public:

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
    PaintPacing pacing_;
    int paintedFill_ = -1;
    std::string paintedText_;
};

}  // namespace rastrex
