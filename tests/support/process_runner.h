// A program run as a real process, as a shell or a file manager runs it:
// its exit status, and what it wrote on its standard output and standard
// error.
#pragma once

#if !defined(_WIN32)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "xwd_recipe.h"

#if !defined(_WIN32)
extern char** environ;
#endif

namespace rastrex::test {

struct Outcome {
    int status = -1;  // the exit status, or minus the signal that ended it
    std::string out;
    std::string err;
    Bytes outBytes{};  // standard output as it came, line ends and all
};

#if !defined(_WIN32)

// How the process is run. `input`, when given, comes from a pipe (filled
// before the start: it must fit in it); `inputFile`, when given, is opened
// as standard input instead. With `outputReaderGone` standard output is a
// pipe that nobody reads any more.
struct ProcessIo {
    std::filesystem::path cwd{};
    const Bytes* input = nullptr;
    std::filesystem::path inputFile{};
    bool outputReaderGone = false;
};

// Runs `args`; a first word without a slash is looked for on PATH.
inline Outcome runProgram(const std::vector<std::string>& args, const ProcessIo& io = {})
{
    TempDir capture;
    const std::filesystem::path outFile = capture / "stdout", errFile = capture / "stderr";
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!io.cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, io.cwd.c_str());
    int pipeEnds[2] = {-1, -1};
    if (io.outputReaderGone) {
        if (pipe(pipeEnds) != 0)
            throw std::runtime_error("pipe failed");
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int inputEnds[2] = {-1, -1};
    if (io.input != nullptr) {
        if (pipe(inputEnds) != 0 ||
            write(inputEnds[1], io.input->data(), io.input->size()) != static_cast<ssize_t>(io.input->size()))
            throw std::runtime_error("cannot feed standard input");
        close(inputEnds[1]);
        posix_spawn_file_actions_adddup2(&actions, inputEnds[0], STDIN_FILENO);
    } else if (!io.inputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, io.inputFile.c_str(), O_RDONLY, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0)
        close(pipeEnds[1]);
    if (inputEnds[0] >= 0)
        close(inputEnds[0]);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + args.front());
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);

    Outcome o;
    o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus);
    o.outBytes = readFile(outFile);
    const Bytes err = readFile(errFile);
    o.out.assign(o.outBytes.begin(), o.outBytes.end());
    o.err.assign(err.begin(), err.end());
    return o;
}

#endif

}  // namespace rastrex::test
