// The Qt controls beyond the contract of controls.h that every toolkit
// keeps (controls_contract.h, instantiated at the end): the user's mouse and
// keys, the widgets' own state, and the limits of Qt's.
#include <QAbstractButton>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>
#include <QTest>
#include <QTimer>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <fstream>

#include "controls_contract.h"
#include "qt_drops.h"
#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

using qt::CheckBox;
using qt::DirList;
using qt::DriveList;
using qt::FileList;
using qt::MimeDragData;

// ------------------------------------------------------------- check box

// The space bar does what the contract's mouse click does.
TEST(CheckBoxTest, TheSpaceBarClicksAsTheMouseDoes)
{
    struct Case {
        int from, after;
    };
    const Case cases[] = {{0, 1}, {1, 0}, {2, 0}};
    for (const Case& c : cases) {
        CheckBox box;
        box.setValue(c.from);
        int clicks = 0;
        box.rastrex::CheckBox::click = [&] { ++clicks; };
        QTest::keyClick(&box, Qt::Key_Space);
        EXPECT_EQ(box.value(), c.after) << c.from;
        EXPECT_EQ(clicks, 1) << c.from;
    }
}

// ------------------------------------------------------------- file list

TEST(FileListTest, ListsMatchingFilesByNameWithoutFoldersOrHiddenFiles)
{
    QTemporaryDir dir;
    touch(dir.path(), {"b.xwd", "A.xwd", "c.XWD", "d.bmp", ".hidden.xwd", "noext"});
    QDir(dir.path()).mkdir(QStringLiteral("folder.xwd"));
    FileList list;
    list.setPattern("*.xwd");
    EXPECT_EQ(list.listCount(), 0);  // no folder yet: nothing, not the current folder
    list.setPath(dir.path().toStdString());
    EXPECT_EQ(items(list), (QStringList{"A.xwd", "b.xwd", "c.XWD"}));
    list.setPattern("*.*");
    EXPECT_EQ(items(list), (QStringList{"A.xwd", "b.xwd", "c.XWD", "d.bmp", "noext"}));
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.list(-1), "");
    EXPECT_EQ(list.list(5), "");
}

TEST(FileListTest, RefreshFollowsTheFolderAndDropsTheSelection)
{
    QTemporaryDir dir;
    touch(dir.path(), {"a.xwd", "b.xwd"});
    FileList list;
    list.setPattern("*.xwd");
    list.setPath(dir.path().toStdString());
    list.setSelected(1, true);
    touch(dir.path(), {"0.xwd"});
    QFile::remove(dir.path() + QStringLiteral("/a.xwd"));
    list.refresh();
    EXPECT_EQ(items(list), (QStringList{"0.xwd", "b.xwd"}));
    EXPECT_TRUE(selection(list).isEmpty());
    // An unchanged folder read again drops the selection and the mark too.
    list.selectAll();
    list.setCurrentRow(1);
    list.refresh();
    EXPECT_EQ(items(list), (QStringList{"0.xwd", "b.xwd"}));
    EXPECT_TRUE(selection(list).isEmpty());
    EXPECT_EQ(list.listIndex(), kNoItem);
}

