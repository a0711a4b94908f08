// The desktop's trash as the window's logic reaches it. The test program
// gives the process a private home and data folder (platform_test_main.cpp).
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>
#include <optional>
#include <fstream>
#include <gtest/gtest.h>

#include "app_files.h"
#include "file_uti.h"
#include "scripted_toolkit.h"
#include "system_services.h"

namespace rastrex {
namespace {

namespace fs = std::filesystem;
using Answer = MessageBoxes::Answer;

std::string homeTrash()
{
    return qEnvironmentVariable("XDG_DATA_HOME").toStdString() + "/Trash";
}

// Puts the one file in `trash` back where its record says it came from, as
// every restorer that follows the freedesktop.org trash layout does:
// the record's Path key is the path's bytes percent-encoded, absolute in the
// home trash and relative to the volume's top folder `topdir` in a volume's
// own trash. Returns the path restored to, or "" when the trash holds other
// than one record; `recorded` is the decoded Path key.
std::string restoreOnlyFile(const std::string& trash, const std::string& topdir, std::string& recorded)
{
    std::vector<fs::path> records;
    for (const auto& e : fs::directory_iterator(trash + "/info"))
        records.push_back(e.path());
    if (records.size() != 1)
        return {};
    std::ifstream in(records[0]);
    std::string line, path;
    while (std::getline(in, line))
        if (line.rfind("Path=", 0) == 0)
            path = QByteArray::fromPercentEncoding(QByteArray::fromStdString(line.substr(5))).toStdString();
    recorded = path;
    if (path.empty())
        return {};
    if (path[0] != '/')
        path = topdir + "/" + path;
    fs::rename(fs::path(trash) / "files" / records[0].stem(), path);
    fs::remove(records[0]);
    return path;
}

// A file system of its own mounted on a folder, so that a file there is on
// another volume than the home trash. Only root may mount.
class Mount {
public:
    Mount(const std::string& where, const char* type) : where_(where)
    {
        fs::create_directory(where);
        mounted_ = ::mount("rastrex-test", where.c_str(), type, 0, "mode=0755") == 0;
    }
    ~Mount()
    {
        if (mounted_)
            ::umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

private:
    std::string where_;
    bool mounted_ = false;
};

class TrashTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(homeTrash());
        folder = dir.path().toStdString();
        file = folder + "/a.xwd";
        test::writeText(file, "dump");
    }
    // Names that are no text are out of QTemporaryDir's reach.
    void TearDown() override { fs::remove_all(folder); }
    QTemporaryDir dir;
    std::string folder, file;
    test::ScriptedBoxes boxes;
};

struct TrashCase {
    const char* what;
    std::string name;
    const char* volume;  // type of the file system the file is on; null: the home trash's
    bool moved;
};

// A case by what it checks, not by the bytes of its name.
void PrintTo(const TrashCase& c, std::ostream* os)
{
    *os << c.what;
}

class TrashTable : public TrashTest, public testing::WithParamInterface<TrashCase> {};

// Every record restores to the file's own path, whatever its name and volume;
// where no trash can take the file, the user is told and the file stays.
TEST_P(TrashTable, RestoresToTheFilesOwnPath)
{
    const TrashCase& c = GetParam();
    std::string where = folder;
    std::optional<Mount> volume;
    if (c.volume != nullptr) {
        where = folder + "/volume";
        volume.emplace(where, c.volume);
        if (!volume->mounted())
            GTEST_SKIP() << "cannot mount a " << c.volume << " here (root only)";
    }
    const std::string path = where + "/" + c.name;
    test::writeText(path, c.name);
    boxes.answers = {Answer::Yes};

    const std::int32_t result = FileUti::MoveToRecycleBin(path, boxes, systemRecycleBin(), nullptr);

    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0], "ask: " + path + " を\rごみ箱に移動するよ？");
    if (!c.moved) {
        EXPECT_EQ(result, FileUti::kMoveFailed);
        EXPECT_EQ(test::contents(path), c.name);
        ASSERT_EQ(boxes.shown.size(), 2u);
        EXPECT_EQ(boxes.shown[1].rfind("report: " + path + " を\rごみ箱に移動できなかったぞ。\r", 0), 0u)
            << boxes.shown[1];
        return;
    }
    EXPECT_EQ(result, FileUti::kMovedToTrash);
    EXPECT_FALSE(test::exists(path));
    const std::string trash = c.volume ? where + "/.Trash-" + std::to_string(::getuid()) : homeTrash();
    std::string recorded;
    EXPECT_EQ(restoreOnlyFile(trash, where, recorded), path);
    // Absolute in the home trash, relative to the volume's top in its own.
    EXPECT_EQ(recorded, c.volume ? c.name : path);
    EXPECT_EQ(test::contents(path), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TrashTable,
    testing::Values(TrashCase{"PercentAndHash", "r%41 #1.xwd", nullptr, true},
                    TrashCase{"Japanese", "画面 1.xwd", nullptr, true},
                    TrashCase{"NotUtf8", "\xff\xfe.xwd", nullptr, true},
                    TrashCase{"OtherVolume", "r%41 #1.xwd", "ramfs", true},
                    TrashCase{"OtherVolumeJapaneseNotUtf8", "画面\xff.xwd", "ramfs", true},
                    // GIO keeps no trash on memory file systems such as /tmp
                    // often is; the file stays and the user is told.
                    TrashCase{"VolumeWithoutTrash", "a.xwd", "tmpfs", false}),
    [](const auto& row) { return std::string(row.param.what); });

TEST_F(TrashTest, NoLeavesTheFile)
{
    boxes.answers = {Answer::No};
    EXPECT_EQ(FileUti::MoveToRecycleBin(file, boxes, systemRecycleBin(), nullptr), FileUti::kMoveDeclined);
    EXPECT_TRUE(test::exists(file));
    EXPECT_FALSE(fs::exists(homeTrash() + "/files/a.xwd"));
}

TEST_F(TrashTest, WhatIsNoFileOrCannotBeTrashedStaysWithAReason)
{
    // A regular file where the home trash should be: no trash can be made.
    const std::string blocked = homeTrash();
    struct Case {
        const char* what;
        std::string path;
        bool blockTrash;
    };
    const Case cases[] = {
        {"missing", folder + "/gone.xwd", false},
        {"folder", folder, false},
        {"no trash", file, true},
    };
    for (const Case& c : cases) {
        if (c.blockTrash)
            test::writeText(blocked, "in the way");
        const RecycleBin::Outcome out = systemRecycleBin().moveToTrash(c.path, nullptr);
        if (c.blockTrash)
            fs::remove(blocked);
        EXPECT_FALSE(out.moved) << c.what;
        EXPECT_FALSE(out.reason.empty()) << c.what;
    }
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_EQ(test::contents(file), "dump");
}

}  // namespace
}  // namespace rastrex
