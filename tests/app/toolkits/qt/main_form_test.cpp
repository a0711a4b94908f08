// The main window as the Qt toolkit builds it: keys, shortcuts, mouse
// presses, the focus across re-reads, and closing windows.
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

class MainFormKeysTest : public FormInFolder {
protected:
    void show(const QStringList& files)
    {
        open(files);
        form->show();
        QApplication::setActiveWindow(widget());
        converts = std::make_unique<QSignalSpy>(control<qt::CommandButton>("Command1"), &QAbstractButton::clicked);
    }
    std::unique_ptr<QSignalSpy> converts;
};

TEST_F(MainFormKeysTest, EnterPressesTheConvertButtonFromListsAndBoxesAndEscapeDoesNothing)
{
    show({"a.xwd"});
    struct Case {
        const char* target;
        Qt::Key key;
        int converts;
        Qt::KeyboardModifiers modifiers = {};
    };
    const Case cases[] = {
        {"File1", Qt::Key_Return, 1},    {"File2", Qt::Key_Enter, 1}, {"File2", Qt::Key_Enter, 1, Qt::KeypadModifier},
        {"Check2", Qt::Key_Return, 1},   {"Drive1", Qt::Key_Return, 1}, {"Command1", Qt::Key_Return, 1},
        {"File1", Qt::Key_Escape, 0},    {"Command1", Qt::Key_Escape, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        QWidget* target = window().control(c.target);
        converts->clear();
        target->setFocus();
        QTest::keyClick(target, c.key, c.modifiers);
        EXPECT_EQ(converts->count(), c.converts);
        EXPECT_TRUE(widget()->isVisible());
    }
}

TEST_F(MainFormKeysTest, EnterDoesNothingWhileTheConvertButtonIsDisabled)
{
    show({"a.bmp"});
    file(2)->setFocus();
    QTest::keyClick(file(2), Qt::Key_Return);
    EXPECT_EQ(converts->count(), 0);
    EXPECT_TRUE(widget()->isVisible());
}

TEST_F(MainFormKeysTest, EnterOnTheQuitButtonPressesItInstead)
{
    show({"a.xwd"});
    QWidget* quit = window().control("Command2");
    quit->setFocus();
    QTest::keyClick(quit, Qt::Key_Return);
    EXPECT_EQ(converts->count(), 0);
    EXPECT_FALSE(widget()->isVisible());
    EXPECT_FALSE(form->window().loaded());
}

TEST_F(MainFormKeysTest, ShortcutsRunTheirMenuItemsWhereverTheFocusIs)
{
    show({"a.xwd"});
    struct Case {
        Qt::Key key;
        const char* item;
    };
    const Case cases[] = {
        {Qt::Key_R, "menuRefleshAll"},
        {Qt::Key_A, "menuSelectAll"},
        {Qt::Key_C, "menuConvert"},  // not a copy command, even in a list
        {Qt::Key_V, "menuVersion"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        QSignalSpy spy(action(c.item), &QAction::triggered);
        file(1)->setFocus();
        QTest::keyClick(file(1), c.key, Qt::ControlModifier);
        EXPECT_EQ(spy.count(), 1);
    }
    QApplication::setActiveWindow(widget());
    QTest::keyClick(widget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(widget()->isVisible());
}

TEST_F(MainFormKeysTest, ReReadingAListKeepsTheFocusOnIt)
{
    show({"a.xwd", "b.bmp"});
    for (qt::FileList* list : {file(1), file(2)}) {
        list->setFocus();
        ASSERT_TRUE(list->hasFocus());
        QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier);
        EXPECT_TRUE(list->hasFocus()) << list->objectName().toStdString();
    }
}

TEST_F(MainFormKeysTest, CtrlASelectsEveryItemOfTheSourceListOnly)
{
    show({"a.xwd", "b.xwd", "c.bmp"});
    file(1)->setSelected(0, false);
    file(1)->setSelected(1, false);
    QTest::keyClick(widget(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selection(*file(1)), (QList<int>{0, 1}));
    EXPECT_TRUE(selection(*file(2)).isEmpty());
}

// A left press moves the mark to the pressed item before MouseDown runs; a
// right or middle press leaves it (and the selection) where it was, and only
// the right button opens the list's popup.
TEST_F(MainFormKeysTest, APressSetsPanelTwoAndOnlyTheRightButtonOpensTheListsPopup)
{
    struct Case {
        int list;
        Qt::MouseButton button;
        const char* popup;  // "" for none
        const char* panel2;
    };
    const Case cases[] = {
        {1, Qt::LeftButton, "", "b.xwd"},  {1, Qt::RightButton, "menuRight1", "a.xwd"},
        {1, Qt::MiddleButton, "", "a.xwd"}, {2, Qt::LeftButton, "", "d.bmp"},
        {2, Qt::RightButton, "menuRight2", "c.bmp"}, {2, Qt::MiddleButton, "", "c.bmp"},
    };
    show({"a.xwd", "b.xwd", "c.bmp", "d.bmp"});
    QStringList popups;
    for (const char* name : {"menuRight1", "menuRight2"})
        window().qtPopup(name)->show = [&popups, name](QMenu&) { popups << name; };
    auto* status = control<qt::StatusBar>("StatusBar1");
    for (const Case& c : cases) {
        qt::FileList* list = file(c.list);
        SCOPED_TRACE(list->objectName().toStdString() + " " + std::to_string(c.button));
        list->setCurrentRow(0);
        popups.clear();
        status->setPanelText(2, "");
        const QPoint at = list->visualItemRect(list->item(1)).center();
        QTest::mousePress(list->viewport(), c.button, {}, at);
        QTest::mouseRelease(list->viewport(), c.button, {}, at);
        EXPECT_EQ(status->panelText(2), c.panel2);
        EXPECT_EQ(popups, *c.popup ? QStringList{QString::fromUtf8(c.popup)} : QStringList{});
    }
}

// ------------------------------------------------- version window, quit

int versionWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("AboutForm") && w->isVisible())
            ++n;
    return n;
}

TEST_F(MainFormKeysTest, CtrlVOpensOneVersionWindowOnly)
{
    show({});
    QTest::keyClick(widget(), Qt::Key_V, Qt::ControlModifier);
    QApplication::setActiveWindow(widget());
    QTest::keyClick(widget(), Qt::Key_V, Qt::ControlModifier);
    form->menuVersion_Click();
    EXPECT_EQ(versionWindows(), 1);
    EXPECT_TRUE(widget()->isVisible());  // the main window stays usable
}

TEST_F(MainFormKeysTest, TheCloseBoxUnloadsBothWindows)
{
    show({});
    form->menuVersion_Click();
    ASSERT_EQ(versionWindows(), 1);
    widget()->close();
    EXPECT_FALSE(widget()->isVisible());
    EXPECT_FALSE(form->window().loaded());
    EXPECT_EQ(versionWindows(), 0);
    EXPECT_EQ(form->aboutForm(), nullptr);
}

TEST_F(MainFormKeysTest, TheVersionWindowClosesOnEnterButNotOnEscapeAndItsCloseBoxUnloadsIt)
{
    show({});
    form->menuVersion_Click();
    auto& about = static_cast<qt::QtWindow&>(form->aboutForm()->window());
    QWidget* ok = about.control("Command2");
    QWidget* text = about.control("Text2");
    QApplication::setActiveWindow(about.widget());
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_TRUE(about.widget()->isVisible());
    // Enter in the description is typing, not OK.
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_TRUE(about.widget()->isVisible());
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(versionWindows(), 0);
    EXPECT_EQ(form->aboutForm(), nullptr);

    form->menuVersion_Click();
    static_cast<qt::QtWindow&>(form->aboutForm()->window()).widget()->close();
    EXPECT_EQ(form->aboutForm(), nullptr);
    EXPECT_TRUE(form->window().loaded());
}

TEST_F(MainFormKeysTest, MinimisingAndRestoringMovesNoControl)
{
    show({"a.xwd"});
    QMap<QString, QRect> before;
    QWidget* client = widget()->centralWidget();
    for (QWidget* w : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before[w->objectName()] = w->geometry();
    widget()->showMinimized();
    widget()->showNormal();
    widget()->resize(1000, 1000);
    for (QWidget* w : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_EQ(w->geometry(), before.value(w->objectName())) << w->objectName().toStdString();
}

// Input given while a batch runs (posted, as the window system queues it)
// is dropped, never carried out afterwards: a click on Check1 and Space on
// 終 了 leave both as they were. Escape stops the batch after the file in
// hand; the close box stops it, then closes the window.
TEST_F(MainFormKeysTest, ABatchDropsInputAndStopsOnEscapeOrTheCloseBox)
{
    struct Case {
        const char* name;
        bool closeBox;  // else Escape
        int converted;
        bool loaded;
    };
    const Case cases[] = {{"escape", false, 2, true}, {"close box", true, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show({"a.xwd", "b.xwd", "c.xwd", "d.xwd"});
        auto* check1 = control<qt::CheckBox>("Check1");
        QWidget* quit = control<QWidget>("Command2");
        const QPoint centre = check1->rect().center();
        auto post = [](QWidget* to, QEvent* event) { QCoreApplication::postEvent(to, event); };
        library.converted.clear();
        library.onConvert = [&](const std::string&) {
            if (library.converted.size() == 1) {
                for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    post(check1, new QMouseEvent(t, centre, check1->mapToGlobal(centre), Qt::LeftButton,
                                                 t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                 Qt::NoModifier));
                for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
                    post(quit, new QKeyEvent(t, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
                if (c.closeBox)
                    post(widget(), new QCloseEvent);
            } else if (library.converted.size() == 2) {
                post(file(1), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            }
        };

        form->Command1_Click();
        QCoreApplication::processEvents();

        EXPECT_EQ(library.converted.size(), static_cast<std::size_t>(c.converted));
        EXPECT_EQ(check1->value(), kCheckOff);
        EXPECT_EQ(form->window().loaded(), c.loaded);
        EXPECT_EQ(widget()->isVisible(), c.loaded);
        EXPECT_EQ(control<qt::StatusBar>("StatusBar1")->panelText(1), "中断");
        EXPECT_FALSE(control<qt::ProgressBar>("ProgressBar1")->isVisible());
    }
}

}  // namespace
}  // namespace rastrex::uitest
