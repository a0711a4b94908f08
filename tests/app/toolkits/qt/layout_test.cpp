// The windows as built against the layouts as the user is meant to see
// them: names, kinds, containers, places, focus order, texts, menus.
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>

#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

// Twips to device-independent pixels, 15 to one, rounded; sizes are the
// difference of the rounded edges.
int px(int twips)
{
    return (twips * 2 + 15) / 30;
}
QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(left + width) - px(left), px(top + height) - px(top));
}

struct Expected {
    const char* name;
    const char* kind;       // class name
    const char* container;  // objectName of the parent
    int left, top, width, height;
    const char* text;
    const char* tooltip;
    bool grows;  // a label sized to its text: its size is at least the stored one
};

// The toolkit's class of a control, by the names of the layout's kinds.
const char* kindOf(const QWidget* w)
{
    if (dynamic_cast<const qt::CommandButton*>(w)) return "CommandButton";
    if (dynamic_cast<const qt::CheckBox*>(w)) return "CheckBox";
    if (dynamic_cast<const qt::StatusBar*>(w)) return "StatusBar";
    if (dynamic_cast<const qt::ProgressBar*>(w)) return "ProgressBar";
    if (dynamic_cast<const qt::DriveList*>(w)) return "DriveList";
    if (dynamic_cast<const qt::FileList*>(w)) return "FileList";
    if (dynamic_cast<const qt::DirList*>(w)) return "DirList";
    if (dynamic_cast<const qt::Frame*>(w)) return "Frame";
    if (dynamic_cast<const qt::Label*>(w)) return "Label";
    if (dynamic_cast<const qt::Line*>(w)) return "Line";
    if (dynamic_cast<const qt::TextBox*>(w)) return "TextBox";
    return "?";
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

void checkControls(const QWidget* window, const QList<Expected>& table)
{
    for (const Expected& e : table) {
        SCOPED_TRACE(e.name);
        const QWidget* w = window->findChild<QWidget*>(QString::fromUtf8(e.name));
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(kindOf(w), e.kind);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromUtf8(e.container));
        const QRect stored = pxRect(e.left, e.top, e.width, e.height);
        if (e.grows) {
            EXPECT_EQ(w->geometry().top(), stored.top());
            EXPECT_GE(w->width(), stored.width());
            EXPECT_GE(w->height(), stored.height());
        } else {
            EXPECT_EQ(w->geometry(), stored);
        }
        EXPECT_EQ(textOf(w), QString::fromUtf8(e.text));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(e.tooltip));
    }
}

