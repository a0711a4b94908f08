// Helpers for the tests of xwd2bmp: folders of dumps, running the program
// in-process or as a real process, and listing what it left behind.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "batch.h"
#include "case_names.h"
#include "process_runner.h"
#include "xwd_recipe.h"

namespace rastrex::test {

namespace fs = std::filesystem;

// What the program puts between a folder and a name inside it.
#if defined(_WIN32)
inline const std::string kSeparator = "\\";
#else
inline const std::string kSeparator = "/";
#endif

// An expected message with its paths as the program spells them: each "@"
// stands for `dir` and a separator, and on Windows each / is a \\.
inline std::string spelled(std::string message, const fs::path& dir = {})
{
#if defined(_WIN32)
    for (char& c : message)
        if (c == '/')
            c = '\\';
#endif
    for (std::size_t at; (at = message.find('@')) != std::string::npos;)
        message.replace(at, 1, nativePath(dir) + kSeparator);
    return message;
}

// A small dump whose picture depends on `seed`, so two dumps differ.
inline Bytes dumpBytes(std::uint32_t seed = 0, std::uint32_t width = 5, std::uint32_t height = 3)
{
    return canonicalDump(width, height, [seed](std::uint32_t x, std::uint32_t y) {
               return patternPixel(x + seed, y);
           })
        .bytes();
}

// Writes a dump at each relative path under `root`, creating folders.
inline void makeDumps(const fs::path& root, const std::vector<std::string>& names)
{
    std::uint32_t seed = 0;
    for (const std::string& name : names) {
        fs::create_directories((root / name).parent_path());
        writeFile(root / name, dumpBytes(seed++));
    }
}

// Every file under `root`, as paths relative to it.
inline std::set<std::string> filesUnder(const fs::path& root)
{
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files.insert(fs::relative(e.path(), root).generic_string());
    return files;
}


// Standard input holding `bytes`; past them the end, or with `breaks` the
// I/O error of a failing device.
class TestInput : public std::streambuf {
public:
    TestInput(std::string bytes, bool breaks) : bytes_(std::move(bytes)), breaks_(breaks)
    {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

protected:
    int_type underflow() override
    {
        if (breaks_)
            throw std::system_error(EBADF, std::generic_category());
        return traits_type::eof();
    }

private:
    std::string bytes_;
    bool breaks_;
};

// Runs the program's logic in this process, as if standard error were not a
// terminal, with `input` as its standard input.
inline Outcome runInProcess(const std::vector<std::string>& args, const std::string& input = {},
                            bool inputBreaks = false)
{
    std::vector<const char*> argv{"xwd2bmp"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    TestInput buffer(input, inputBreaks);
    std::istream in(&buffer);
    const cli::Reporting reporting{out, err, std::nullopt, nullptr, &in};
    const int status = static_cast<int>(
        cli::runProgram(static_cast<int>(argv.size()), argv.data(), reporting));
    return {status, out.str(), err.str()};
}

#if defined(_WIN32)

// The program lies beside the test.
inline std::string programPath()
{
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "xwd2bmp.exe";
}

// One argument as the C runtime splits a command line back into arguments.
inline std::string quoteArgument(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    std::string q = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        q.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        q += c;
    }
    q.append(2 * slashes, '\\');
    return q + "\"";
}

inline HANDLE inheritableFile(const fs::path& p)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the program as runProcess below does, its arguments spelled in code
// page `codePage`.
inline Outcome runProcessIn(UINT codePage, const fs::path& cwd, const std::vector<std::string>& args,
                            bool outputReaderGone, const Bytes* input, bool inputIsFile = false)
{
    TempDir capture;
    const fs::path outFile = capture / "stdout", errFile = capture / "stderr";
    // The input fills a pipe before the program starts: it must fit in it.
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (input != nullptr && inputIsFile) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        writeFile(capture / "stdin", *input);
        in = CreateFileW((capture / "stdin").c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    } else if (input != nullptr) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE writeEnd = nullptr;
        DWORD written = 0;
        if (!CreatePipe(&in, &writeEnd, &inherit, 1 << 20) ||
            !WriteFile(writeEnd, input->data(), static_cast<DWORD>(input->size()), &written,
                       nullptr))
            throw std::runtime_error("cannot feed standard input");
        CloseHandle(writeEnd);
    }
    std::string line = quoteArgument(programPath());
    for (const std::string& a : args) {
        line += ' ';
        line += quoteArgument(a);
    }

    HANDLE out = INVALID_HANDLE_VALUE;
    if (outputReaderGone) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE readEnd = nullptr;
        if (!CreatePipe(&readEnd, &out, &inherit, 0))
            throw std::runtime_error("CreatePipe failed");
        CloseHandle(readEnd);
    } else {
        out = inheritableFile(outFile);
    }
    const HANDLE err = inheritableFile(errFile);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = in;
    start.hStdOutput = out;
    start.hStdError = err;
    PROCESS_INFORMATION process{};
    std::wstring wideLine(line.size() + 1, L'\0');
    wideLine.resize(static_cast<std::size_t>(MultiByteToWideChar(
        codePage, 0, line.c_str(), static_cast<int>(line.size()), wideLine.data(),
        static_cast<int>(wideLine.size()))));
    const BOOL started = CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        cwd.c_str(), &start, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (input != nullptr)
        CloseHandle(in);
    if (!started)
        throw std::runtime_error("cannot start " + programPath());
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    // Text goes out with the system's line ends; the tests compare lines.
    const auto lines = [](const Bytes& bytes) {
        std::string text;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
                text += static_cast<char>(bytes[i]);
        return text;
    };
    Outcome o;
    o.status = static_cast<int>(code);
    o.outBytes = readFile(outFile);
    o.out = lines(o.outBytes);
    o.err = lines(readFile(errFile));
    return o;
}

inline Outcome runProcess(const fs::path& cwd, const std::vector<std::string>& args,
                          bool outputReaderGone = false, const Bytes* input = nullptr,
                          bool inputIsFile = false)
{
    return runProcessIn(CP_ACP, cwd, args, outputReaderGone, input, inputIsFile);
}

// With arguments in UTF-8, which can spell any name.
inline Outcome runProcessUtf8(const fs::path& cwd, const std::vector<std::string>& args)
{
    return runProcessIn(CP_UTF8, cwd, args, false, nullptr);
}

#else

// Runs the real program in `cwd`, its output and errors going to files; with
// `outputReaderGone`, its output goes to a pipe that nobody reads any more.
// `input`, when given, comes from a pipe (filled before the start: it must
// fit in it); `inputFile`, when given, is opened as standard input instead.
inline Outcome runProcess(const fs::path& cwd, const std::vector<std::string>& args,
                          bool outputReaderGone = false, const Bytes* input = nullptr,
                          const fs::path& inputFile = {})
{
    std::vector<std::string> line{XWD2BMP_PATH};
    line.insert(line.end(), args.begin(), args.end());
    return runProgram(line, {cwd, input, inputFile, outputReaderGone});
}

#endif

}  // namespace rastrex::test