// A name wider than the list is read whole by scrolling sideways, whichever
// row it is in; short names need no scrolling.
TEST(FileListTest, ScrollsSidewaysToTheWholeOfAWideName)
{
    QTemporaryDir dir;
    const QString wide = QStringLiteral("gradient-8bit-netpbm-with-a-name-much-wider-than-its-list.xwd");
    uitest::touch(dir.path(), {wide, QStringLiteral("z.xwd")});
    FileList list;
    list.resize(120, 100);
    list.setPattern("*.xwd");
    list.setPath(dir.path().toStdString());
    list.show();
    QApplication::processEvents();
    ASSERT_EQ(list.listCount(), 2);
    const int needed = list.fontMetrics().horizontalAdvance(wide);
    ASSERT_GT(needed, list.viewport()->width());
    EXPECT_GE(list.visualItemRect(list.item(0)).width(), needed);
    EXPECT_GE(list.horizontalScrollBar()->maximum(), needed - list.viewport()->width());

    list.setPattern("z.*");
    QApplication::processEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(FileListTest, HoldsMoreItemsThanSixteenBitIndexes)
{
    QTemporaryDir dir;
    constexpr int kItems = 33000;  // above 32,767
    for (int i = 0; i < kItems; ++i) {
        QFile f(dir.path() + QStringLiteral("/%1.xwd").arg(i, 5, 10, QLatin1Char('0')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FileList list;
    list.setPattern("*.xwd");
    list.setPath(dir.path().toStdString());
    ASSERT_EQ(list.listCount(), kItems);
    EXPECT_EQ(list.list(kItems - 1), "32999.xwd");
    list.setSelected(kItems - 1, true);
    EXPECT_TRUE(list.selected(kItems - 1));
    // Selecting every item is one range, whatever the count.
    list.selectAll();
    EXPECT_EQ(list.selectionModel()->selection().size(), 1);
    EXPECT_TRUE(list.selected(0) && list.selected(32768) && list.selected(kItems - 1));
}

// Every name the file system holds is listed with its bytes kept; bytes
// that are no UTF-8 are shown as U+FFFD.
TEST(FileListTest, NamesThatAreNoTextAreListedWithTheirBytes)
{
    QTemporaryDir dir;
    const std::string odd = "\xff\xfe-\x81.xwd";
    std::ofstream(dir.path().toStdString() + "/" + odd) << "x";
    touch(dir.path(), {"a.xwd"});
    FileList list;
    list.setPattern("*.xwd");
    list.setPath(dir.path().toStdString());
    ASSERT_EQ(list.listCount(), 2);
    EXPECT_EQ(list.list(0), "a.xwd");
    EXPECT_EQ(list.list(1), odd);
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("\uFFFD\uFFFD-\uFFFD.xwd"));
}

TEST(FileListTest, CtrlPicksSeparateItemsAndShiftARange)
{
    QTemporaryDir dir;
    touch(dir.path(), {"0.xwd", "1.xwd", "2.xwd", "3.xwd", "4.xwd"});
    FileList list;
    list.resize(200, 300);
    list.setPath(dir.path().toStdString());
    auto press = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, keys, list.visualItemRect(list.item(row)).center());
    };
    press(0, {});
    press(2, Qt::ControlModifier);
    press(4, Qt::ControlModifier);
    EXPECT_EQ(selection(list), (QList<int>{0, 2, 4}));
    press(1, {});
    press(3, Qt::ShiftModifier);
    EXPECT_EQ(selection(list), (QList<int>{1, 2, 3}));
}

TEST(FileListTest, DoubleClickOnAnItemRaisesDblClick)
{
    QTemporaryDir dir;
    touch(dir.path(), {"a.xwd"});
    FileList list;
    list.resize(200, 300);
    list.setPath(dir.path().toStdString());
    int raised = 0;
    list.dblClick = [&] {
        ++raised;
        list.refresh();  // a handler may re-read the list it was raised from
    };
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(raised, 1);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 280));  // below the items
    EXPECT_EQ(raised, 1);
}

TEST(FileListTest, TheDragOverHandlersEffectDecidesTheDrop)
{
    FileList list;
    list.resize(200, 200);
    list.setAcceptsFileDrops(true);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.xwd")), QUrl(QStringLiteral("https://example.org/b"))});
    std::vector<std::string> dropped;
    list.oleDragDrop = [&](const DragData& d, int&, int, int, int, int) { dropped = d.files(); };
    std::vector<DragState> states;
    for (const int effect : {int(kDropEffectCopy), int(kDropEffectNone)}) {
        list.oleDragOver = [&](const DragData& d, int& e, int, int, int, int, DragState state) {
            EXPECT_TRUE(d.getFormat(kClipboardFormatFiles));
            states.push_back(state);
            e = effect;
        };
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), effect == kDropEffectCopy);
        QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction | Qt::MoveAction, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
        EXPECT_EQ(move.isAccepted(), effect == kDropEffectCopy);
        if (effect == kDropEffectCopy) {
            EXPECT_EQ(move.dropAction(), Qt::CopyAction);
        }
    }
    EXPECT_EQ(states, (std::vector<DragState>{DragState::Enter, DragState::Over, DragState::Enter, DragState::Over}));
    QDropEvent drop(QPointF(12, 12), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);
    EXPECT_EQ(dropped, std::vector<std::string>{"/tmp/a.xwd"});  // local files only
}

// Only local files make a file list; text or web addresses do not.
TEST(MimeDragDataTest, OffersTheFileFormatOnlyForLocalFiles)
{
    struct Case {
        const char* name;
        QList<QUrl> urls;
        QString text;
        bool offers;
    };
    const Case cases[] = {
        {"local file", {QUrl::fromLocalFile("/tmp/a.xwd")}, "", true},
        {"web address and file", {QUrl("https://example.org/a.xwd"), QUrl::fromLocalFile("/tmp/a.xwd")}, "", true},
        {"web address only", {QUrl("https://example.org/a.xwd")}, "", false},
        {"text", {}, "/tmp/a.xwd", false},
        {"nothing", {}, "", false},
    };
    for (const Case& c : cases) {
        QMimeData data;
        if (!c.urls.isEmpty())
            data.setUrls(c.urls);
        if (!c.text.isEmpty())
            data.setText(c.text);
        EXPECT_EQ(MimeDragData(&data).getFormat(kClipboardFormatFiles), c.offers) << c.name;
    }
}

