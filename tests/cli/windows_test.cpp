// xwd2bmp on Windows: wildcards that the program expands itself, since
// cmd.exe passes them on (matched by common/wildcard.h, tested there); backslashes and drive letters in paths; names of
// any code page and paths of any length.
#include <gtest/gtest.h>

#include "cli_support.h"
#include "platform.h"

using namespace rastrex::test;

namespace {

// The files of the folder each pattern names, relative to the folder, or
// the pattern itself when nothing matches.
struct ExpandCase {
    const char* what;
    std::vector<std::string> args;  // "@" is the test's folder and a backslash
    std::vector<std::string> expanded;
};

void PrintTo(const ExpandCase& c, std::ostream* os)
{
    *os << c.what;
}

const ExpandCase kExpandCases[] = {
    {"star dot xwd in any case", {"@*.xwd"}, {"@-dash.xwd", "@A.XWD", "@b.xwd", "@c.Xwd"}},
    {"in a subfolder", {"@sub\\*.XWD"}, {"@sub\\s.xwd"}},
    {"forward slashes kept", {"@sub/*.xwd"}, {"@sub/s.xwd"}},
    {"question mark", {"@?.xwd"}, {"@A.XWD", "@b.xwd", "@c.Xwd"}},
    {"no match is kept", {"@none*.xwd"}, {"@none*.xwd"}},
    {"plain paths and options untouched", {"-v", "@b.xwd", "-o", "@out*"}, {"-v", "@b.xwd", "-o", "@out*"}},
    {"after -- a dash name is a pattern", {"--", "@-*"}, {"--", "@-dash.xwd"}},
    {"folders match too", {"@su*"}, {"@sub"}},
};

class Expand : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(Expand, GivesTheMatchingNamesInOrder)
{
    TempDir dir;
    makeDumps(dir.path(), {"b.xwd", "A.XWD", "c.Xwd", "notes.txt", "a.xwdold", "sub/s.xwd", "-dash.xwd"});
    const auto at = [&](std::vector<std::string> list) {
        for (std::string& s : list)
            if (s.starts_with("@"))
                s = nativePath(dir.path()) + "\\" + s.substr(1);
        return list;
    };
    EXPECT_EQ(rastrex::cli::expandWildcards(at(GetParam().args)), at(GetParam().expanded));
}

INSTANTIATE_TEST_SUITE_P(Cases, Expand, ::testing::ValuesIn(kExpandCases),
                         [](const auto& row) { return caseName(row.param.what); });

// The program as cmd.exe starts it: the pattern unexpanded, relative to the
// current folder, and paths with backslashes and a drive letter.
TEST(Program, ExpandsWildcardsAndTakesBackslashPaths)
{
    TempDir dir;
    makeDumps(dir.path(), {"a.xwd", "B.XWD", "-d.xwd", "sub/s.xwd", "notes.txt"});
    Outcome o = runProcess(dir.path(), {"-v", "*.xwd"});
    EXPECT_EQ(o.status, 0) << o.err;
    // A name that would read as an option is given its folder.
    EXPECT_EQ(o.out, ".\\-d.xwd -> .\\-d.bmp\nB.XWD -> B.BMP\na.xwd -> a.bmp\n");

    const std::string drive = nativePath(dir.path()).substr(0, 2);  // "C:"
    ASSERT_EQ(drive[1], ':');
    o = runProcess(dir.path(), {"-o", "out\\deep", "sub\\*.XWD", nativePath(dir / "a.xwd")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir / "out/deep/s.bmp"));
    EXPECT_TRUE(fs::exists(dir / "out/deep/a.bmp"));

    o = runProcess(dir.path(), {"none*.xwd"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "none*.xwd: No such file or directory\n");
}

// A bitmap another program holds open is told as in use, whatever that
// program shares with others: none, reads, reads and writes, and removal
// too. The bitmap stays as it was.
TEST(Program, TellsABitmapHeldByAnotherProgramAsInUse)
{
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                              DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        TempDir dir;
        makeDumps(dir.path(), {"a.xwd"});
        writeFile(dir / "a.bmp", Bytes{'o', 'l', 'd'});
        const HANDLE held = CreateFileW((dir / "a.bmp").c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                                        nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const Outcome o = runProcess(dir.path(), {"a.xwd"});
        CloseHandle(held);
        EXPECT_EQ(o.status, 1) << "share " << share;
        EXPECT_EQ(o.err, "a.xwd: cannot write the bitmap a.bmp: another program is using the file\n")
            << "share " << share;
        EXPECT_EQ(readFile(dir / "a.bmp"), (Bytes{'o', 'l', 'd'}));
    }
}

// A list of PATHs is UTF-8 with CR LF line ends; the program's code page is
// UTF-8 too (its manifest), so every name is spelled, and one that is not
// there fails on its own.
TEST(Program, TakesAListInUtf8)
{
    TempDir dir;
    writeFile(dir.path() / fs::path(u8"caf\u00e9.xwd"), dumpBytes());
    const std::string list = "caf\xc3\xa9.xwd\r\n\xe6\x97\xa5.xwd\r\n";
    writeFile(dir / "list", Bytes(list.begin(), list.end()));
    const Outcome o = runProcess(dir.path(), {"--files-from=list"});
    EXPECT_TRUE(fs::exists(dir.path() / fs::path(u8"caf\u00e9.bmp")));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "\xe6\x97\xa5.xwd: No such file or directory\n");

    // As cmd writes it (`dir /b > list`): in the console's code page, or in
    // the OEM code page a console starts in where there is none.
    const UINT console = GetConsoleCP() != 0 ? GetConsoleCP() : GetOEMCP();
    for (const std::wstring name : {L"r\u00e9sum\u00e9", L"\u753b\u50cf", L"\u0444\u0430\u0439\u043b"}) {
        BOOL lossy = FALSE;
        const std::wstring line = name + L".xwd\r\n";
        char bytes[64];
        const int n = WideCharToMultiByte(console, WC_NO_BEST_FIT_CHARS, line.c_str(), -1, bytes,
                                          sizeof bytes, nullptr, &lossy);
        if (n <= 1 || lossy)
            continue;  // a name this code page cannot spell
        writeFile(dir.path() / (name + L".xwd"), dumpBytes());
        writeFile(dir / "console-list", Bytes(bytes, bytes + n - 1));
        const Outcome listed = runProcess(dir.path(), {"--files-from=console-list"});
        EXPECT_EQ(listed.status, 0) << "code page " << console << ": " << listed.err;
        EXPECT_TRUE(fs::exists(dir.path() / (name + L".bmp"))) << "code page " << console;
    }
}


// Paths the ANSI code page or MAX_PATH once kept from the program, and an
// output folder that cannot be made.
struct PathCase {
    const char* what;
    const char* dump;               // made below the test's folder
    std::vector<std::string> args;  // in UTF-8
    const char* out;
    const char* err;
    int status;
    const char* bitmap;  // expected below the test's folder, or nullptr
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.what;
}

// In a case, "~" is a folder path of over 300 characters below the test's
// folder, "@" the test's folder and a backslash, and "!" a drive letter that
// names no drive.
const PathCase kPathCases[] = {
    {"name outside the code page", "\xF0\x9F\x98\x80\xED\x95\x9C.xwd",
     {"-v", "\xF0\x9F\x98\x80\xED\x95\x9C.xwd"},
     "\xF0\x9F\x98\x80\xED\x95\x9C.xwd -> \xF0\x9F\x98\x80\xED\x95\x9C.bmp\n", "", 0,
     "\xF0\x9F\x98\x80\xED\x95\x9C.bmp"},
    {"name outside the code page by a wildcard", "\xED\x95\x9C.xwd", {"-v", "*.xwd"},
     "\xED\x95\x9C.xwd -> \xED\x95\x9C.bmp\n", "", 0, "\xED\x95\x9C.bmp"},
    {"path over 300 characters", "~\\a.xwd", {"-v", "@~\\a.xwd"}, "@~\\a.xwd -> @~\\a.bmp\n", "", 0,
     "~\\a.bmp"},
    {"folder over 300 characters", "~\\a.xwd", {"-v", "-o", "@~\\out", "@~"},
     "@~\\a.xwd -> @~\\out\\a.bmp\n", "", 0, "~\\out\\a.bmp"},
    {"output folder on a drive that does not exist", "a.xwd", {"-o", "!:\\out", "a.xwd"}, "",
     "xwd2bmp: cannot create the folder !:\\out: there is no drive !:\n", 1, nullptr},
};

class Paths : public ::testing::TestWithParam<PathCase> {};

TEST_P(Paths, ConvertOrSayWhyNot)
{
    const PathCase& c = GetParam();
    TempDir dir;
    std::string deep;
    while (nativePath(dir.path()).size() + deep.size() < 300)
        deep += "folder-" + std::to_string(deep.size()) + "\\";
    deep.pop_back();
    char drive = 'Z';
    for (const DWORD used = GetLogicalDrives(); drive > 'D' && (used & (1u << (drive - 'A'))) != 0;)
        --drive;
    const auto expand = [&](const std::string& s) {
        std::string out;
        for (const char ch : s)
            out += ch == '~'   ? deep
                   : ch == '@' ? nativePath(dir.path()) + "\\"
                               : std::string(1, ch == '!' ? drive : ch);
        return out;
    };
    // A path below the test's folder, from UTF-8.
    const auto at = [&](const std::string& relative) {
        const std::u8string utf8(relative.begin(), relative.end());
        return anyLength(dir.path() / fs::path(utf8).make_preferred());
    };
    fs::create_directories(at(expand(c.dump)).parent_path());
    writeFile(at(expand(c.dump)), dumpBytes());
    std::vector<std::string> args;
    for (const std::string& a : c.args)
        args.push_back(expand(a));

    const Outcome o = runProcessUtf8(dir.path(), args);
    EXPECT_EQ(o.out, expand(c.out));
    EXPECT_EQ(o.err, expand(c.err));
    EXPECT_EQ(o.status, c.status);
    if (c.bitmap != nullptr) {
        // 54 header bytes and 3 rows of 5 pixels, padded to 16 bytes.
        EXPECT_EQ(readFile(at(expand(c.bitmap))).size(), 54u + 3 * 16);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Paths, ::testing::ValuesIn(kPathCases),
                         [](const auto& row) { return caseName(row.param.what); });

}  // namespace
