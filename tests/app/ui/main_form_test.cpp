// The main window at start-up and its file panes.
#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

using MainFormStart = FormInFolder;

TEST_F(MainFormStart, SelectsEverySourceFileOfTheStartingFolder)
{
    open({"b.xwd", "a.XWD", "c.bmp", "notes.txt"});
    EXPECT_EQ(form->Dir1->path(), folder());
    EXPECT_EQ(items(*form->File1), (QStringList{"a.XWD", "b.xwd"}));
    EXPECT_EQ(selection(*form->File1), (QList<int>{0, 1}));
    EXPECT_EQ(items(*form->File2), QStringList{"c.bmp"});
    EXPECT_TRUE(selection(*form->File2).isEmpty());
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("レディ"));
    EXPECT_TRUE(form->Command1->isEnabled());
}

}  // namespace
}  // namespace rastrex::uitest
