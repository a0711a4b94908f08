// A layout's twips as the toolkits place them: pixels at any dots per inch,
// labels grown to their text, the focus and creation orders.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "form_geometry.h"

namespace rastrex {
namespace {

TEST(FormGeometryTest, TwipsBecomeRoundedPixels)
{
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {0, 96, 0},      {7, 96, 0},    {8, 96, 1},  {6405, 96, 427}, {5, 144, 1},
        {4, 144, 0},     {-5, 144, -1}, {-4, 144, 0}, {1440, 120, 120},
        // The product does not fit 32 bits.
        {INT_MAX, 192, 286331153},
    };
    for (const Case& c : cases)
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
}

constexpr ControlLayout kFrame{.name = "Frame", .kind = ControlKind::Frame, .container = "", .left = 8, .top = 300,
                               .width = 3000, .height = 1500, .tab = 1, .caption = "", .tooltip = ""};
constexpr ControlLayout kInside{.name = "Inside", .kind = ControlKind::Label, .container = "Frame", .left = 7,
                                .top = 7, .width = 8, .height = 0, .tab = 0, .caption = "", .tooltip = ""};
constexpr ControlLayout kOrphan{.name = "Orphan", .kind = ControlKind::Label, .container = "Nowhere", .left = 30,
                                .top = 45, .width = 150, .height = 30, .tab = -1, .caption = "", .tooltip = ""};
constexpr ControlLayout kLine{.name = "Line", .kind = ControlKind::Line, .container = "", .left = 0, .top = 0,
                              .width = 90, .height = 15, .tab = -1, .caption = "", .tooltip = ""};
constexpr ControlLayout kButton{.name = "Button", .kind = ControlKind::CommandButton, .container = "", .left = 0,
                                .top = 0, .width = 90, .height = 15, .tab = 2, .caption = "", .tooltip = ""};
constexpr ControlLayout kControls[] = {kFrame, kLine, kInside, kButton, kOrphan};
constexpr FormLayout kForm{"Form", "", 6000, 3000, 0, 0, WindowBorder::FixedSingle, true, kControls, {}, {}};

TEST(FormGeometryTest, PlacesRoundEachEdgeAndKeepAPixel)
{
    struct Case {
        const char* what;
        PixelRect rect, expected;
    };
    const Case cases[] = {
        // Left 7 rounds to 0 and right 15 to 1; a height of 0 keeps one pixel.
        {"in its container", containerRect(kInside), {0, 0, 1, 1}},
        // Offsets summed in twips: 8 + 7 make one pixel, 300 + 7 make 20.
        {"in the client area", clientRect(kForm, kInside), {1, 20, 1, 1}},
        {"at 144 dpi", clientRect(kForm, kFrame, 144), {1, 30, 300, 150}},
        {"of a container the layout lacks", clientRect(kForm, kOrphan), {2, 3, 10, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rect, c.expected) << c.what;
}

TEST(FormGeometryTest, ALabelSizedToItsTextGrowsToTheRightOrAboutItsCentre)
{
    const auto label = [](bool autoSize, bool centred) {
        return ControlLayout{.name = "L", .kind = ControlKind::Label, .container = "", .left = 0, .top = 0,
                             .width = 0, .height = 0, .tab = 0, .caption = "", .tooltip = "",
                             .autoSize = autoSize, .centred = centred};
    };
    constexpr PixelRect kStored{100, 50, 60, 12};
    struct Case {
        const char* what;
        bool autoSize, centred;
        PixelSize needed;
        PixelRect expected;
    };
    const Case cases[] = {
        {"not sized to its text", false, false, {90, 20}, kStored},
        {"text that fits", true, true, {40, 10}, kStored},
        {"wider, left-aligned", true, false, {90, 12}, {100, 50, 90, 12}},
        {"wider, centred", true, true, {71, 12}, {95, 50, 71, 12}},
        {"taller only", true, true, {60, 15}, {100, 50, 60, 15}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fittedToText(kStored, label(c.autoSize, c.centred), c.needed), c.expected) << c.what;
}

TEST(FormGeometryTest, FocusOrderFollowsTheTabsAndCreationPutsTheRestAfter)
{
    const auto names = [](const std::vector<const ControlLayout*>& order) {
        std::string joined;
        for (const ControlLayout* c : order)
            joined += std::string(c->name) + " ";
        return joined;
    };
    EXPECT_EQ(names(focusOrder(kForm)), "Inside Frame Button ");
    EXPECT_EQ(names(creationOrder(kForm)), "Inside Frame Button Line Orphan ");
    EXPECT_EQ(stackingOf(ControlKind::Frame), Stacking::Bottom);
    EXPECT_EQ(stackingOf(ControlKind::ProgressBar), Stacking::Top);
    EXPECT_EQ(stackingOf(ControlKind::StatusBar), Stacking::AsMade);
}

}  // namespace
}  // namespace rastrex