// -------------------------------------------------------- directory list

QStringList dirItems(const DirList& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->data(Qt::UserRole).toString();
    return out;
}

TEST(DirListTest, ShowsTheAncestorsThenTheSubfoldersByName)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QDir(base).mkpath(QStringLiteral("a/b"));
    QDir(base).mkpath(QStringLiteral("a/Zed"));
    QDir(base).mkpath(QStringLiteral("a/c"));
    touch(base + QStringLiteral("/a"), {"file.xwd"});
    DirList list;
    list.initPath((base + QStringLiteral("/a")).toStdString());
    QStringList expected;
    for (QString p = base + QStringLiteral("/a"); p != QStringLiteral("/"); p = QFileInfo(p).path())
        expected.prepend(p);
    expected.prepend(QStringLiteral("/"));
    const int current = static_cast<int>(expected.size()) - 1;
    expected << base + QStringLiteral("/a/b") << base + QStringLiteral("/a/c") << base + QStringLiteral("/a/Zed");
    EXPECT_EQ(dirItems(list), expected);
    EXPECT_EQ(list.currentRow(), current);
}

TEST(DirListTest, SetPathRaisesChangeOnlyWhenThePathChangesAndStaysOnReadableFolders)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QDir(base).mkpath(QStringLiteral("sub"));
    touch(base, {"plain.xwd"});
    DirList list;
    list.initPath(base.toStdString());
    QStringList changes;
    list.change = [&] { changes << QString::fromStdString(list.path()); };

    struct Case {
        QString path;
        QString after;
        int changes;
    };
    const Case cases[] = {
        {base, base, 0},
        {base + QStringLiteral("/"), base, 0},
        {base + QStringLiteral("/missing"), base, 0},
        {base + QStringLiteral("/plain.xwd"), base, 0},
        {QString(), base, 0},
        {base + QStringLiteral("/sub/"), base + QStringLiteral("/sub"), 1},
        {base + QStringLiteral("/sub/.."), base, 1},
        {QStringLiteral("/"), QStringLiteral("/"), 1},
    };
    for (const Case& c : cases) {
        changes.clear();
        list.setPath(c.path.toStdString());
        EXPECT_EQ(QString::fromStdString(list.path()), c.after) << c.path.toStdString();
        EXPECT_EQ(changes.size(), c.changes) << c.path.toStdString();
        if (c.changes) {
            EXPECT_EQ(changes.front(), c.after);  // Change sees the new path
        }
    }
}

TEST(DirListTest, EnterAndDoubleClickOpenTheFolderUnderTheMark)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QDir(base).mkpath(QStringLiteral("one/two"));
    DirList list;
    list.resize(300, 600);
    list.initPath(base.toStdString());
    int changes = 0;
    list.change = [&] { ++changes; };

    list.setCurrentRow(list.count() - 1);  // "one"
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(QString::fromStdString(list.path()), base + QStringLiteral("/one"));

    const QPoint onTwo = list.visualItemRect(list.item(list.count() - 1)).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, onTwo);
    EXPECT_EQ(QString::fromStdString(list.path()), base + QStringLiteral("/one/two"));
    EXPECT_EQ(changes, 2);
}

// ------------------------------------------------------------- drive list

TEST(DriveListTest, SetDriveTakesTheVolumeHoldingAPathAndRaisesChangeOnce)
{
    DriveList list;
    list.setVolumes({{"/", ""}, {"/home", "HOME"}, {"/media/usb", "STICK"}}, "/home/user");
    EXPECT_EQ(list.drive(), "/home");
    EXPECT_EQ(list.currentText(), QStringLiteral("/home (HOME)"));

    QStringList changes;
    list.change = [&] { changes << QString::fromStdString(list.drive()); };
    struct Case {
        const char* path;
        const char* drive;
        int changes;
    };
    const Case cases[] = {
        {"/home", "/home", 0},
        {"/home/user/pictures", "/home", 0},
        {"/media/usb", "/media/usb", 1},
        {"/media/usbother", "/", 1},  // not under /media/usb
        {"/homework", "/", 0},
        {"", "/", 0},
        {"/media/usb/shots/a.xwd", "/media/usb", 1},
    };
    for (const Case& c : cases) {
        changes.clear();
        list.setDrive(c.path);
        EXPECT_EQ(list.drive(), c.drive) << c.path;
        EXPECT_EQ(changes.size(), c.changes) << c.path;
    }

    changes.clear();
    list.showDriveOf("/home/x");
    EXPECT_EQ(list.drive(), "/home");
    EXPECT_TRUE(changes.isEmpty());
}

