// The real xwd2bmp as a process: exit status, what reaches standard output
// and standard error, the help text, and the progress bar, which appears on
// a terminal only.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <pty.h>
#include <sys/stat.h>
#endif

#include <cerrno>
#include <regex>

#include "cli_support.h"
#include "progress.h"
#include "rastrex.h"

using namespace rastrex::test;

namespace {

struct ProcessCase {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;  // a prefix of standard output
    std::string err;  // all of standard error
    const char* input = nullptr;     // the file piped to standard input; a folder is opened as it
    const char* bitmapOf = nullptr;  // the dump whose bitmap is all of standard output
    bool inputIsFile = false;        // standard input is `input` itself, not a pipe
};

void PrintTo(const ProcessCase& c, std::ostream* os)
{
    *os << c.what;
}

const ProcessCase kProcessCases[] = {
    {"one dump, quiet on a pipe", {"a.xwd"}, 0, "", ""},
    {"a folder", {"."}, 1, "", "./bad.xwd: not converted: the file ends inside the 100-byte header\n"},
    {"verbose", {"-v", "a.xwd"}, 0, "a.xwd -> a.bmp\n", ""},
    {"missing path", {"a.xwd", "nope"}, 1, "", "nope: No such file or directory\n"},
    {"unknown option", {"--bogus", "a.xwd"}, 2, "",
     "xwd2bmp: The following argument was not expected: --bogus\n"
     "Try 'xwd2bmp --help' for more information.\n"},
    {"no path", {}, 2, "", "xwd2bmp: missing PATH\nTry 'xwd2bmp --help' for more information.\n"},
    {"help", {"--help"}, 0, "Usage: xwd2bmp [OPTION]... PATH...\n", ""},
    {"help wins over errors", {"-j", "9", "--help"}, 0, "Usage: xwd2bmp", ""},
    {"version", {"--version", "nope"}, 0, "xwd2bmp (rastrex) ", ""},
    // Standard input and output. The dump is 26 (Ctrl-Z) pixels wide and its
    // bitmap 10 (a line feed) high: a stream in text mode would change both.
    {"stdin to stdout", {"-"}, 0, "", "", "tall.xwd", "tall.xwd"},
    {"-c", {"-c", "tall.xwd"}, 0, "", "", nullptr, "tall.xwd"},
    {"verbose lists on stderr", {"-v", "-"}, 0, "", "- -> standard output\n", "tall.xwd", "tall.xwd"},
    {"short dump on a pipe gives no bytes", {"-"}, 1, "",
     "-: not converted: the file ends inside the 100-byte header\n", "bad.xwd"},
    {"-c a short dump", {"--stdout", "bad.xwd"}, 1, "",
     "bad.xwd: not converted: the file ends inside the 100-byte header\n"},
    {"files from a list", {"-v", "--files-from=list"}, 0, "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    // Lists as Windows editors and shells save them.
    {"list after a UTF-8 byte-order mark", {"-v", "--files-from=list-bom"}, 0,
     "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"list in UTF-16LE", {"-v", "--files-from=list-le"}, 0, "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"list in UTF-16BE", {"-v", "--files-from=list-be"}, 0, "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"UTF-16 without its mark", {"--files-from=list-le-bare"}, 1, "",
     "a\\x00.\\x00x\\x00w\\x00d\\x00: the name holds a NUL character; a list in UTF-16 needs "
     "its byte-order mark\n"},
    {"unreadable names shown escaped", {"--files-from=list-odd"}, 1, "",
#if defined(_WIN32)
     "no\\x1B[1m.xwd: No such file or directory\n"},
#else
     "no\\x1B[1m.xwd: No such file or directory\ncaf\\xE9.xwd: No such file or directory\n"},
#endif
    {"list with a byte-order mark and CR LF", {"-v", "--files-from=list-bom-crlf"}, 0,
     "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"UTF-16 without its mark, named", {"-v", "--list-encoding=utf-16", "--files-from=list-le-bare"}, 0,
     "a.xwd -> a.bmp\n", ""},
    {"UTF-16BE named", {"-v", "--list-encoding=UTF-16", "--files-from=list-be"}, 0,
     "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"UTF-8 named, its mark dropped", {"-v", "--list-encoding=utf-8", "--files-from=list-bom-crlf"}, 0,
     "tall.xwd -> tall.bmp\na.xwd -> a.bmp\n", ""},
    {"-o on a file", {"-o", "a.xwd", "tall.xwd"}, 2, "",
     "xwd2bmp: --output-dir: a.xwd is a file, not a folder\n"
     "Try 'xwd2bmp --help' for more information.\n"},
#if !defined(_WIN32)
    {"/dev/stdin as a PATH", {"/dev/stdin"}, 1, "",
     "/dev/stdin: not a regular file; use - to read standard input\n", "tall.xwd"},
    {"a FIFO as a PATH", {"fifo.xwd"}, 1, "",
     "fifo.xwd: not a regular file; use - to read standard input\n"},
    {"standard input that cannot be read", {"-"}, 1, "", "-: cannot read the dump: Is a directory\n", "."},
    // A descriptor's link is no file, whatever file stands behind it.
    {"/dev/stdin on a file", {"-v", "/dev/stdin"}, 1, "",
     "/dev/stdin: not a regular file; use - to read standard input\n", "tall.xwd", nullptr, true},
    {"/proc/self/fd/0 on a file", {"/proc/self/fd/0"}, 1, "",
     "/proc/self/fd/0: not a regular file; use - to read standard input\n", "tall.xwd", nullptr, true},
    {"-o into /proc", {"-o", "/proc/xwd2bmp", "a.xwd"}, 2, "",
     "xwd2bmp: --output-dir: /proc/xwd2bmp lies in a file system of devices or processes (proc)\n"
     "Try 'xwd2bmp --help' for more information.\n"},
    {"a dump in /proc", {"/proc/version"}, 1, "",
     "/proc/version: not converted: its bitmap /proc/version.BMP would lie in a file system of "
     "devices or processes (proc); choose another folder with -o\n"},
    // Whatever bytes a name holds, it is shown on one line that drives no
    // terminal: control characters (ESC, a line end, DEL, C1 controls) and
    // bytes that are no UTF-8 as \xNN.
    {"odd names listed escaped", {"-v", "odd"}, 0,
     "odd/b\\xFF.xwd -> odd/b\\xFF.bmp\n"
     "odd/c\\xC2\\x9B.xwd -> odd/c\\xC2\\x9B.bmp\n"
     "odd/d\\x7F.xwd -> odd/d\\x7F.bmp\n"
     "odd/e\\x1B[1m.xwd -> odd/e\\x1B[1m.bmp\n"
     "odd/n\\x0Al\\x0D.xwd -> odd/n\\x0Al\\x0D.bmp\n"
     "odd/\xC3\xA9\xC2\xA0.xwd -> odd/\xC3\xA9\xC2\xA0.bmp\n", ""},
    {"odd names failing escaped", {"odd-bad"}, 1, "",
     "odd-bad/b\\xFF.xwd: not converted: the file ends inside the 100-byte header\n"
     "odd-bad/e\\x1B[1m.xwd: not converted: the file ends inside the 100-byte header\n"
     "odd-bad/n\\x0Al.xwd: not converted: the file ends inside the 100-byte header\n"},
    {"odd name as a PATH, missing", {"-v", "no\nne\x1B.xwd"}, 1, "", "no\\x0Ane\\x1B.xwd: No such file or directory\n"},
    // U+0800, the first letter of three bytes in UTF-8, then U+1F600, four.
    {"UTF-16LE list naming letters of three and four bytes", {"-v", "--files-from=list-le-emoji"}, 0,
     "\xE0\xA0\x80.xwd -> \xE0\xA0\x80.bmp\n\xF0\x9F\x98\x80.xwd -> \xF0\x9F\x98\x80.bmp\n", ""},
    {"UTF-16BE list naming letters of three and four bytes", {"-v", "--files-from=list-be-emoji"}, 0,
     "\xE0\xA0\x80.xwd -> \xE0\xA0\x80.bmp\n\xF0\x9F\x98\x80.xwd -> \xF0\x9F\x98\x80.bmp\n", ""},
    // Code page 932 read as such even where its bytes form UTF-8 (C3 BD).
    {"code page 932 named", {"-v", "--list-encoding=cp932", "--files-from=list-932"}, 0,
     "\xEF\xBE\x83\xEF\xBD\xBD.xwd -> \xEF\xBE\x83\xEF\xBD\xBD.bmp\n"
     "\xE5\x9B\xB3.xwd -> \xE5\x9B\xB3.bmp\n", ""},
    {"code page 932 unnamed reads UTF-8", {"--files-from=list-932"}, 1, "",
     "\xC3\xBD.xwd: No such file or directory\n\\x90}.xwd: No such file or directory\n"},
    {"a name not in code page 932", {"--list-encoding=cp932", "--files-from=list-not-932"}, 1, "",
     "\\x85A.xwd: the name is not in code page 932\n"},
    // Standard output takes a whole bitmap or nothing.
    {"short dump from standard input gives no bytes", {"-"}, 1, "",
     "-: the dump ends early: 6 of 10 rows; the rest of the bitmap is black; standard output takes only "
     "a whole bitmap, so none was written\n", "cut/short.xwd"},
    {"-c a dump cut short gives no bytes", {"-c", "cut/short.xwd"}, 1, "",
     "cut/short.xwd: the dump ends early: 6 of 10 rows; the rest of the bitmap is black; standard output "
     "takes only a whole bitmap, so none was written\n"},
    {"list on standard input that cannot be read", {"--files-from=-"}, 2, "",
     "xwd2bmp: --files-from: cannot read standard input: Is a directory\n"
     "Try 'xwd2bmp --help' for more information.\n", "."},
    {"list that is a folder", {"--files-from=odd"}, 2, "",
     "xwd2bmp: --files-from: cannot read odd: Is a directory\n"
     "Try 'xwd2bmp --help' for more information.\n"},
#endif
};

class Process : public ::testing::TestWithParam<ProcessCase> {};

TEST_P(Process, ExitStatusAndStreams)
{
    const ProcessCase& c = GetParam();
    TempDir dir;
    makeDumps(dir.path(), {"a.xwd"});
    writeFile(dir / "bad.xwd", {0, 0, 0});
    writeFile(dir / "tall.xwd", dumpBytes(0, 26, 10));
    const auto writeText = [&dir](const char* name, const std::string& text) {
        writeFile(dir / name, Bytes(text.begin(), text.end()));
    };
    writeText("list", "tall.xwd\n\na.xwd");  // an empty line, no last line end
    writeText("list-bom", "\xEF\xBB\xBFtall.xwd\na.xwd\n");
    std::string le, be;
    for (const char ch : std::string("tall.xwd\r\na.xwd\r\n")) {
        le.append(1, ch).append(1, '\0');
        be.append(1, '\0').append(1, ch);
    }
    writeText("list-le", "\xFF\xFE" + le);
    writeText("list-be", "\xFE\xFF" + be);
    writeText("list-le-bare", std::string("a\0.\0x\0w\0d\0", 10));
#if defined(_WIN32)
    writeText("list-odd", "no\x1B[1m.xwd\n");
#else
    writeText("list-odd", "no\x1B[1m.xwd\ncaf\xE9.xwd\n");  // the second in Latin-1
#endif
    writeText("list-bom-crlf", "\xEF\xBB\xBFtall.xwd\r\na.xwd\r\n");
#if !defined(_WIN32)
    for (const char* name : {"b\xFF.xwd", "c\xC2\x9B.xwd", "d\x7F.xwd", "e\x1B[1m.xwd", "n\nl\r.xwd",
                             "\xC3\xA9\xC2\xA0.xwd"})
        makeDumps(dir / "odd", {name});
    fs::create_directory(dir / "odd-bad");
    for (const char* name : {"b\xFF.xwd", "e\x1B[1m.xwd", "n\nl.xwd"})
        writeFile(dir / "odd-bad" / name, {0, 0, 0});
    // U+0800, then U+1F600, a surrogate pair in UTF-16.
    makeDumps(dir.path(), {"\xE0\xA0\x80.xwd", "\xF0\x9F\x98\x80.xwd"});
    writeText("list-le-emoji",
              std::string("\xFF\xFE\x00\x08.\0x\0w\0d\0\n\0\x3D\xD8\x00\xDE.\0x\0w\0d\0", 26));
    writeText("list-be-emoji",
              std::string("\xFE\xFF\x08\x00\0.\0x\0w\0d\0\n\xD8\x3D\xDE\x00\0.\0x\0w\0d", 26));
    // U+FF83 U+FF7D and U+56F3 in UTF-8, then their code page 932 list.
    makeDumps(dir.path(), {"\xEF\xBE\x83\xEF\xBD\xBD.xwd", "\xE5\x9B\xB3.xwd"});
    writeText("list-932", "\xC3\xBD.xwd\r\n\x90\x7D.xwd\r\n");
    writeText("list-not-932", "\x85\x41.xwd\n");
    {
        Bytes shortDump = dumpBytes(0, 26, 10);
        shortDump.erase(shortDump.end() - 400, shortDump.end());  // 6 rows of 104 bytes and 16 more of 10
        fs::create_directory(dir / "cut");  // not among the dumps of the folder "."
        writeFile(dir / "cut/short.xwd", shortDump);
    }
    // Nobody writes to it: a program that opened it would wait for ever.
    ASSERT_EQ(mkfifo((dir / "fifo.xwd").c_str(), 0600), 0);
#endif
    Bytes input;
    const bool asFile = c.input != nullptr && (c.inputIsFile || fs::is_directory(dir / c.input));
    const bool piped = c.input != nullptr && !asFile;
    if (piped)
        input = readFile(dir / c.input);
#if defined(_WIN32)
    const Outcome o = runProcess(dir.path(), c.args, false, piped ? &input : nullptr);
#else
    const Outcome o = runProcess(dir.path(), c.args, false, piped ? &input : nullptr,
                                 asFile ? dir / c.input : fs::path());
#endif
    EXPECT_EQ(o.status, c.status);
    if (c.bitmapOf != nullptr) {
        TempDir scratch;
        ASSERT_EQ(fnRastrex(nativePath(dir / c.bitmapOf).c_str(),
                            nativePath(scratch / "ref.bmp").c_str()), RASTREX_OK);
        EXPECT_TRUE(o.outBytes == readFile(scratch / "ref.bmp"));
        EXPECT_EQ(filesUnder(dir.path()).count("tall.bmp"), 0u);
    } else {
        EXPECT_EQ(o.out.substr(0, c.out.size()), c.out);
        if (c.out.empty()) {
            EXPECT_EQ(o.out, "");
        }
    }
    EXPECT_EQ(o.err, spelled(c.err));
}

INSTANTIATE_TEST_SUITE_P(Cases, Process, ::testing::ValuesIn(kProcessCases),
                         [](const auto& row) { return caseName(row.param.what); });

// A listing nobody reads any more (xwd2bmp -v | head -1) must not kill the
// program between two bitmaps, or halfway through one.
TEST(ListingReaderGone, EveryDumpIsStillConverted)
{
    TempDir dir;
    std::vector<std::string> dumps;
    for (int i = 0; i < 20; ++i)
        dumps.push_back("f" + std::to_string(i) + ".xwd");
    makeDumps(dir.path(), dumps);
    const Outcome o = runProcess(dir.path(), {"-v", "-j", "2", "."}, true);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "xwd2bmp: cannot write to standard output\n");
    for (int i = 0; i < 20; ++i)
        EXPECT_NO_THROW(parseBmp(readFile(dir / ("f" + std::to_string(i) + ".bmp")))) << i;
}

