// Where a window opens inside the work area of its screen.
#include <gtest/gtest.h>

#include <climits>

#include "placement.h"

namespace rastrex {
namespace {

TEST(PlacementTest, KeepsAStoredPlaceThatFitsAndMovesInOneThatDoesNot)
{
    constexpr ScreenRect k1024{0, 0, 1024, 738};  // 1024x768 less a 30-pixel task bar
    struct Case {
        const char* what;
        ScreenRect window, work;
        ScreenPoint at;
    };
    const Case cases[] = {
        {"fits at 96 dpi", {273, 210, 433, 296}, k1024, {273, 210}},
        {"touches the right and bottom edges", {591, 442, 433, 296}, k1024, {591, 442}},
        {"main window at 144 dpi, off the bottom", {409, 340, 649, 437}, k1024, {375, 301}},
        {"off the right only", {900, 10, 433, 296}, k1024, {591, 10}},
        {"off the left and top", {-50, -20, 433, 296}, k1024, {0, 0}},
        {"wider and taller than the work area", {300, 300, 1200, 900}, k1024, {0, 0}},
        {"task bar at the top", {10, 0, 200, 100}, {0, 40, 1024, 728}, {10, 40}},
        {"second screen to the left", {-100, 500, 400, 300}, {-1280, 0, 1280, 984}, {-400, 500}},
        {"second screen, window spills onto the first", {-200, 100, 400, 300}, {-1280, 0, 1280, 984}, {-400, 100}},
        {"a stored place far beyond any screen", {INT_MAX - 10, INT_MIN, 400, 300}, k1024, {624, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeInside(c.window, c.work), c.at) << c.what;
}

}  // namespace
}  // namespace rastrex
