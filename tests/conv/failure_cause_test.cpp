// Why fnRastrex could not open the dump or write the bitmap: the system's
// error it leaves behind (errno, or the last error on Windows) tells it.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mount.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>
#endif

#include <functional>

#include "file_failure.h"
#include "fs_support.h"
#include "output_file.h"
#include "rastrex.h"

namespace fs = std::filesystem;
using namespace rastrex;
using namespace rastrex::test;

namespace {

// What stands in the way of the call.
enum class Obstacle {
    kNoDump,            // the dump is not there
    kDumpIsAFolder,     // a folder has the dump's name (x.xwd/)
    kHeldDump,          // another program holds the dump without sharing (Windows)
    kNoFolder,          // the bitmap's folder is not there
    kFolderInTheWay,    // a folder has the bitmap's name
    kFullDisk,          // the bitmap does not fit
    kReadOnlyDisk,      // a file system mounted read-only (Linux, as root)
    kNoPermission,      // a folder the user may not write (POSIX)
    kReadOnlyFile,      // a bitmap marked read-only (Windows)
    kHeldBitmap,        // another program holds the bitmap, sharing `share` (Windows)
};

struct CauseCase {
    const char* name;
    Obstacle obstacle;
    std::int32_t result;
    FileFailure cause;
    // What a program holding the file shares: FILE_SHARE_READ (1), _WRITE
    // (2) and _DELETE (4).
    unsigned share = 0;
};

void PrintTo(const CauseCase& c, std::ostream* os) { *os << c.name; }

// 700 x 700: a bitmap of 1.47 MB, more than the full disk's 1 MiB.
constexpr std::uint32_t kSide = 700;
constexpr std::uint64_t kSmallDiskBytes = 1 << 20;

#if !defined(_WIN32)
// Runs `convert` in a child that gave up root's rights where the test has
// them (root writes every folder); the result and the cause it saw.
std::pair<std::int32_t, FileFailure> asUser(const std::function<std::int32_t()>& convert)
{
    if (::geteuid() != 0) {
        const std::int32_t r = convert();
        return {r, lastSystemFailure().kind};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(255);
        const std::int32_t r = convert();
        ::_exit(r * 16 + static_cast<int>(lastSystemFailure().kind));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        throw std::runtime_error("cannot convert as an unprivileged user");
    return {WEXITSTATUS(status) / 16, static_cast<FileFailure>(WEXITSTATUS(status) % 16)};
}
#endif

class FailureCause : public ::testing::TestWithParam<CauseCase> {};

TEST_P(FailureCause, IsLeftInTheLastError)
{
    const CauseCase& c = GetParam();
    TempDir dir;
    fs::path dump = dir / "in.xwd";
    fs::path bitmap = dir / "out.bmp";
    writeFile(dump, canonicalDump(kSide, kSide, patternPixel).bytes());
    SmallTmpfs small(kSmallDiskBytes);
    [[maybe_unused]] bool unprivileged = false;
#if defined(_WIN32)
    HANDLE held = INVALID_HANDLE_VALUE;
#endif
    switch (c.obstacle) {
    case Obstacle::kNoDump:
        dump = dir / "missing.xwd";
        break;
    case Obstacle::kDumpIsAFolder:
        dump = dir / "folder.xwd";
        fs::create_directory(dump);
        break;
    case Obstacle::kNoFolder:
        bitmap = dir / "missing" / "out.bmp";
        break;
    case Obstacle::kFolderInTheWay:
        fs::create_directory(bitmap);
        break;
    case Obstacle::kFullDisk:
    case Obstacle::kReadOnlyDisk:
        if (!small.mounted())
            GTEST_SKIP() << "no small file system here: it needs root (under Wine, scripts/windows.sh "
                            "run as root maps a drive to one)";
        bitmap = small.path() / "out.bmp";
        if (c.obstacle == Obstacle::kReadOnlyDisk) {
#if defined(_WIN32)
            GTEST_SKIP() << "no read-only file system to be made from inside a Windows program";
#else
            ASSERT_EQ(::mount(nullptr, small.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
#endif
        }
        break;
#if defined(_WIN32)
    case Obstacle::kNoPermission:
        GTEST_SKIP() << "Wine keeps no permissions";
    case Obstacle::kReadOnlyFile:
        writeFile(bitmap, {'o', 'l', 'd'});
        SetFileAttributesW(bitmap.c_str(), FILE_ATTRIBUTE_READONLY);
        break;
    case Obstacle::kHeldDump:
    case Obstacle::kHeldBitmap: {
        const fs::path& file = c.obstacle == Obstacle::kHeldDump ? dump : bitmap;
        if (c.obstacle == Obstacle::kHeldBitmap)
            writeFile(file, {'o', 'l', 'd'});
        held = CreateFileW(file.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        break;
    }
#else
    case Obstacle::kNoPermission:
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::permissions(dir.path(), fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
        fs::permissions(dump, fs::perms::others_read, fs::perm_options::add);
        bitmap = dir / "locked" / "out.bmp";
        unprivileged = true;
        break;
    case Obstacle::kReadOnlyFile:
    case Obstacle::kHeldDump:
    case Obstacle::kHeldBitmap:
        GTEST_SKIP() << "Windows only";
#endif
    }
    const std::string in = nativePath(dump), out = nativePath(bitmap);
    const auto convert = [&] { return fnRastrex(in.c_str(), out.c_str()); };
    std::int32_t result = 0;
    FileFailure cause = FileFailure::None;
#if !defined(_WIN32)
    if (unprivileged)
        std::tie(result, cause) = asUser(convert);
    else
#endif
    {
        result = convert();
        cause = lastSystemFailure().kind;
    }
#if defined(_WIN32)
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    SetFileAttributesW(bitmap.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(static_cast<int>(cause), static_cast<int>(c.cause));
}

using F = FileFailure;
INSTANTIATE_TEST_SUITE_P(
    Cases, FailureCause,
    ::testing::Values(CauseCase{"no_dump", Obstacle::kNoDump, RASTREX_ERR_OPEN_INPUT, F::NotFound},
                      // As Windows refuses to open a folder, so does every system.
                      CauseCase{"dump_is_a_folder", Obstacle::kDumpIsAFolder, RASTREX_ERR_OPEN_INPUT,
                                F::FolderInTheWay},
                      CauseCase{"held_dump", Obstacle::kHeldDump, RASTREX_ERR_OPEN_INPUT, F::InUse},
                      CauseCase{"no_folder", Obstacle::kNoFolder, RASTREX_ERR_WRITE_OUTPUT, F::NotFound},
                      CauseCase{"folder_in_the_way", Obstacle::kFolderInTheWay, RASTREX_ERR_WRITE_OUTPUT,
                                F::FolderInTheWay},
                      CauseCase{"full_disk", Obstacle::kFullDisk, RASTREX_ERR_WRITE_OUTPUT, F::NoSpace},
                      CauseCase{"read_only_disk", Obstacle::kReadOnlyDisk, RASTREX_ERR_WRITE_OUTPUT, F::ReadOnlyDisk},
                      CauseCase{"no_permission", Obstacle::kNoPermission, RASTREX_ERR_WRITE_OUTPUT, F::NoPermission},
                      CauseCase{"read_only_file", Obstacle::kReadOnlyFile, RASTREX_ERR_WRITE_OUTPUT, F::ReadOnlyFile},
                      CauseCase{"held_bitmap", Obstacle::kHeldBitmap, RASTREX_ERR_WRITE_OUTPUT, F::InUse},
                      CauseCase{"held_bitmap_sharing_reads", Obstacle::kHeldBitmap, RASTREX_ERR_WRITE_OUTPUT,
                                F::InUse, 1},
                      CauseCase{"held_bitmap_sharing_reads_writes", Obstacle::kHeldBitmap,
                                RASTREX_ERR_WRITE_OUTPUT, F::InUse, 3},
                      CauseCase{"held_bitmap_sharing_reads_writes_removal", Obstacle::kHeldBitmap,
                                RASTREX_ERR_WRITE_OUTPUT, F::InUse, 7}),
    [](const auto& row) { return std::string(row.param.name); });

#if defined(_WIN32)
// The bitmap's replacement refused at the last step: in use while another
// program holds the bitmap, whatever it shares; access denied when no
// program holds what stands there (here a folder that took the bitmap's
// place after the new file opened: Wine, unlike Windows, replaces a file
// made read-only meanwhile).
TEST(ReplacementRefused, IsInUseOnlyWhileAnotherProgramHoldsTheBitmap)
{
    struct Case {
        const char* what;
        bool held;
        DWORD share;
        int error;
    } const cases[] = {
        {"held sharing nothing", true, 0, ERROR_SHARING_VIOLATION},
        {"held sharing everything", true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
         ERROR_SHARING_VIOLATION},
        {"a folder, held by nobody", false, 0, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path bitmap = dir / "out.bmp";
        writeFile(bitmap, {'o', 'l', 'd'});
        OutputFile out(nativePath(bitmap).c_str());
        ASSERT_TRUE(out.isOpen()) << c.what;
        const unsigned char bytes[] = {'n', 'e', 'w'};
        out.write(bytes, sizeof bytes);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held) {
            held = CreateFileW(bitmap.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE) << c.what;
        } else {
            fs::remove(bitmap);
            fs::create_directory(bitmap);
        }
        EXPECT_FALSE(out.commit()) << c.what;
        EXPECT_EQ(out.error(), c.error) << c.what;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (c.held)
            EXPECT_EQ(readFile(bitmap), (Bytes{'o', 'l', 'd'})) << c.what;
        else
            EXPECT_TRUE(fs::is_directory(bitmap)) << c.what;
    }
}
#endif

}  // namespace