// The named controls in the order Tab visits them, from `first`.
QStringList focusOrder(QWidget* first, const QSet<QString>& named)
{
    QStringList order;
    QWidget* w = first;
    do {
        if (named.contains(w->objectName()) && (w->focusPolicy() & Qt::TabFocus))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return order;
}

const QList<Expected>& mainControls()
{
    static const QList<Expected> table{
        {"Command1", "CommandButton", "client", 3510, 2900, 1400, 350, "変 換(&C)",
         "選択されている xwdファイルをすべて変換します。", false},
        {"Command2", "CommandButton", "client", 4950, 2900, 1400, 350, "終 了(&Q)",
         "Vellicorを終了します。", false},
        {"Check2", "CheckBox", "client", 1845, 2250, 1770, 200, "xwd だけ表示する",
         "xwdファイルしか表示しません。", false},
        {"Check3", "CheckBox", "client", 1845, 2475, 1725, 200, "変換後、削除する",
         "変換後、xwdファイルをごみ箱に移動します。", false},
        {"Check4", "CheckBox", "client", 4230, 2250, 1815, 200, "bmp だけ表示する",
         "bmpファイルしか表示しません。", false},
        {"StatusBar1", "StatusBar", "client", 0, 3315, 6405, 285, "", "", false},
        {"Check1", "CheckBox", "client", 4230, 2475, 1920, 200, "上書きを確認する",
         "bmpファイルを上書きするときに確認メッセージを出します。", false},
        {"ProgressBar1", "ProgressBar", "client", 45, 3375, 1470, 195, "", "", false},
        {"Drive1", "DriveList", "client", 45, 180, 1500, 300, "",
         "準備できていないドライブを選択すると死にます。", false},
        {"File1", "FileList", "client", 1800, 495, 2000, 1710, "", "D&D でファイル追加できます。", false},
        {"Dir1", "DirList", "client", 45, 495, 1500, 2190, "", "", false},
        {"Frame1", "Frame", "client", 1620, 45, 4740, 2715, "", "", false},
        {"File2", "FileList", "client", 4185, 495, 2000, 1710, "", "右クリックで削除できます。", false},
        {"Label1", "Label", "Frame1", 180, 225, 990, 180, "変換元： xwd", "", true},
        {"Label2", "Label", "Frame1", 2565, 225, 1005, 180, "変換後： bmp", "", true},
        {"Check5", "CheckBox", "client", 90, 3020, 1500, 200, "おとなしくする", "？？", false},
        {"Check6", "CheckBox", "client", 90, 2790, 1500, 200, "弱点を補強する",
         "より信頼性の高い処理を目指します。", false},
        {"Image1", "Label", "Frame1", 2250, 1170, 240, 240, "", "", false},
        {"Line1", "Line", "client", 0, 1, 6390, 15, "", "", false},
        {"Line2", "Line", "client", 0, 22, 6390, 15, "", "", false},
    };
    return table;
}

using MainFormLayoutTest = FormInFolder;

TEST_F(MainFormLayoutTest, EveryControlHasItsNameKindPlaceTextAndTooltip)
{
    open();
    form->show();
    checkControls(widget(), mainControls());
    EXPECT_EQ(control<qt::Label>("Image1")->pixmap().size(), QSize(16, 16));
    EXPECT_EQ(control<qt::Line>("Line1")->role(), QPalette::Dark);
    EXPECT_EQ(control<qt::Line>("Line2")->role(), QPalette::Light);
    EXPECT_FALSE(control<qt::ProgressBar>("ProgressBar1")->isVisibleTo(widget()));
    EXPECT_TRUE(control<qt::CommandButton>("Command1")->isDefault());
    // Panel 1 is 1550 twips wide; panel 2 fills the rest.
    auto* status = control<qt::StatusBar>("StatusBar1");
    EXPECT_EQ(status->panel(1)->width(), px(1550));
    EXPECT_EQ(status->panel(2)->geometry().right(), status->width() - 1);
}

TEST_F(MainFormLayoutTest, TabVisitsTheControlsInTheStoredOrder)
{
    open({"a.xwd"});
    form->show();
    QSet<QString> named;
    for (const Expected& e : mainControls())
        named.insert(QString::fromUtf8(e.name));
    auto* command1 = control<qt::CommandButton>("Command1");
    EXPECT_EQ(focusOrder(command1, named),
              (QStringList{"Command1", "Command2", "Check2", "Check3", "Check4", "Check1", "Drive1", "File1",
                           "Dir1", "File2", "Check5", "Check6"}));
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
    EXPECT_EQ(w->windowTitle(), QStringLiteral(" rastrex -- XWD Image Format Converter"));
    EXPECT_EQ(w->centralWidget()->size(), QSize(px(6405), px(3600)));
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
    QMenu* menuFile = widget()->findChild<QMenu*>("menuFile");
    QMenu* menuEdit = widget()->findChild<QMenu*>("menuEdit");
    QMenu* menuRight1 = window().qtPopup("menuRight1")->menu();
    QMenu* menuRight2 = window().qtPopup("menuRight2")->menu();
    QStringList bar;
    for (QAction* a : widget()->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"ファイル(&F)", "編集(&E)"}));

    struct Item {
        QMenu* menu;
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {menuFile, "menuVersion", "rastrex バージョン情報", "Ctrl+V"},
        {menuFile, "menuQuit", "rastrex の終了", "Ctrl+Q"},
        {menuEdit, "menuRefleshAll", "最新の情報に更新", "Ctrl+R"},
        {menuEdit, "menuSelectAll", "すべて選択", "Ctrl+A"},
        {menuEdit, "menuConvert", "すべて変換", "Ctrl+C"},
        {menuRight1, "menuReflesh1", "最新の情報に更新(&R)", ""},
        {menuRight1, "menuSelect1", "すべて選択(&A)", ""},
        {menuRight1, "menuDelete1", "削除(&D)", ""},
        {menuRight2, "menuReflesh2", "最新の情報に更新(&R)", ""},
        {menuRight2, "menuSelect2", "すべて選択(&A)", ""},
        {menuRight2, "menuDelete2", "削除(&D)", ""},
    };
    QMap<QMenu*, QStringList> names;
    for (const Item& i : items) {
        SCOPED_TRACE(i.name);
        names[i.menu] << QString::fromUtf8(i.name);
        QAction* act = action(i.name);
        ASSERT_NE(act, nullptr);
        EXPECT_EQ(act->text(), QString::fromUtf8(i.caption));
        EXPECT_EQ(act->shortcut(), QKeySequence::fromString(QString::fromUtf8(i.shortcut)));
        EXPECT_TRUE(act->isEnabled());
        EXPECT_FALSE(act->isCheckable());
    }
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        QStringList inMenu;
        for (QAction* a : it.key()->actions()) {
            EXPECT_FALSE(a->isSeparator());
            inMenu << a->objectName();
        }
        EXPECT_EQ(inMenu, it.value());
    }
    EXPECT_EQ(menuRight1->title(), QStringLiteral("右クリック用ダミー１"));
    EXPECT_EQ(menuRight2->title(), QStringLiteral("右クリック用ダミー２"));
    EXPECT_FALSE(widget()->menuBar()->actions().contains(menuRight1->menuAction()));
    EXPECT_FALSE(widget()->menuBar()->actions().contains(menuRight2->menuAction()));
    // A menu opens as a window of its own, yet in the window's font.
    for (QMenu* menu : {menuFile, menuEdit, menuRight1, menuRight2})
        EXPECT_EQ(menu->font(), widget()->font()) << menu->objectName().toStdString();
}

