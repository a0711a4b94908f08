// The home trash of a new account: whatever is missing of it and of the data
// folder above it is made on the first move, private to its owner.
#include <sys/stat.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app_files.h"
#include "linux_trash.h"

namespace rastrex {
namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

struct FirstTrashCase {
    const char* what;
    QString dataHome;        // below the test's home
    QStringList existing;    // folders there before, mode 0755
    QStringList made;        // folders the move must make, mode 0700
};

void PrintTo(const FirstTrashCase& c, std::ostream* os)
{
    *os << c.what;
}

class FirstMoveToTrash : public testing::TestWithParam<FirstTrashCase> {};

TEST_P(FirstMoveToTrash, MakesTheMissingFoldersPrivate)
{
    const FirstTrashCase& c = GetParam();
    QTemporaryDir home;
    const QString root = home.path() + QLatin1Char('/');
    for (const QString& f : c.existing) {
        ASSERT_TRUE(QDir().mkpath(root + f));
        ASSERT_EQ(::chmod(QFile::encodeName(root + f).constData(), 0755), 0);
    }
    const QString file = root + QStringLiteral("a.xwd");
    test::writeText(QFile::encodeName(file).toStdString(), "dump");
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + c.dataHome));
    const mode_t savedMask = ::umask(022);

    const Trash::Outcome out = systemTrash().moveToTrash(file);

    ::umask(savedMask);
    qputenv("XDG_DATA_HOME", savedData);
    EXPECT_TRUE(out.moved) << out.reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(QFileInfo::exists(root + c.dataHome + QStringLiteral("/Trash/files/a.xwd")));
    for (const QString& f : c.made)
        EXPECT_EQ(modeOf(root + f), 0700u) << f.toStdString();
    for (const QString& f : c.existing)
        EXPECT_EQ(modeOf(root + f), 0755u) << f.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstMoveToTrash,
    testing::Values(
        FirstTrashCase{"NoDataFolderYet", "new/.local/share", {},
                       {"new", "new/.local", "new/.local/share", "new/.local/share/Trash",
                        "new/.local/share/Trash/files", "new/.local/share/Trash/info"}},
        FirstTrashCase{"DataFolderWithoutTrash", "share", {"share"},
                       {"share/Trash", "share/Trash/files", "share/Trash/info"}},
        FirstTrashCase{"TrashWithoutItsFolders", "share", {"share", "share/Trash"},
                       {"share/Trash/files", "share/Trash/info"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(MakeHomeTrash, RefusesWhatCannotHoldAFolder)
{
    QTemporaryDir home;
    test::writeText(QFile::encodeName(home.filePath(QStringLiteral("plain"))).toStdString(), "x");
    EXPECT_FALSE(makeHomeTrash(home.filePath(QStringLiteral("plain/share/Trash"))));
    EXPECT_FALSE(makeHomeTrash(QStringLiteral("relative/Trash")));
    EXPECT_TRUE(makeHomeTrash(home.filePath(QStringLiteral("share/Trash"))));
}

}  // namespace
}  // namespace rastrex
