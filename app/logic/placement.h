// Where a window opens on the screen: at its stored place when it lies
// wholly inside the work area of its screen (the screen less its task
// bars), moved in the least distance when it does not. Both toolkits call
// this with their own pixels: physical ones at the screen's dots per inch
// on Win32, device-independent ones on Qt.
#pragma once

#include <algorithm>

namespace rastrex {

struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct ScreenPoint {
    int x = 0, y = 0;

    friend constexpr bool operator==(ScreenPoint, ScreenPoint) = default;
};

// The top-left corner of `window` (its outer rectangle, frame and title bar
// included, at the stored place) moved into `work`. A window larger than
// the work area keeps its top and left edges inside it: the title bar, by
// which it is moved, and the system menu stay reachable.
constexpr ScreenPoint placeInside(const ScreenRect& window, const ScreenRect& work)
{
    // Screen coordinates and sizes are far below the range of int, but a
    // stored place is not trusted: the sums are made in long long.
    const auto along = [](int start, int size, int workStart, int workSize) {
        long long at = start;
        const long long end = static_cast<long long>(workStart) + workSize;
        if (at + size > end)
            at = end - size;
        at = std::max<long long>(at, workStart);
        return static_cast<int>(at);
    };
    return {along(window.left, window.width, work.left, work.width),
            along(window.top, window.height, work.top, work.height)};
}

}  // namespace rastrex