TEST(DriveListTest, DroppingDownReadsTheVolumesAgainWithoutAChange)
{
    DriveList list;
    std::vector<Volume> mounted{{"/", ""}, {"/home", ""}};
    list.volumes = [&] { return mounted; };
    list.setVolumes(list.volumes(), "/home/u");
    int changes = 0;
    list.change = [&] { ++changes; };
    mounted.push_back(Volume{"/media/new", "NEW"});
    list.showPopup();
    list.hidePopup();
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.drive(), "/home");
    EXPECT_EQ(changes, 0);
    list.setDrive("/media/new");
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace rastrex::uitest

namespace rastrex::contract {

struct QtHarness {
    static constexpr const char* kName = "Qt";
    qt::QtToolkit toolkit;
    void pump() { QApplication::processEvents(); }
    bool press(Window& w, std::string_view name, Key key)
    {
        QWidget* control = static_cast<qt::QtWindow&>(w).control(name);
        QApplication::setActiveWindow(control->window());
        control->setFocus();
        switch (key) {
        case Key::Letter: QTest::keyClick(control, Qt::Key_X); break;
        case Key::Enter: QTest::keyClick(control, Qt::Key_Return); break;
        case Key::Tab: QTest::keyClick(control, Qt::Key_Tab); break;
        case Key::ShiftF10: QTest::keyClick(control, Qt::Key_F10, Qt::ShiftModifier); break;
        case Key::MenuKey: QTest::keyClick(control, Qt::Key_Menu); break;
        }
        pump();
        return control->hasFocus();
    }
    // Near the left edge: a check box takes clicks on its mark and text.
    void click(Window& w, std::string_view name)
    {
        QWidget* control = static_cast<qt::QtWindow&>(w).control(name);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, control->height() / 2));
        pump();
    }
    void pressMouse(Window& w, std::string_view name, int button, int x, int y)
    {
        auto* list = static_cast<QAbstractScrollArea*>(static_cast<qt::QtWindow&>(w).control(name));
        const Qt::MouseButton native = button == kLeftButton    ? Qt::LeftButton
                                       : button == kRightButton ? Qt::RightButton
                                                                : Qt::MiddleButton;
        QTest::mousePress(list->viewport(), native, {}, QPoint(x, y));
        QTest::mouseRelease(list->viewport(), native, {}, QPoint(x, y));
        pump();
    }
    void chooseMenuItem(Window& w, std::string_view item)
    {
        static_cast<qt::MenuItem*>(w.menuItem(item))->action()->trigger();
    }
    void popupChoosing(Window& w, std::string_view popup, int choice)
    {
        qt::PopupMenu* menu = static_cast<qt::QtWindow&>(w).qtPopup(popup);
        menu->show = [choice](QMenu& shown) {
            if (choice >= 0)
                shown.actions().at(choice)->trigger();
        };
        menu->popup();
    }
    // Posted, as the system's input arrives.
    void queueForBatch(Window& w, BatchInput input)
    {
        auto& window = static_cast<qt::QtWindow&>(w);
        switch (input) {
        case BatchInput::Escape:
            QCoreApplication::postEvent(window.widget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            break;
        case BatchInput::CloseBox: QCoreApplication::postEvent(window.widget(), new QCloseEvent); break;
        case BatchInput::ClickGo: {
            QWidget* go = window.control("Go");
            const QPointF at(go->width() / 2, go->height() / 2);
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(go, new QMouseEvent(type, at, go->mapToGlobal(at), Qt::LeftButton,
                                                                type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                                 : Qt::NoButton,
                                                                Qt::NoModifier));
            break;
        }
        }
    }
    // Once the box's own loop runs.
    void answerNextBox(MessageBoxes::Answer press, std::string& seen)
    {
        QTimer::singleShot(0, [press, &seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            seen = box->text().toStdString();
            QAbstractButton* button = box->button(QMessageBox::Ok);
            if (button == nullptr)
                button = box->button(press == MessageBoxes::Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
            button->click();
        });
    }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, QtHarness, HarnessName);

}  // namespace rastrex::contract
