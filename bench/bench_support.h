// Running other programs from a benchmark: to completion, with their output
// thrown away, measuring the wall time and the peak memory they took.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace rastrex::bench {

struct ChildRun {
    int exitStatus = -1;  // -1 when it could not start or did not exit
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the child
    double peakMb = 0;      // largest resident size of it and its waited-for children
    bool ok() const { return exitStatus == 0; }
};

// User and system time in `u`, in seconds.
inline double cpuSeconds(const struct rusage& u)
{
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs args (looked up on PATH) in `cwd`, or in the current folder when
// `cwd` is empty, with standard output and error sent to /dev/null.
inline ChildRun runQuietly(const std::vector<std::string>& args,
                           const std::filesystem::path& cwd = {})
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = cpuSeconds(usage);
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Whether `program` is on PATH.
inline bool installed(const char* program)
{
    return runQuietly({"sh", "-c", std::string("command -v ") + program}).ok();
}

}  // namespace rastrex::bench
