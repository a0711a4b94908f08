// What fnRastrex leaves on disk: the bitmap appears only when complete,
// whatever was at its path (an old bitmap, the dump, links, devices), how
// long that path is, and however the write ends (a full file system, with
// the new file made with a name or without). Every other file stays as it
// was, and no file of the call's own is left behind.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <fstream>

#include "fs_support.h"
#include "output_file.h"
#include "rastrex.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

// What the bitmap's path is before the call.
enum class At {
    kNothing,
    kOldBitmap,     // a bitmap of an earlier run, with unusual permission bits and,
                    // as root, another owner
    kDump,          // the dump's own path
    kLinkToDump,    // a symbolic link to the dump
    kHardLinkToDump,
    kLinkToOther,   // a symbolic link to an unrelated file
    kDanglingLink,  // a symbolic link to nothing
    kNullDevice,    // a device that takes every byte
    kFullDevice,    // a device whose every write fails
    kFifo,          // a pipe with a reader
};

// Where the dump and the bitmap lie.
enum class In {
    kFolder,
    kFullDisk,       // a file system with room for the dump only
    kFullDiskNamed,  // the same, the new file made with a name (as on Windows
                     // always, and on Linux file systems without O_TMPFILE)
    kDeepFolder,     // a folder whose bitmap path is longer than Windows' MAX_PATH
};

struct SafetyCase {
    const char* name;
    At at;
    In in;
    std::int32_t result;
};

void PrintTo(const SafetyCase& c, std::ostream* os) { *os << c.name; }

// 400 x 400: a dump of 643,177 bytes and a bitmap of 480,054, which the
// full file system has no room for.
constexpr std::uint32_t kSide = 400;
constexpr std::uint64_t kFullDiskBytes = 1 << 20;
constexpr unsigned kOldMode = 0604;
constexpr unsigned kOtherUser = 4321;
// Characters of the deep folder's path: the bitmap's path exceeds 300.
constexpr std::size_t kDeepFolderChars = 300;

// A folder below `base` whose path has at least kDeepFolderChars characters.
fs::path deepFolder(const fs::path& base)
{
    fs::path folder = base;
    for (int i = 0; folder.native().size() < kDeepFolderChars; ++i)
        folder /= "folder-" + std::to_string(i);
    fs::create_directories(anyLength(folder));
    return folder;
}

// Bitmaps are made through a named new file while it lives.
class NamedNewFilesOnly {
public:
    explicit NamedNewFilesOnly(bool on) { rastrex::useNamedNewFilesOnly(on); }
    ~NamedNewFilesOnly() { rastrex::useNamedNewFilesOnly(false); }
    NamedNewFilesOnly(const NamedNewFilesOnly&) = delete;
    NamedNewFilesOnly& operator=(const NamedNewFilesOnly&) = delete;
};

// Symbolic links need a privilege on Windows, and Wine makes none.
bool makeSymlink(const fs::path& target, const fs::path& link)
{
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec;
}

class FileSafety : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(FileSafety, LeavesEveryFileAsItWasUntilTheBitmapIsComplete)
{
    const SafetyCase& c = GetParam();
    TempDir dir;
    const bool fullDisk = c.in == In::kFullDisk || c.in == In::kFullDiskNamed;
    SmallTmpfs small(kFullDiskBytes);
    if (fullDisk && !small.mounted())
        GTEST_SKIP() << "no small file system to fill here: it needs root (under Wine, "
                        "scripts/windows.sh run as root maps a drive to one)";
    const NamedNewFilesOnly named(c.in == In::kFullDiskNamed);
    const fs::path folder = fullDisk                   ? small.path()
                            : c.in == In::kDeepFolder ? deepFolder(dir.path())
                                                      : dir.path();
    // The library is given the paths as they are; the test's own file
    // operations use the form that works at any length.
    const fs::path dump = folder / "in.xwd";
    const fs::path bitmap = c.at == At::kDump ? dump : folder / "out.bmp";

    const Bytes dumpBytes = canonicalDump(kSide, kSide, patternPixel).bytes();
    writeFile(anyLength(dump), dumpBytes);
    Bytes expectedBitmap;
    {
        TempDir ref;
        writeFile(ref / "in.xwd", dumpBytes);
        ASSERT_EQ(fnRastrex(nativePath(ref / "in.xwd").c_str(), nativePath(ref / "out.bmp").c_str()),
                  RASTREX_OK);
        expectedBitmap = readFile(ref / "out.bmp");
    }

