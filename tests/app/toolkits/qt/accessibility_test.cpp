// What assistive technology reads of the Qt windows: a name for every
// control the keyboard reaches, the status bar in its role announcing its
// first panel, the keyboard's way to the popups and the menu bar, and the
// focus a list shows on itself.
#include <QLabel>
#include <QAccessible>
#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "layouts.h"
#include "reachable_controls.h"
#include "ui_test_support.h"

namespace rastrex {
namespace {

using uitest::FormInFolder;

using test::reachable;

// What the control shows as its value, through the toolkit's interface;
// "" for a control that has none.
std::string valueOf(Window& w, const ControlLayout& c)
{
    if (DriveList* d = w.driveList(c.name))
        return d->drive();
    if (DirList* d = w.dirList(c.name))
        return d->path();
    if (FileList* f = w.fileList(c.name))
        return f->list(f->listIndex());
    if (TextBox* t = w.textBox(c.name))
        return t->text();
    if (StatusBar* s = w.statusBar(c.name))
        return s->panelText(1);
    return {};
}

QAccessibleInterface* accessible(qt::QtWindow& w, std::string_view name)
{
    return QAccessible::queryAccessibleInterface(w.control(name));
}

class AccessibilityTest : public FormInFolder {};

TEST_F(AccessibilityTest, EveryControlOfBothWindowsHasANameThatIsNotItsValue)
{
    open({"a.xwd", "b.bmp"});
    auto about = toolkit.buildWindow(aboutFormLayout(), WindowRole::Secondary);
    struct Case {
        Window* window;
        const FormLayout* layout;
    };
    const Case cases[] = {{&form->window(), &mainFormLayout()}, {about.get(), &aboutFormLayout()}};
    // Each list with a current item, the bar with a state.
    file(1)->setCurrentRow(0);
    file(2)->setCurrentRow(0);
    form->window().statusBar("StatusBar1")->setPanelText(1, "レディ");
    int walked = 0;
    for (const Case& w : cases) {
        for (const ControlLayout& c : w.layout->controls) {
            Control* control = reachable(*w.window, c);
            if (control == nullptr)
                continue;
            ++walked;
            SCOPED_TRACE(std::string(c.name));
            const std::string name = control->accessibleName();
            EXPECT_FALSE(name.empty());
            EXPECT_EQ(name, accessibleNameOf(c));
            EXPECT_NE(name, valueOf(*w.window, c));
            QAccessibleInterface* a = accessible(static_cast<qt::QtWindow&>(*w.window), c.name);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->text(QAccessible::Name).toStdString(), name);
        }
    }
    EXPECT_EQ(walked, 14 + 2);
    QAccessibleInterface* text = accessible(static_cast<qt::QtWindow&>(*about), "Text2");
    EXPECT_TRUE(text->state().readOnly);
    EXPECT_FALSE(text->state().editable);  // 14 on the main window; the version window's button and text
}

TEST_F(AccessibilityTest, TheListsAreNamedByTheLabelsAboveThemAndTheDriveListByItsRole)
{
    open({"a.xwd"});
    Window& w = form->window();
    struct Case {
        const char* control;
        std::string name;
    };
    const Case cases[] = {
        {"File1", w.label("Label1")->caption()}, {"File2", w.label("Label2")->caption()},
        {"Drive1", "ドライブ"}, {"Dir1", "フォルダ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(w.fileList(c.control) ? w.fileList(c.control)->accessibleName()
                  : w.driveList(c.control) ? w.driveList(c.control)->accessibleName()
                                           : w.dirList(c.control)->accessibleName(),
                  c.name)
            << c.control;
    EXPECT_EQ(w.label("Label1")->caption(), "変換元： xwd");
    QAccessibleInterface* drive = accessible(window(), "Drive1");
    EXPECT_EQ(drive->role(), QAccessible::ComboBox);
    EXPECT_EQ(drive->text(QAccessible::Value).toStdString().substr(0, w.driveList("Drive1")->drive().size()),
              w.driveList("Drive1")->drive());
    EXPECT_TRUE(drive->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
}

// Every event about the status bar, as assistive technology receives them.
std::vector<std::pair<QAccessible::Event, QString>>* seen = nullptr;
void record(QAccessibleEvent* event)
{
    if (seen != nullptr && dynamic_cast<qt::StatusBar*>(event->object()))
        seen->emplace_back(event->type(), event->accessibleInterface()->text(QAccessible::Description));
}

TEST_F(AccessibilityTest, TheStatusBarAnnouncesEachNewTextOfItsFirstPanel)
{
    open({});
    QAccessibleInterface* bar = accessible(window(), "StatusBar1");
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    EXPECT_EQ(bar->text(QAccessible::Name), QStringLiteral("状態"));
    StatusBar& status = *form->window().statusBar("StatusBar1");
    status.setPanelText(1, "");
    std::vector<std::pair<QAccessible::Event, QString>> events;
    seen = &events;
    // Qt delivers the events only where a platform bridge is active (AT-SPI
    // on a desktop); elsewhere the description is checked alone.
    QAccessible::installUpdateHandler(record);
    struct Step {
        int panel;
        const char* text;
        bool announced;
    };
    const Step steps[] = {
        {1, "レディ", true}, {1, "レディ", false}, {2, "a.xwd", false}, {1, "完了", true}, {1, "中断", true},
    };
    for (const Step& s : steps) {
        events.clear();
        status.setPanelText(s.panel, s.text);
        const std::vector<std::pair<QAccessible::Event, QString>> expected =
            s.announced ? std::vector{std::pair{QAccessible::DescriptionChanged, QString::fromUtf8(s.text)}}
                        : std::vector<std::pair<QAccessible::Event, QString>>{};
        if (QAccessible::isActive()) {
            EXPECT_EQ(events, expected) << s.panel << " " << s.text;
        }
        if (s.panel == 1) {
            EXPECT_EQ(bar->text(QAccessible::Description), QString::fromUtf8(s.text));
        }
        // What is announced is also what the panel shows.
        EXPECT_EQ(control<qt::StatusBar>("StatusBar1")->findChildren<QLabel*>().at(s.panel - 1)->text(),
                  QString::fromUtf8(s.text));
    }
    EXPECT_EQ(bar->text(QAccessible::Description), QStringLiteral("中断"));
    QAccessible::installUpdateHandler(nullptr);
    seen = nullptr;
}

// Shift+F10 and the Menu key open a list's popup at its current item, as a
// right press does; F10 alone, on a list or elsewhere, opens the menu bar.
TEST_F(AccessibilityTest, TheKeyboardOpensTheListsPopupsAtTheCurrentItemAndTheMenuBar)
{
    open({"a.xwd", "b.xwd", "c.bmp"});
    form->window().show();
    QApplication::setActiveWindow(widget());
    struct Case {
        int list;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* popup;  // "" for none
        const char* panel2;
    };
    const Case cases[] = {
        {1, Qt::Key_F10, Qt::ShiftModifier, "menuRight1", "b.xwd"},
        {1, Qt::Key_Menu, Qt::NoModifier, "menuRight1", "b.xwd"},
        {2, Qt::Key_F10, Qt::ShiftModifier, "menuRight2", "c.bmp"},
        {1, Qt::Key_F10, Qt::ControlModifier, "", ""},
        {1, Qt::Key_F9, Qt::ShiftModifier, "", ""},
    };
    QStringList popups;
    for (const char* name : {"menuRight1", "menuRight2"})
        window().qtPopup(name)->show = [&popups, name](QMenu&) { popups << name; };
    auto* status = control<qt::StatusBar>("StatusBar1");
    for (const Case& c : cases) {
        qt::FileList* list = file(c.list);
        SCOPED_TRACE(list->objectName().toStdString() + " " + std::to_string(c.key));
        list->setCurrentRow(list->count() - 1);
        list->setFocus();
        popups.clear();
        status->setPanelText(2, "");
        QTest::keyClick(list, c.key, c.modifiers);
        EXPECT_EQ(status->panelText(2), c.panel2);
        EXPECT_EQ(popups, *c.popup ? QStringList{QString::fromUtf8(c.popup)} : QStringList{});
        if (*c.popup) {
            const QRect item = list->visualItemRect(list->currentItem());
            const QPoint at = list->viewport()->mapFromGlobal(window().qtPopup(c.popup)->shownAt());
            EXPECT_TRUE(item.contains(at)) << at.x() << "," << at.y();
        }
    }
    // The anchor lasts only while the keyboard's press runs.
    window().qtPopup("menuRight1")->popup();
    EXPECT_EQ(window().qtPopup("menuRight1")->shownAt(), QCursor::pos());

    QTest::keyClick(file(1), Qt::Key_F10);
    EXPECT_EQ(widget()->menuBar()->activeAction(), widget()->menuBar()->actions().constFirst());
    if (QWidget* open = QApplication::activePopupWidget())
        open->close();

    // The version window has no menus: F10 there adds no menu bar.
    auto about = toolkit.buildWindow(aboutFormLayout(), WindowRole::Secondary);
    about->show();
    QWidget* aboutWidget = static_cast<qt::QtWindow&>(*about).widget();
    QTest::keyClick(aboutWidget, Qt::Key_F10);
    EXPECT_EQ(static_cast<QMainWindow*>(aboutWidget)->menuWidget(), nullptr);
}

TEST_F(AccessibilityTest, AFocusedListShowsTheFocusOnItselfWhenNoItemInSightShowsIt)
{
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("f%1.xwd").arg(i, 2, 10, QLatin1Char('0'));
    open(many);
    form->window().show();
    QApplication::setActiveWindow(widget());
    qt::FileList* list = file(1);
    qt::FileList* empty = file(2);
    struct Case {
        qt::FileList* list;
        int current;  // -1 for none
        bool onTheList;
    };
    const Case cases[] = {
        {empty, -1, true}, {list, -1, true}, {list, 0, false}, {list, 39, false},
    };
    for (const Case& c : cases) {
        c.list->setCurrentRow(c.current);
        EXPECT_EQ(qt::focusOnTheList(*c.list), c.onTheList) << c.current;
    }
    // Scrolled away from the current item, the list holds the focus itself.
    list->setCurrentRow(0);
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    EXPECT_TRUE(qt::focusOnTheList(*list));

    // The frame is drawn only while the list has the focus.
    list->setFocus();
    const QImage unfocused = empty->viewport()->grab().toImage();
    empty->setFocus();
    ASSERT_TRUE(empty->hasFocus());
    const QImage focused = empty->viewport()->grab().toImage();
    EXPECT_NE(focused, unfocused);
}

}  // namespace
}  // namespace rastrex