TEST_F(MainFormLayoutTest, TheVersionWindowFollowsItsLayout)
{
    open();
    form->menuVersion_Click();
    ASSERT_NE(form->aboutForm(), nullptr);
    auto& aboutWindow = static_cast<qt::QtWindow&>(form->aboutForm()->window());
    qt::FormWidget* about = aboutWindow.widget();
    const auto label = [&](const char* name) { return dynamic_cast<QLabel*>(aboutWindow.control(name)); };
    EXPECT_EQ(about->windowTitle(), QStringLiteral(" rastrex のバージョン情報"));
    EXPECT_EQ(about->centralWidget()->size(), QSize(px(5730), px(3945)));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_EQ(about->parentWidget(), nullptr);  // no owner window
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));

    const QList<Expected> table{
        {"Label1", "Label", "client", 1080, 270, 2355, 195, "XWD -- Image Format Converter", "", true},
        {"Command2", "CommandButton", "client", 4320, 1620, 1335, 350, "OK", "「おごってくれる？」", false},
        {"Label3", "Label", "client", 1260, 540, 1995, 255, "rastrex", "", false},
        {"Label2", "Label", "client", 1545, 765, 1425, 195, "version 2001.04.01", "", true},
        {"Frame1", "Frame", "client", 90, 1935, 5565, 1920, "詳 細", "", false},
        {"Text2", "TextBox", "client", 270, 2205, 5145, 1140,
         "rastrex は X11 XWD 形式 → Windows BMP 形式に特化した画像フォーマット変換ソフトです。シンプルで分かりやすい"
         "インタフェースを装備し、大量の xwd ファイルを一括して bmp ファイルに変換することが可能です。普段は "
         "Windows ユーザだけど、計算機シミュレーションだけ UNIX で回す人向け。 Windows 98 / Me / 2000 "
         "上で動作します。フリーソフトウェア。\n",
         "", false},
        {"Image1", "Label", "client", 4320, 225, 1335, 1335, "", "「ぶじ卒業したいねぇ。」", false},
        {"Image2", "Label", "Frame1", 3555, 1395, 1275, 225, "", "", false},
    };
    checkControls(about, table);
    EXPECT_EQ(label("Image2")->pixmap().size(), QSize(85, 15));
    EXPECT_TRUE(label("Image1")->hasScaledContents());
    EXPECT_EQ(label("Label3")->font().pointSizeF(), 9.0);
    EXPECT_TRUE(label("Label3")->font().bold());
    EXPECT_EQ(label("Label1")->font().pointSizeF(), 8.25);
    // The author lines are the project's own and name no person; the
    // help line names what the Linux build ships; the e-mail line is empty.
    EXPECT_FALSE(label("Label4")->text().isEmpty());
    EXPECT_EQ(label("Label5")->text(), "Help: man rastrex");
    EXPECT_TRUE(label("Label6")->text().isEmpty());
    EXPECT_EQ(label("Label6")->parentWidget(), aboutWindow.control("Frame1"));
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
        if (work.contains(QRect(stored, outer.size())))
            EXPECT_EQ(outer.topLeft(), stored);
    }
}

}  // namespace
}  // namespace rastrex::uitest