TEST(Help, ListsEveryOptionAndExitStatus)
{
    TempDir dir;
    const Outcome o = runProcess(dir.path(), {"--help"});
    for (const char* text : {"-o, --output-dir=DIR", "-r, --recursive", "-n, --no-clobber",
                             "-c, --stdout", "--files-from=FILE", "-0, --null", "--list-encoding=ENC",
                             "-j, --jobs=N", "-q, --quiet", "-v, --verbose", "-h, --help",
                             "--version", "RASTREX_ROWS", "Exit status:\n 0  ", "\n 1  ", "\n 2  "})
        EXPECT_NE(o.out.find(text), std::string::npos) << text;
}

// --version names the row path for bug reports, and the cap RASTREX_ROWS
// sets on it (the path below a cap is the processor's to choose).
struct VersionCase {
    const char* what;
    const char* setting;  // nullptr: unset
    const char* rowPath;  // the second line, a regular expression
};

const VersionCase kVersionCases[] = {
    {"unset", nullptr, "row path: (plain|ssse3|avx2|avx512)"},
    {"empty", "", "row path: (plain|ssse3|avx2|avx512)"},
    {"capped", "plain", "row path: plain \\(RASTREX_ROWS=plain\\)"},
    {"capped above", "avx512", "row path: (plain|ssse3|avx2|avx512) \\(RASTREX_ROWS=avx512\\)"},
    {"unknown", "fast",
     "row path: (plain|ssse3|avx2|avx512) \\(RASTREX_ROWS ignored: it names none of plain, ssse3, avx2, "
     "avx512\\)"},
};

