// The main window's start-up, its file panes and their commands.
#include <QSignalSpy>
#include <QTest>

#include "ui_test_support.h"
#include "volumes.h"

namespace rastrex::uitest {
namespace {

using MainFormTest = FormInFolder;

TEST_F(MainFormTest, StartsWithTheOptionsSetAndEverySourceFileSelected)
{
    struct Case {
        QStringList files;
        QStringList source, destination;
        QString panel1;
        bool convertEnabled;
    };
    const QList<Case> cases{
        {{"b.xwd", "a.XWD", "c.bmp", "notes.txt"}, {"a.XWD", "b.xwd"}, {"c.bmp"}, "レディ", true},
        {{"only.bmp"}, {}, {"only.bmp"}, "", false},
        {{}, {}, {}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        open(c.files);
        EXPECT_EQ(form->Dir1->path(), folder());
        EXPECT_EQ(form->Check1->value(), 0);
        EXPECT_EQ(form->Check2->value(), 1);
        EXPECT_EQ(form->Check3->value(), 0);
        EXPECT_EQ(form->Check4->value(), 1);
        EXPECT_EQ(form->Check5->value(), 0);
        EXPECT_EQ(form->Check6->value(), 0);
        EXPECT_EQ(form->File1->pattern(), QStringLiteral("*.xwd"));
        EXPECT_EQ(form->File2->pattern(), QStringLiteral("*.bmp"));
        EXPECT_EQ(items(*form->File1), c.source);
        EXPECT_EQ(selection(*form->File1).size(), c.source.size());
        EXPECT_EQ(items(*form->File2), c.destination);
        EXPECT_TRUE(selection(*form->File2).isEmpty());
        EXPECT_EQ(form->StatusBar1->panelText(1), c.panel1);
        EXPECT_EQ(form->StatusBar1->panelText(2), QString());
        EXPECT_EQ(form->Command1->isEnabled(), c.convertEnabled);
        EXPECT_TRUE(form->ProgressBar1->isHidden());
        EXPECT_TRUE(form->Drive1->isEnabled());
        EXPECT_EQ(form->Drive1->drive(), volumeRootFor(folder()));
        form.reset();
    }
}

TEST_F(MainFormTest, AFolderChangeSelectsAllOfTheSourceListAndNoneOfTheDestination)
{
    open({"top.xwd"});
    const QString sub = folder() + QStringLiteral("/sub");
    ASSERT_TRUE(QDir().mkdir(sub));
    touch(sub, {"1.xwd", "2.xwd", "3.xwd", "1.bmp", "2.bmp"});
    form->Dir1->setPath(sub);
    EXPECT_EQ(form->File1->folder(), sub);
    EXPECT_EQ(form->File2->folder(), sub);
    EXPECT_EQ(items(*form->File1), (QStringList{"1.xwd", "2.xwd", "3.xwd"}));
    EXPECT_EQ(selection(*form->File1), (QList<int>{0, 1, 2}));
    EXPECT_EQ(items(*form->File2), (QStringList{"1.bmp", "2.bmp"}));
    EXPECT_TRUE(selection(*form->File2).isEmpty());
    EXPECT_TRUE(form->File1->isVisibleTo(form.get()) && form->File2->isVisibleTo(form.get()));

    // Into an empty folder: nothing to convert.
    const QString empty = sub + QStringLiteral("/empty");
    ASSERT_TRUE(QDir().mkdir(empty));
    form->Dir1->setPath(empty);
    EXPECT_EQ(form->File1->itemCount(), 0);
    EXPECT_EQ(form->StatusBar1->panelText(1), QString());
    EXPECT_FALSE(form->Command1->isEnabled());
}

TEST_F(MainFormTest, AFolderThatCannotBeReadLeavesThePanesOnTheLastOne)
{
    open({"a.xwd"});
    const QString start = form->Dir1->path();
    for (const QString& bad : {folder() + QStringLiteral("/gone"), folder() + QStringLiteral("/a.xwd")}) {
        form->Dir1->setPath(bad);
        EXPECT_EQ(form->Dir1->path(), start);
        EXPECT_EQ(items(*form->File1), QStringList{"a.xwd"});
    }
    // A drive whose root cannot be read: the drive list goes back to the
    // drive of the folder still shown.
    form->Drive1->setVolumes({{"/", ""}, {folder() + QStringLiteral("/gone"), ""}}, start);
    form->Drive1->setDrive(folder() + QStringLiteral("/gone"));
    EXPECT_EQ(form->Dir1->path(), start);
    EXPECT_EQ(form->Drive1->drive(), QStringLiteral("/"));
    EXPECT_TRUE(form->Dir1->isVisibleTo(form.get()));
}

TEST_F(MainFormTest, ChoosingADriveOpensItsRootAndRunsTheWholeChain)
{
    open({"a.xwd"});
    const QString stick = folder() + QStringLiteral("/stick");
    ASSERT_TRUE(QDir().mkpath(stick + QStringLiteral("/inner")));
    touch(stick, {"s1.xwd", "s2.xwd"});
    form->Drive1->setVolumes({{"/", ""}, {stick, "STICK"}}, folder());
    form->Drive1->setDrive(stick);  // returns after Dir1_Change and the select-all have run
    EXPECT_EQ(form->Dir1->path(), stick);
    EXPECT_EQ(selection(*form->File1), (QList<int>{0, 1}));
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("レディ"));

    // Climbing out of the volume in the directory list: the drive list
    // follows, and opens nothing by itself.
    form->Dir1->setPath(folder());
    EXPECT_EQ(form->Drive1->drive(), QStringLiteral("/"));
    EXPECT_EQ(form->Dir1->path(), folder());
    form->Dir1->setPath(stick + QStringLiteral("/inner"));
    EXPECT_EQ(form->Drive1->drive(), stick);
    EXPECT_EQ(form->Dir1->path(), stick + QStringLiteral("/inner"));
}

TEST_F(MainFormTest, ShowOnlyBoxesSwitchThePatternsAndNothingElse)
{
    struct Case {
        CheckBox* MainForm::*box;
        FileList* MainForm::*list;
        int value;
        QString pattern;
        QStringList shown;
    };
    const QList<Case> cases{
        {&MainForm::Check2, &MainForm::File1, 0, "*.*", {"a.xwd", "b.bmp", "c.txt", "noext"}},
        {&MainForm::Check2, &MainForm::File1, 2, "*.*", {"a.xwd", "b.bmp", "c.txt", "noext"}},
        {&MainForm::Check2, &MainForm::File1, 1, "*.xwd", {"a.xwd"}},
        {&MainForm::Check4, &MainForm::File2, 0, "*.*", {"a.xwd", "b.bmp", "c.txt", "noext"}},
        {&MainForm::Check4, &MainForm::File2, 2, "*.*", {"a.xwd", "b.bmp", "c.txt", "noext"}},
        {&MainForm::Check4, &MainForm::File2, 1, "*.bmp", {"b.bmp"}},
    };
    open({"a.xwd", "b.bmp", "c.txt", "noext"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        // As after a finished batch: the box's handler must not touch these.
        form->StatusBar1->setPanelText(1, QStringLiteral("完了"));
        form->Command1->setEnabled(false);
        (form.get()->*c.box)->setValue(c.value);
        FileList* list = form.get()->*c.list;
        EXPECT_EQ(list->pattern(), c.pattern);
        EXPECT_EQ(items(*list), c.shown);
        EXPECT_TRUE(selection(*list).isEmpty());
        EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("完了"));
        EXPECT_FALSE(form->Command1->isEnabled());
    }
}

TEST_F(MainFormTest, WithTheSourceFilterOffAFolderChangeSelectsEveryFile)
{
    open({"a.xwd", "b.txt"});
    form->Check2->setValue(0);
    const QString sub = folder() + QStringLiteral("/sub");
    ASSERT_TRUE(QDir().mkdir(sub));
    touch(sub, {"x.png", "y"});
    form->Dir1->setPath(sub);
    EXPECT_EQ(items(*form->File1), (QStringList{"x.png", "y"}));
    EXPECT_EQ(selection(*form->File1), (QList<int>{0, 1}));
}

TEST_F(MainFormTest, TheReinforceBoxLocksOnlyTheDriveList)
{
    open({"a.xwd"});
    const QString drive = form->Drive1->drive();
    const QString path = form->Dir1->path();
    struct Case {
        int value;
        bool driveEnabled;
    };
    for (const Case c : {Case{1, false}, Case{0, true}, Case{1, false}, Case{2, true}}) {
        SCOPED_TRACE(c.value);
        form->Check6->setValue(c.value);
        EXPECT_EQ(form->Drive1->isEnabled(), c.driveEnabled);
        EXPECT_EQ(form->Drive1->drive(), drive);
        EXPECT_EQ(form->Dir1->path(), path);
        for (QWidget* w : {static_cast<QWidget*>(form->Dir1), static_cast<QWidget*>(form->File1),
                           static_cast<QWidget*>(form->File2), static_cast<QWidget*>(form->Command1)})
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    // The quiet box has no effect at all.
    form->Check5->setValue(1);
    EXPECT_TRUE(form->Drive1->isEnabled());
    EXPECT_EQ(items(*form->File1), QStringList{"a.xwd"});
}

TEST_F(MainFormTest, ReReadCommandsTouchTheirListsAndOnlyTheSourceSetsPanelOneAndConvert)
{
    struct Case {
        QAction* MainForm::*command;
        QStringList source;
        QList<int> sourceSelected;
        QStringList destination;
        QList<int> destinationSelected;
        bool sourceStateUpdated;  // panel 1 "レディ" and Command1 enabled again
    };
    const QList<Case> cases{
        {&MainForm::menuRefleshAll, {"a.xwd", "z.xwd"}, {}, {"b.bmp", "c.bmp"}, {}, true},
        {&MainForm::menuReflesh1, {"a.xwd", "z.xwd"}, {}, {"b.bmp"}, {}, true},
        {&MainForm::menuReflesh2, {"a.xwd"}, {0}, {"b.bmp", "c.bmp"}, {}, false},
        {&MainForm::menuSelectAll, {"a.xwd", "z.xwd"}, {0, 1}, {"b.bmp", "c.bmp"}, {}, true},
        {&MainForm::menuSelect1, {"a.xwd", "z.xwd"}, {0, 1}, {"b.bmp"}, {}, true},
        {&MainForm::menuSelect2, {"a.xwd"}, {0}, {"b.bmp", "c.bmp"}, {0, 1}, false},
    };
    for (const Case& c : cases) {
        open({"a.xwd", "b.bmp"});
        QAction* action = form.get()->*c.command;
        SCOPED_TRACE(action->objectName().toStdString());
        // As after a finished batch, then the folder changes on disk.
        form->StatusBar1->setPanelText(1, QStringLiteral("完了"));
        form->Command1->setEnabled(false);
        touch(folder(), {"z.xwd", "c.bmp"});

        action->trigger();
        EXPECT_EQ(items(*form->File1), c.source);
        EXPECT_EQ(selection(*form->File1), c.sourceSelected);
        EXPECT_EQ(items(*form->File2), c.destination);
        EXPECT_EQ(selection(*form->File2), c.destinationSelected);
        EXPECT_EQ(form->StatusBar1->panelText(1), c.sourceStateUpdated ? QStringLiteral("レディ") : QStringLiteral("完了"));
        EXPECT_EQ(form->Command1->isEnabled(), c.sourceStateUpdated);
        form.reset();
    }
}

TEST_F(MainFormTest, APressSetsPanelTwoAndOnlyTheRightButtonOpensTheListsPopup)
{
    struct Case {
        FileList* MainForm::*list;
        Qt::MouseButton button;
        const char* popup;  // "" for none
        const char* panel2;
    };
    // Item 1 is pressed; a right or middle press leaves the current item (0).
    const QList<Case> cases{
        {&MainForm::File1, Qt::LeftButton, "", "b.xwd"},
        {&MainForm::File1, Qt::RightButton, "menuRight1", "a.xwd"},
        {&MainForm::File1, Qt::MiddleButton, "", "a.xwd"},
        {&MainForm::File2, Qt::LeftButton, "", "d.bmp"},
        {&MainForm::File2, Qt::RightButton, "menuRight2", "c.bmp"},
        {&MainForm::File2, Qt::MiddleButton, "", "c.bmp"},
    };
    open({"a.xwd", "b.xwd", "c.bmp", "d.bmp"});
    QStringList popups;
    form->showPopup = [&](PopupMenu& menu) { popups << menu.objectName(); };
    form->show();
    for (const Case& c : cases) {
        FileList* list = form.get()->*c.list;
        SCOPED_TRACE(list->objectName().toStdString() + " " + std::to_string(c.button));
        list->setCurrentRow(0);
        popups.clear();
        form->StatusBar1->setPanelText(2, QString());
        QTest::mousePress(list->viewport(), c.button, {}, list->visualItemRect(list->item(1)).center());
        QTest::mouseRelease(list->viewport(), c.button, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(form->StatusBar1->panelText(2), QString::fromUtf8(c.panel2));
        EXPECT_EQ(popups, *c.popup ? QStringList{QString::fromUtf8(c.popup)} : QStringList{});
    }
}

TEST_F(MainFormTest, APressOnAListWithoutACurrentItemEmptiesPanelTwo)
{
    open({});
    form->showPopup = [](PopupMenu&) {};
    form->StatusBar1->setPanelText(2, QStringLiteral("old"));
    form->File1_MouseDown(kRightButton, 0, 1, 1);
    EXPECT_EQ(form->StatusBar1->panelText(2), QString());
}

TEST_F(MainFormTest, ThePopupsChosenCommandRunsBeforeThePressReturns)
{
    open({"a.xwd", "c.bmp", "d.bmp"});
    form->showPopup = [](PopupMenu& menu) {
        menu.actions().at(1)->trigger();  // "すべて選択(&A)"
    };
    form->File2_MouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(selection(*form->File2), (QList<int>{0, 1}));
}

// --------------------------------------------------------------- keys

class MainFormKeysTest : public FormInFolder {
protected:
    void show(const QStringList& files)
    {
        open(files);
        form->show();
        QApplication::setActiveWindow(form.get());
        converts = std::make_unique<QSignalSpy>(form->Command1, &QAbstractButton::clicked);
    }
    std::unique_ptr<QSignalSpy> converts;
};

TEST_F(MainFormKeysTest, EnterPressesTheConvertButtonFromListsAndBoxesAndEscapeDoesNothing)
{
    show({"a.xwd"});
    struct Case {
        QWidget* target;
        Qt::Key key;
        int converts;
        Qt::KeyboardModifiers modifiers = {};
    };
    const Case cases[] = {
        {form->File1, Qt::Key_Return, 1},   {form->File2, Qt::Key_Enter, 1},
        {form->File2, Qt::Key_Enter, 1, Qt::KeypadModifier},
        {form->Check2, Qt::Key_Return, 1},  {form->Drive1, Qt::Key_Return, 1},
        {form->Command1, Qt::Key_Return, 1}, {form->File1, Qt::Key_Escape, 0},
        {form->Command1, Qt::Key_Escape, 0},
    };
    for (const Case& c : cases) {
        QWidget* target = c.target;
        SCOPED_TRACE(target->objectName().toStdString());
        converts->clear();
        target->setFocus();
        QTest::keyClick(target, c.key, c.modifiers);
        EXPECT_EQ(converts->count(), c.converts);
        EXPECT_TRUE(form->isVisible());
    }
}

TEST_F(MainFormKeysTest, EnterDoesNothingWhileTheConvertButtonIsDisabled)
{
    show({"a.bmp"});
    form->File2->setFocus();
    QTest::keyClick(form->File2, Qt::Key_Return);
    EXPECT_EQ(converts->count(), 0);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainFormKeysTest, EnterOnTheQuitButtonPressesItInstead)
{
    show({"a.xwd"});
    form->Command2->setFocus();
    QTest::keyClick(form->Command2, Qt::Key_Return);
    EXPECT_EQ(converts->count(), 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainFormKeysTest, ShortcutsRunTheirMenuItemsWhereverTheFocusIs)
{
    show({"a.xwd"});
    struct Case {
        Qt::Key key;
        QAction* MainForm::*item;
    };
    const Case cases[] = {
        {Qt::Key_R, &MainForm::menuRefleshAll},
        {Qt::Key_A, &MainForm::menuSelectAll},
        {Qt::Key_C, &MainForm::menuConvert},  // not a copy command, even in a list
        {Qt::Key_V, &MainForm::menuVersion},
    };
    for (const Case& c : cases) {
        QAction* item = form.get()->*c.item;
        SCOPED_TRACE(item->objectName().toStdString());
        QSignalSpy spy(item, &QAction::triggered);
        form->File1->setFocus();
        QTest::keyClick(form->File1, c.key, Qt::ControlModifier);
        EXPECT_EQ(spy.count(), 1);
    }
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainFormKeysTest, ReReadingAListKeepsTheFocusOnIt)
{
    show({"a.xwd", "b.bmp"});
    for (FileList* list : {form->File1, form->File2}) {
        list->setFocus();
        ASSERT_TRUE(list->hasFocus());
        QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier);
        EXPECT_TRUE(list->hasFocus()) << list->objectName().toStdString();
    }
}

TEST_F(MainFormKeysTest, CtrlASelectsEveryItemOfTheSourceListOnly)
{
    show({"a.xwd", "b.xwd", "c.bmp"});
    form->File1->setSelected(0, false);
    form->File1->setSelected(1, false);
    QTest::keyClick(form.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selection(*form->File1), (QList<int>{0, 1}));
    EXPECT_TRUE(selection(*form->File2).isEmpty());
}

// ------------------------------------------------- version window, quit

int versionWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<AboutForm*>(w) && w->isVisible())
            ++n;
    return n;
}

TEST_F(MainFormKeysTest, CtrlVOpensOneVersionWindowOnly)
{
    show({});
    QTest::keyClick(form.get(), Qt::Key_V, Qt::ControlModifier);
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_V, Qt::ControlModifier);
    form->menuVersion_Click();
    EXPECT_EQ(versionWindows(), 1);
    EXPECT_TRUE(form->isVisible());  // the main window stays usable
}

TEST_F(MainFormTest, EveryWayOfQuittingClosesTheVersionWindowToo)
{
    struct Case {
        const char* how;
        std::function<void(MainForm&)> quit;
    };
    const QList<Case> cases{
        {"quit button", [](MainForm& f) { f.Command2->click(); }},
        {"quit menu", [](MainForm& f) { f.menuQuit->trigger(); }},
        {"close box", [](MainForm& f) { f.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        open({});
        form->show();
        form->menuVersion_Click();
        ASSERT_EQ(versionWindows(), 1);
        c.quit(*form);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(versionWindows(), 0);
        EXPECT_EQ(form->aboutForm(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.reset();
    }
}

TEST_F(MainFormTest, ClosingOnlyTheVersionWindowLeavesTheMainWindowAndTheNextOneIsNew)
{
    open({});
    form->show();
    form->menuVersion_Click();
    QPointer<AboutForm> first = form->aboutForm();
    first->Text2->setPlainText(QStringLiteral("typed"));
    first->Command2->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(versionWindows(), 0);
    EXPECT_EQ(form->aboutForm(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());  // unloaded means destroyed

    form->menuVersion_Click();
    EXPECT_EQ(versionWindows(), 1);
    EXPECT_NE(form->aboutForm()->Text2->toPlainText(), QStringLiteral("typed"));
    EXPECT_EQ(form->aboutForm()->Label2->text(), QStringLiteral("version 2001.04.01"));
}

TEST_F(MainFormTest, TheVersionWindowClosesOnEnterButNotOnEscape)
{
    open({});
    form->menuVersion_Click();
    AboutForm* about = form->aboutForm();
    QApplication::setActiveWindow(about);
    QTest::keyClick(about->Command2, Qt::Key_Escape);
    EXPECT_TRUE(about->isVisible());
    // Enter in the description is typing, not OK.
    about->Text2->setFocus();
    QTest::keyClick(about->Text2, Qt::Key_Return);
    EXPECT_TRUE(about->isVisible());
    about->Command2->setFocus();
    QTest::keyClick(about->Command2, Qt::Key_Return);
    EXPECT_EQ(versionWindows(), 0);
}

TEST_F(MainFormTest, MinimisingAndRestoringMovesNoControl)
{
    open({"a.xwd"});
    form->show();
    QMap<QString, QRect> before;
    for (QWidget* w : form->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before[w->objectName()] = w->geometry();
    form->showMinimized();
    form->showNormal();
    form->resize(1000, 1000);
    for (QWidget* w : form->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_EQ(w->geometry(), before.value(w->objectName())) << w->objectName().toStdString();
}

}  // namespace
}  // namespace rastrex::uitest
