// The windows as built against the layouts as the user is meant to see
// them: names, kinds, containers, places, focus order, texts, menus.
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>

#include "form_geometry.h"
#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

// The pixels of the window's logic, at the layouts' own dots per inch: the
// Qt toolkit counts in device-independent pixels.
int px(int twips)
{
    return twipsToPixels(twips);
}

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Whether the toolkit made a control of the layout's kind.
bool madeAs(const QWidget* w, ControlKind kind)
{
    switch (kind) {
    case ControlKind::CommandButton: return dynamic_cast<const qt::CommandButton*>(w) != nullptr;
    case ControlKind::CheckBox: return dynamic_cast<const qt::CheckBox*>(w) != nullptr;
    case ControlKind::StatusBar: return dynamic_cast<const qt::StatusBar*>(w) != nullptr;
    case ControlKind::ProgressBar: return dynamic_cast<const qt::ProgressBar*>(w) != nullptr;
    case ControlKind::DriveList: return dynamic_cast<const qt::DriveList*>(w) != nullptr;
    case ControlKind::FileList: return dynamic_cast<const qt::FileList*>(w) != nullptr;
    case ControlKind::DirList: return dynamic_cast<const qt::DirList*>(w) != nullptr;
    case ControlKind::Frame: return dynamic_cast<const qt::Frame*>(w) != nullptr;
    case ControlKind::Label:
    case ControlKind::Picture: return dynamic_cast<const qt::Label*>(w) != nullptr;
    case ControlKind::Line: return dynamic_cast<const qt::Line*>(w) != nullptr;
    case ControlKind::TextBox: return dynamic_cast<const qt::TextBox*>(w) != nullptr;
    }
    return false;
}

QString textOf(const QWidget* w)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* t = qobject_cast<const QPlainTextEdit*>(w))
        return t->toPlainText();
    return QString();
}

// Every control of `layout` as `window` shows it: its name and kind, its
// container, its place (a label sized to its text at least as large), its
// text and tooltip.
void checkControls(const QWidget* window, const FormLayout& layout)
{
    for (const ControlLayout& c : layout.controls) {
        SCOPED_TRACE(std::string(c.name));
        const QWidget* w = window->findChild<QWidget*>(text(c.name));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(madeAs(w, c.kind));
        EXPECT_EQ(w->parentWidget()->objectName(), c.container.empty() ? QStringLiteral("client") : text(c.container));
        const QRect stored = qt::pixelRect(c);
        if (c.autoSize) {
            EXPECT_EQ(w->geometry().top(), stored.top());
            EXPECT_GE(w->width(), stored.width());
            EXPECT_GE(w->height(), stored.height());
        } else {
            EXPECT_EQ(w->geometry(), stored);
        }
        EXPECT_EQ(textOf(w), text(c.caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EXPECT_EQ(w->toolTip(), text(c.tooltip));
        EXPECT_EQ(w->isVisibleTo(window), !c.hidden);
    }
}

// The controls in the order Tab visits them, from `first`.
QStringList tabChain(QWidget* first)
{
    QStringList order;
    QWidget* w = first;
    do {
        if (!w->objectName().isEmpty() && w->objectName() != QStringLiteral("client") &&
            (w->focusPolicy() & Qt::TabFocus))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return order;
}

using MainFormLayoutTest = FormInFolder;

TEST_F(MainFormLayoutTest, EveryControlHasItsNameKindPlaceTextAndTooltip)
{
    open();
    form->show();
    checkControls(widget(), mainFormLayout());
    EXPECT_EQ(control<qt::Label>("Image1")->pixmap().size(), QSize(16, 16));
    EXPECT_EQ(control<qt::Line>("Line1")->role(), QPalette::Dark);
    EXPECT_EQ(control<qt::Line>("Line2")->role(), QPalette::Light);
    EXPECT_FALSE(control<qt::ProgressBar>("ProgressBar1")->isVisibleTo(widget()));
    EXPECT_TRUE(control<qt::CommandButton>("Command1")->isDefault());
    // Panel 1 is as wide as its layout says; panel 2 fills the rest.
    auto* status = control<qt::StatusBar>("StatusBar1");
    EXPECT_EQ(status->panel(1)->width(), px(findControl(mainFormLayout(), "StatusBar1")->panels[0].width));
    EXPECT_EQ(status->panel(2)->geometry().right(), status->width() - 1);
}

TEST_F(MainFormLayoutTest, TabVisitsTheControlsInTheStoredOrder)
{
    open({"a.xwd"});
    form->show();
    // The layout's order among the controls that take the focus.
    QStringList expected;
    for (const ControlLayout* c : rastrex::focusOrder(mainFormLayout()))
        if (window().control(c->name)->focusPolicy() & Qt::TabFocus)
            expected << text(c->name);
    auto* command1 = control<qt::CommandButton>("Command1");
    EXPECT_EQ(tabChain(command1), expected);
    EXPECT_EQ(expected.size(), 12);  // every button, box and list
    EXPECT_EQ(widget()->focusWidget(), command1);
}

TEST_F(MainFormLayoutTest, WithoutSourceFilesTheFocusStartsOnTheQuitButton)
{
    open({"a.bmp"});
    form->show();
    EXPECT_FALSE(control<qt::CommandButton>("Command1")->isEnabled());
    EXPECT_EQ(widget()->focusWidget(), control<qt::CommandButton>("Command2"));
}

TEST_F(MainFormLayoutTest, TheWindowHasAFixedClientAreaTitleAndNoMaximizeButton)
{
    open();
    qt::FormWidget* w = widget();
    const FormLayout& layout = mainFormLayout();
    EXPECT_EQ(w->windowTitle(), text(layout.caption));
    EXPECT_EQ(w->centralWidget()->size(), QSize(px(layout.clientWidth), px(layout.clientHeight)));
    form->show();
    const QSize shown = w->size();
    EXPECT_EQ(w->minimumSize(), shown);
    EXPECT_EQ(w->maximumSize(), shown);
    w->resize(shown + QSize(100, 100));
    EXPECT_EQ(w->size(), shown);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w->windowIcon().isNull());
}

TEST_F(MainFormLayoutTest, OnlyTheSourceListTakesDrops)
{
    open();
    auto* file1 = file(1);
    EXPECT_TRUE(file1->viewport()->acceptDrops());
    for (QWidget* w : widget()->centralWidget()->findChildren<QWidget*>()) {
        if (w == file1 || w == file1->viewport())
            continue;
        EXPECT_FALSE(w->acceptDrops()) << w->objectName().toStdString();
    }
}

TEST_F(MainFormLayoutTest, MenusHaveTheirCaptionsAndShortcutsAndThePopupsStayOutOfTheBar)
{
    open();
    QStringList bar, inBar;
    for (QAction* a : widget()->menuBar()->actions())
        bar << a->text();
    for (const MenuLayout& m : mainFormLayout().menus) {
        SCOPED_TRACE(std::string(m.name));
        QMenu* menu = m.popupOnly ? window().qtPopup(m.name)->menu() : widget()->findChild<QMenu*>(text(m.name));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), text(m.caption));
        EXPECT_EQ(widget()->menuBar()->actions().contains(menu->menuAction()), !m.popupOnly);
        if (!m.popupOnly)
            inBar << text(m.caption);
        // A menu opens as a window of its own, yet in the window's font.
        EXPECT_EQ(menu->font(), widget()->font());
        QStringList names, expected;
        for (QAction* a : menu->actions()) {
            EXPECT_FALSE(a->isSeparator());
            names << a->objectName();
        }
        for (const MenuItemLayout& i : m.items) {
            SCOPED_TRACE(std::string(i.name));
            expected << text(i.name);
            QAction* act = action(std::string(i.name).c_str());
            ASSERT_NE(act, nullptr);
            EXPECT_EQ(act->text(), text(i.caption));
            EXPECT_EQ(act->shortcut(), QKeySequence::fromString(text(i.shortcut)));
            EXPECT_TRUE(act->isEnabled());
            EXPECT_FALSE(act->isCheckable());
        }
        EXPECT_EQ(names, expected);
    }
    EXPECT_EQ(bar, inBar);
}

