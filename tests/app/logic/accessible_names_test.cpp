// The names the layouts give assistive technology.
#include <gtest/gtest.h>

#include "layouts.h"

namespace rastrex {
namespace {

TEST(AccessibleNamesTest, ANameIsTheLayoutsOwnElseTheCaptionReadWithoutItsAccessKeyMark)
{
    struct Case {
        std::string_view caption, accessibleName;
        std::string read;
    };
    const Case cases[] = {
        {"変 換(&C)", "", "変 換(C)"},
        {"&Quit", "", "Quit"},
        {"a && b", "", "a & b"},
        {"end&", "", "end&"},
        {"", "", ""},
        {"", "ドライブ", "ドライブ"},
        {"caption", "name", "name"},
    };
    for (const Case& c : cases) {
        ControlLayout control{.name = "c", .kind = ControlKind::Label, .container = "", .left = 0, .top = 0,
                              .width = 1, .height = 1, .tab = 0, .caption = c.caption, .tooltip = "",
                              .accessibleName = c.accessibleName};
        EXPECT_EQ(accessibleNameOf(control), c.read) << c.caption << " / " << c.accessibleName;
    }
}

// The file lists are named by the labels above them, the version text by
// the frame around it.
TEST(AccessibleNamesTest, TheListsAndTheVersionTextAreNamedByTheCaptionsThatShowWithThem)
{
    struct Case {
        const FormLayout& layout;
        std::string_view control, namedBy;
    };
    const Case cases[] = {
        {mainFormLayout(), "File1", "Label1"},
        {mainFormLayout(), "File2", "Label2"},
        {aboutFormLayout(), "Text2", "Frame1"},
    };
    for (const Case& c : cases) {
        const ControlLayout* control = findControl(c.layout, c.control);
        const ControlLayout* by = findControl(c.layout, c.namedBy);
        ASSERT_TRUE(control && by) << c.control;
        EXPECT_EQ(accessibleNameOf(*control), by->caption) << c.control;
        EXPECT_FALSE(by->caption.empty()) << c.control;
    }
    EXPECT_EQ(findControl(mainFormLayout(), "Label1")->caption, "変換元： xwd");
    EXPECT_EQ(findControl(mainFormLayout(), "Label2")->caption, "変換後： bmp");
}

}  // namespace
}  // namespace rastrex