TEST(Version, NamesTheRowPathAndItsCap)
{
    TempDir dir;
    for (const VersionCase& c : kVersionCases) {
        SCOPED_TRACE(c.what);
#if defined(_WIN32)
        _putenv_s("RASTREX_ROWS", c.setting != nullptr ? c.setting : "");
#else
        c.setting != nullptr ? setenv("RASTREX_ROWS", c.setting, 1) : unsetenv("RASTREX_ROWS");
#endif
        const Outcome o = runProcess(dir.path(), {"--version"});
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(std::regex_match(o.out, std::regex(std::string("xwd2bmp \\(rastrex\\) [0-9.]+\n") +
                                                           c.rowPath + "\n")))
            << o.out;
    }
#if defined(_WIN32)
    _putenv_s("RASTREX_ROWS", "");
#else
    unsetenv("RASTREX_ROWS");
#endif
}

#if !defined(_WIN32)  // a terminal of its own: a pseudo-terminal
// Runs the program with standard error on a terminal of type `term` (none:
// TERM unset) and returns what the terminal received; standard output goes
// there too.
std::string runOnTerminal(const fs::path& cwd, const std::vector<std::string>& args,
                          const char* term = "xterm")
{
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0)
        throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(XWD2BMP_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (term != nullptr ? setenv("TERM", term, 1) : unsetenv("TERM"); chdir(cwd.c_str()) == 0)
            execv(XWD2BMP_PATH, argv.data());
        _exit(127);
    }
    std::string seen;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0)
            seen.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;  // EIO once the program has ended and closed the terminal
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    return seen;
}