    bool device = false;
    switch (c.at) {
    case At::kNothing:
    case At::kDump:
        break;
    case At::kOldBitmap:
        writeFile(anyLength(bitmap), {'o', 'l', 'd'});
#if !defined(_WIN32)
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(bitmap.c_str(), kOtherUser, kOtherUser), 0);
        }
        fs::permissions(anyLength(bitmap), static_cast<fs::perms>(kOldMode));
#endif
        break;
    case At::kLinkToDump:
        if (!makeSymlink("in.xwd", anyLength(bitmap)))
            GTEST_SKIP() << "no symbolic links here";
        break;
    case At::kHardLinkToDump:
        fs::create_hard_link(anyLength(dump), anyLength(bitmap));
        break;
    case At::kLinkToOther:
        writeFile(anyLength(folder / "other"), {'o', 't', 'h', 'e', 'r'});
        if (!makeSymlink("other", anyLength(bitmap)))
            GTEST_SKIP() << "no symbolic links here";
        break;
    case At::kDanglingLink:
        if (!makeSymlink("nowhere", anyLength(bitmap)))
            GTEST_SKIP() << "no symbolic links here";
        break;
#if defined(_WIN32)
    case At::kNullDevice:
    case At::kFullDevice:
    case At::kFifo:
        GTEST_SKIP() << "no device nodes or pipes in a Windows folder";
#else
    case At::kNullDevice:
    case At::kFullDevice:
        // The numbers of the system's null and full devices.
        if (::mknod(bitmap.c_str(), S_IFCHR | 0666, c.at == At::kNullDevice ? makedev(1, 3) : makedev(1, 7)) != 0)
            GTEST_SKIP() << "cannot make a device node here (needs root)";
        device = true;
        break;
    case At::kFifo:
        ASSERT_EQ(::mkfifo(bitmap.c_str(), 0600), 0);
        device = true;
        break;
#endif
    }

    const FolderState before = folderState(folder);
    Bytes piped;
    std::thread reader;
    if (c.at == At::kFifo)
        reader = std::thread([&] { piped = readFile(bitmap); });
    const std::int32_t result = fnRastrex(nativePath(dump).c_str(), nativePath(bitmap).c_str());
    if (reader.joinable())
        reader.join();
    ASSERT_EQ(result, c.result);

    FolderState expected = before;
    if (result == RASTREX_OK && !device) {
        // A new file's mode and owner are the process's; a replaced one's are kept.
        Entry& e = expected[bitmap.filename().string()];
        if (e.type != fs::file_type::regular)
            e = entryAt(anyLength(bitmap));
        e.type = fs::file_type::regular;
        e.target.clear();
        e.bytes = expectedBitmap;
    }
    EXPECT_EQ(folderState(folder), expected);
    if (c.at == At::kFifo) {
        EXPECT_EQ(piped, expectedBitmap);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileSafety,
    ::testing::Values(
        SafetyCase{"new_bitmap", At::kNothing, In::kFolder, RASTREX_OK},
        SafetyCase{"old_bitmap_replaced_keeping_its_mode", At::kOldBitmap, In::kFolder, RASTREX_OK},
        SafetyCase{"same_path_as_the_dump", At::kDump, In::kFolder, RASTREX_OK},
        SafetyCase{"link_to_the_dump_replaced", At::kLinkToDump, In::kFolder, RASTREX_OK},
        SafetyCase{"hard_link_to_the_dump_replaced", At::kHardLinkToDump, In::kFolder, RASTREX_OK},
        SafetyCase{"link_to_another_file_replaced", At::kLinkToOther, In::kFolder, RASTREX_OK},
        SafetyCase{"dangling_link_replaced", At::kDanglingLink, In::kFolder, RASTREX_OK},
        SafetyCase{"null_device_written_in_place", At::kNullDevice, In::kFolder, RASTREX_OK},
        SafetyCase{"full_device_kept", At::kFullDevice, In::kFolder, RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"fifo_written_in_place", At::kFifo, In::kFolder, RASTREX_OK},
        SafetyCase{"full_disk_leaves_no_file", At::kNothing, In::kFullDisk, RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"full_disk_keeps_the_old_bitmap", At::kOldBitmap, In::kFullDisk, RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"full_disk_keeps_the_dump_on_its_path", At::kDump, In::kFullDisk, RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"full_disk_keeps_a_link_and_its_file", At::kLinkToOther, In::kFullDisk,
                   RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"full_disk_named_new_file_leaves_no_file", At::kNothing, In::kFullDiskNamed,
                   RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"full_disk_named_new_file_keeps_the_old_bitmap", At::kOldBitmap, In::kFullDiskNamed,
                   RASTREX_ERR_WRITE_OUTPUT},
        SafetyCase{"deep_folder_old_bitmap_replaced", At::kOldBitmap, In::kDeepFolder, RASTREX_OK}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