TEST_F(MainFormLayoutTest, TheVersionWindowFollowsItsLayout)
{
    open();
    form->menuVersion_Click();
    ASSERT_NE(form->aboutForm(), nullptr);
    auto& aboutWindow = static_cast<qt::QtWindow&>(form->aboutForm()->window());
    qt::FormWidget* about = aboutWindow.widget();
    const auto label = [&](const char* name) { return dynamic_cast<QLabel*>(aboutWindow.control(name)); };
    EXPECT_EQ(about->windowTitle(), text(aboutFormLayout().caption));
    EXPECT_EQ(about->centralWidget()->size(), QSize(px(aboutFormLayout().clientWidth), px(aboutFormLayout().clientHeight)));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_EQ(about->parentWidget(), nullptr);  // no owner window
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));

    checkControls(about, aboutFormLayout());
    EXPECT_EQ(label("Image2")->pixmap().size(), QSize(85, 15));
    EXPECT_TRUE(label("Image1")->hasScaledContents());
    for (const char* name : {"Label1", "Label3"}) {
        const ControlFont& font = findControl(aboutFormLayout(), name)->font;
        EXPECT_EQ(label(name)->font().pointSizeF(), font.points) << name;
        EXPECT_EQ(label(name)->font().bold(), font.bold) << name;
    }
    // The help line names what the Linux build ships.
    EXPECT_EQ(label("Label5")->text(), "Help: man rastrex");
    EXPECT_EQ(about->focusWidget(), aboutWindow.control("Command2"));
}

// Both windows open wholly inside the work area of their screen, at the
// stored origin where they fit there; ctest runs this at scale 1 and at
// QT_SCALE_FACTOR=2 on a 1024x768 screen, where neither fits.
TEST_F(MainFormLayoutTest, BothWindowsOpenWhollyInsideTheWorkArea)
{
    open();
    form->menuVersion_Click();
    for (qt::QtWindow* w : {&window(), &static_cast<qt::QtWindow&>(form->aboutForm()->window())}) {
        SCOPED_TRACE(w->widget()->objectName().toStdString());
        QApplication::processEvents();
        const QRect outer = w->widget()->frameGeometry();
        const QRect work = w->widget()->screen()->availableGeometry();
        RecordProperty(w->widget()->objectName().toStdString(),
                       QStringLiteral("%1,%2 in %3x%4").arg(outer.x()).arg(outer.y()).arg(work.width()).arg(work.height()).toStdString());
        EXPECT_TRUE(work.contains(outer)) << outer.x() << "," << outer.y() << " " << outer.width() << "x"
                                          << outer.height() << " on " << work.width() << "x" << work.height();
        const QPoint stored(px(w->layout().left), px(w->layout().top));
        if (work.contains(QRect(stored, outer.size()))) {
            EXPECT_EQ(outer.topLeft(), stored);
        }
    }
}

}  // namespace
}  // namespace rastrex::uitest