struct TerminalCase {
    std::vector<std::string> args;
    bool bar;
    std::string summary;  // the closing line's counts, empty when there is none
    const char* what;     // the case's name
    const char* term = "xterm";  // none: TERM unset
};

void PrintTo(const TerminalCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a << ' ';
}

class Terminal : public ::testing::TestWithParam<TerminalCase> {};

TEST_P(Terminal, ProgressBarAndSummaryOnlyWhenNotQuiet)
{
    const TerminalCase& c = GetParam();
    TempDir dir;
    makeDumps(dir.path(), {"a.xwd", "b.xwd"});
    writeFile(dir / "bad.xwd", {'n', 'o', 'p', 'e', '!', '!', '!', '!'});
    const std::string seen = runOnTerminal(dir.path(), c.args, c.term);
    EXPECT_EQ(seen.find("MB/s") != std::string::npos, c.bar) << seen;
    // A dumb terminal erases nothing: the bar is overwritten with spaces.
    const bool dumb = c.term == nullptr || c.term == std::string_view("dumb");
    EXPECT_EQ(seen.find('\x1b') != std::string::npos, c.bar && !dumb) << seen;
    EXPECT_TRUE(fs::exists(dir / "a.bmp"));
    const std::regex summary("xwd2bmp: [^\r\n]* seconds\r?\n");
    std::smatch found;
    EXPECT_EQ(std::regex_search(seen, found, summary), !c.summary.empty()) << seen;
    if (!c.summary.empty()) {
        EXPECT_TRUE(std::regex_match(found.str(), std::regex("xwd2bmp: " + c.summary +
                                                             ", [0-9]+\\.[0-9] seconds\r?\n")))
            << found.str();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Terminal,
    ::testing::Values(TerminalCase{{"."}, true, "2 converted, 1 failed", "a folder"},
                      TerminalCase{{"-v", "-j1", "a.xwd", "b.xwd"}, true, "2 converted, 0 failed", "two dumps verbose"},
                      TerminalCase{{"a.xwd"}, true, "", "one dump no summary"},
                      TerminalCase{{"-q", "."}, false, "", "quiet"},
                      TerminalCase{{"."}, true, "2 converted, 1 failed", "dumb terminal", "dumb"},
                      TerminalCase{{"-v", "a.xwd", "b.xwd"}, true, "2 converted, 0 failed", "no TERM", nullptr}),
    [](const auto& row) { return caseName(row.param.what); });

// A bitmap is never sent to a terminal.
TEST(TerminalOutput, IsRefused)
{
    TempDir dir;
    makeDumps(dir.path(), {"a.xwd"});
    for (const auto& args : {std::vector<std::string>{"-c", "a.xwd"}, std::vector<std::string>{"-"}}) {
        const std::string seen = runOnTerminal(dir.path(), args);
        EXPECT_NE(seen.find(": standard output is a terminal; redirect it to a file or a pipe"),
                  std::string::npos) << seen;
        EXPECT_EQ(seen.find("BM"), std::string::npos) << seen;
    }
}
#endif

// The bar never takes the terminal's last column, so it cannot wrap and
// leave a trail of lines; the current file loses its start first.
struct LineCase {
    int columns;
    std::string current;
    std::string contains;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.columns << " columns, " << c.current;
}

class ProgressLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ProgressLine, FitsTheTerminal)
{
    const LineCase& c = GetParam();
    rastrex::cli::ProgressState s;
    s.filesDone = 3;
    s.files = 10;
    s.bytesDone = 3'000'000;
    s.bytes = 10'000'000;
    s.seconds = 1.5;
    s.current = c.current;
    const std::string line = rastrex::cli::progressLine(s, c.columns);
    EXPECT_NE(line.find(c.contains), std::string::npos) << line;
    // Columns: ASCII takes one, each other character at most two.
    std::size_t columns = 0;
    for (const char byte : line) {
        const auto ch = static_cast<unsigned char>(byte);
        columns += ch < 0x80 ? 1 : (ch & 0xC0) != 0x80 ? 2 : 0;
    }
    EXPECT_LT(columns, static_cast<std::size_t>(c.columns)) << line;
    // Never a character cut in half.
    if (!line.empty()) {
        EXPECT_NE(static_cast<unsigned char>(line.back()) & 0xC0, 0x80);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressLine,
    ::testing::Values(
        LineCase{100, "runs/a.xwd", "3/10 [######..............] 2.0 MB/s 0:04 left  runs/a.xwd"},
        LineCase{60, "runs/2026/december/very/long/path/frame-000123.xwd", "  ...0123.xwd"},
        LineCase{40, "x.xwd", "3/10 2.0 MB/s 0:04 left  x.xwd"},
        LineCase{45, "\xe7\x94\xbb\xe5\x83\x8f/\xe3\x82\xb7\xe3\x83\xa7\xe3\x83\x83\xe3\x83\x88.xwd",
                 "\xe3\x83\xa7\xe3\x83\x83\xe3\x83\x88.xwd"},
        LineCase{10, "x.xwd", "left"}),
    [](const auto& row) { return std::to_string(row.param.columns) + "_columns"; });

}  // namespace
