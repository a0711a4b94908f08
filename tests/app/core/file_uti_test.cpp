#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "app_test_support.h"
#include "file_uti.h"
#include "linux_trash.h"

namespace rastrex {
namespace {

using test::ScriptedDialogs;

// What stands at the tested path before FileExists looks at it.
enum class Thing { Nothing, EmptyFile, File, Folder, Fifo, Unreadable, LinkToFile, DanglingLink };

struct ExistsCase {
    const char* name;
    Thing thing;
    QString suffix;        // appended to the thing's path in the caller's variable
    bool expected;
    QString suffixAfter;   // what is left of the suffix after the call
};

class FileExistsTest : public testing::TestWithParam<ExistsCase> {};

TEST_P(FileExistsTest, AnswersAndTrimsOneSeparator)
{
    const ExistsCase& c = GetParam();
    if (c.thing == Thing::Unreadable && geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("thing"));
    switch (c.thing) {
    case Thing::Nothing: break;
    case Thing::EmptyFile: test::writeText(p, {}); break;
    case Thing::File: test::writeText(p, "data"); break;
    case Thing::Folder: ASSERT_TRUE(QDir().mkdir(p)); break;
    case Thing::Fifo: ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); break;
    case Thing::Unreadable:
        test::writeText(p, "data");
        ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), 0), 0);
        break;
    case Thing::LinkToFile:
        test::writeText(dir.filePath(QStringLiteral("target")), "data");
        ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("target")), p));
        break;
    case Thing::DanglingLink: ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), p)); break;
    }
    QString variable = p + c.suffix;
    EXPECT_EQ(FileUti::FileExists(variable), c.expected);
    EXPECT_EQ(variable, p + c.suffixAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileExistsTest,
    testing::Values(
        ExistsCase{"EmptyFile", Thing::EmptyFile, "", true, ""},
        ExistsCase{"File", Thing::File, "", true, ""},
        ExistsCase{"FileWithSeparator", Thing::File, "/", true, ""},
        ExistsCase{"Folder", Thing::Folder, "", false, ""},
        ExistsCase{"FolderWithSeparator", Thing::Folder, "/", false, ""},
        ExistsCase{"FolderWithTwoSeparators", Thing::Folder, "//", false, "/"},
        ExistsCase{"Missing", Thing::Nothing, "", false, ""},
        // A named pipe must neither count as a file nor hang the open.
        ExistsCase{"NamedPipe", Thing::Fifo, "", false, ""},
        ExistsCase{"Unreadable", Thing::Unreadable, "", false, ""},
        ExistsCase{"LinkToFile", Thing::LinkToFile, "", true, ""},
        ExistsCase{"DanglingLink", Thing::DanglingLink, "", false, ""},
        // A zero character would otherwise cut the path to an existing file.
        ExistsCase{"ZeroInName", Thing::File, QString(QChar(u'\0')) + "x", false,
                   QString(QChar(u'\0')) + "x"}),
    [](const testing::TestParamInfo<ExistsCase>& info) { return std::string(info.param.name); });

TEST(FileExists, EmptyPathIsFalse)
{
    QString empty;
    EXPECT_FALSE(FileUti::FileExists(empty));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(FileExists, LeavesNoHandleOpen)
{
    QTemporaryDir dir;
    QString p = dir.filePath(QStringLiteral("a.xwd"));
    test::writeText(p, "data");
    const auto openHandles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
    const auto before = openHandles();
    EXPECT_TRUE(FileUti::FileExists(p));
    EXPECT_TRUE(FileUti::FileExists(p));
    EXPECT_EQ(openHandles(), before);
}

// A trash that refuses with a fixed reason and counts its calls.
class RefusingTrash final : public Trash {
public:
    int calls = 0;
    Outcome moveToTrash(const QString&) override
    {
        ++calls;
        return {false, QStringLiteral("理由")};
    }
};

class MoveToRecycleBinTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::emptyPrivateTrash();
        file = dir.filePath(QStringLiteral("a.xwd"));
        test::writeText(file, "dump");
    }
    QTemporaryDir dir;
    QString file;
    ScriptedDialogs dialogs;
};

TEST_F(MoveToRecycleBinTest, YesMovesTheFileIntoTheTrashWhereItCanBeRestored)
{
    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, dialogs, systemTrash()), FileUti::kMovedToTrash);
    EXPECT_EQ(dialogs.shown, QStringList{"ask: " + file + " を\rごみ箱に移動するよ？"});
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(test::trashedNames(), QStringList{"a.xwd"});
    // The trash records where the file came from, so it can be put back.
    const QByteArray info = test::contents(qEnvironmentVariable("XDG_DATA_HOME") +
                                           "/Trash/info/a.xwd.trashinfo");
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(file)) ||
                info.contains("Path=" + QUrl::toPercentEncoding(file, "/")))
        << info.toStdString();
}

TEST_F(MoveToRecycleBinTest, NoLeavesTheFile)
{
    dialogs.answers = {Dialogs::Answer::No};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, dialogs, systemTrash()), FileUti::kMoveDeclined);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(test::trashedNames().isEmpty());
}

TEST_F(MoveToRecycleBinTest, ARefusalIsReportedWithTheReason)
{
    RefusingTrash trash;
    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, dialogs, trash), FileUti::kMoveFailed);
    EXPECT_EQ(dialogs.shown, (QStringList{"ask: " + file + " を\rごみ箱に移動するよ？",
                                          "report: " + file + " を\rごみ箱に移動できなかったぞ。\r理由"}));
}

TEST_F(MoveToRecycleBinTest, MissingFileAndFolderAreRefused)
{
    for (const QString& p : {dir.filePath(QStringLiteral("gone.xwd")), dir.path()}) {
        const Trash::Outcome out = systemTrash().moveToTrash(p);
        EXPECT_FALSE(out.moved) << p.toStdString();
        EXPECT_FALSE(out.reason.isEmpty());
    }
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

// Qt 6.4 reports success when it found no trash folder at all and moves the
// file under the current folder instead; the file must come back.
TEST_F(MoveToRecycleBinTest, NoUsableTrashLeavesTheFileInPlace)
{
    QTemporaryDir elsewhere;
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    const QString savedCwd = QDir::currentPath();
    // No trash folder can be made below a regular file.
    test::writeText(elsewhere.filePath(QStringLiteral("plain")), "x");
    qputenv("XDG_DATA_HOME", QFile::encodeName(elsewhere.filePath(QStringLiteral("plain/share"))));
    QDir::setCurrent(elsewhere.path());

    const Trash::Outcome out = systemTrash().moveToTrash(file);

    QDir::setCurrent(savedCwd);
    qputenv("XDG_DATA_HOME", savedData);
    EXPECT_FALSE(out.moved);
    EXPECT_FALSE(out.reason.isEmpty());
    EXPECT_EQ(test::contents(file), "dump");
    // Nothing is left behind in the current folder.
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"plain"});
}

struct TrashPathCase {
    QString path;
    bool real;
};

TEST(IsRealTrashPath, AcceptsOnlyTrashFolders)
{
    const TrashPathCase cases[] = {
        {"/home/u/.local/share/Trash/files/a.xwd", true},
        {"/media/usb/.Trash/1000/files/a.xwd", true},
        {"/media/usb/.Trash-1000/files/a.xwd", true},
        {"files/a.xwd", false},                      // relative: no trash was found
        {"Trash/files/a.xwd", false},
        {"/work/files/a.xwd", false},
        {"/media/usb/.Trash-1000/a.xwd", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isRealTrashPath(c.path), c.real) << c.path.toStdString();
}

}  // namespace
}  // namespace rastrex
