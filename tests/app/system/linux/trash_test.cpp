// The desktop's trash as the window's logic reaches it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include "app_files.h"
#include "file_uti.h"
#include "linux_trash.h"
#include "scripted_toolkit.h"
#include "system_services.h"

namespace rastrex {
namespace {

using Answer = MessageBox::Answer;

QString trashFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
}

QStringList trashedNames()
{
    return QDir(trashFolder() + QStringLiteral("/files")).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

class TrashTest : public testing::Test {
protected:
    void SetUp() override
    {
        QDir(trashFolder()).removeRecursively();
        file = dir.filePath(QStringLiteral("a.xwd")).toStdString();
        test::writeText(file, "dump");
    }
    QTemporaryDir dir;
    std::string file;
    test::ScriptedBoxes boxes;
};

TEST_F(TrashTest, YesMovesTheFileIntoTheTrashWhereItCanBeRestored)
{
    boxes.answers = {Answer::Yes};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, boxes, systemRecycleBin(), nullptr), FileUti::kMovedToTrash);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"ask: " + file + " を\rごみ箱に移動するよ？"});
    EXPECT_FALSE(test::exists(file));
    EXPECT_EQ(trashedNames(), QStringList{"a.xwd"});
    // The trash records where the file came from, so it can be put back.
    const std::string info = test::contents((trashFolder() + "/info/a.xwd.trashinfo").toStdString());
    const QString path = QString::fromStdString(file);
    EXPECT_TRUE(info.find("Path=" + file) != std::string::npos ||
                info.find("Path=" + QUrl::toPercentEncoding(path, "/").toStdString()) != std::string::npos)
        << info;
}

TEST_F(TrashTest, NoLeavesTheFile)
{
    boxes.answers = {Answer::No};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, boxes, systemRecycleBin(), nullptr), FileUti::kMoveDeclined);
    EXPECT_TRUE(test::exists(file));
    EXPECT_TRUE(trashedNames().isEmpty());
}

TEST_F(TrashTest, MissingFileAndFolderAreRefused)
{
    for (const QString& p : {dir.filePath(QStringLiteral("gone.xwd")), dir.path()}) {
        const RecycleBin::Outcome out = systemRecycleBin().moveToTrash(p.toStdString(), nullptr);
        EXPECT_FALSE(out.moved) << p.toStdString();
        EXPECT_FALSE(out.reason.empty());
    }
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

// A name whose bytes are no text cannot be handed through Qt's names: it is
// refused with a reason and stays where it is.
TEST_F(TrashTest, ANameThatIsNoTextIsRefusedAndKept)
{
    const std::string odd = dir.path().toStdString() + "/\xff\xfe.xwd";
    test::writeText(odd, "dump");
    const RecycleBin::Outcome out = systemRecycleBin().moveToTrash(odd, nullptr);
    EXPECT_FALSE(out.moved);
    EXPECT_FALSE(out.reason.empty());
    EXPECT_EQ(test::contents(odd), "dump");
}

// Qt 6.4 reports success when it found no trash folder at all and moves the
// file under the current folder instead; the file must come back.
TEST_F(TrashTest, NoUsableTrashLeavesTheFileInPlace)
{
    QTemporaryDir elsewhere;
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    const QString savedCwd = QDir::currentPath();
    // No trash folder can be made below a regular file.
    test::writeText(elsewhere.filePath(QStringLiteral("plain")).toStdString(), "x");
    qputenv("XDG_DATA_HOME", QFile::encodeName(elsewhere.filePath(QStringLiteral("plain/share"))));
    QDir::setCurrent(elsewhere.path());

    const RecycleBin::Outcome out = systemRecycleBin().moveToTrash(file, nullptr);

    QDir::setCurrent(savedCwd);
    qputenv("XDG_DATA_HOME", savedData);
    EXPECT_FALSE(out.moved);
    EXPECT_FALSE(out.reason.empty());
    EXPECT_EQ(test::contents(file), "dump");
    // Nothing is left behind in the current folder.
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"plain"});
}

TEST(IsRealTrashPath, AcceptsOnlyTrashFolders)
{
    const std::pair<QString, bool> cases[] = {
        {"/home/u/.local/share/Trash/files/a.xwd", true},
        {"/media/usb/.Trash/1000/files/a.xwd", true},
        {"/media/usb/.Trash-1000/files/a.xwd", true},
        {"files/a.xwd", false},  // relative: no trash was found
        {"Trash/files/a.xwd", false},
        {"/work/files/a.xwd", false},
        {"/media/usb/.Trash-1000/a.xwd", false},
        {"", false},
    };
    for (const auto& [path, real] : cases)
        EXPECT_EQ(isRealTrashPath(path), real) << path.toStdString();
}

}  // namespace
}  // namespace rastrex
