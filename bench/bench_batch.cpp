// Times the conversion of a batch of dumps by xwd2bmp (one thread, then all
// cores), by ImageMagick's `mogrify -format bmp` and by a netpbm shell loop
// (`xwdtopnm | ppmtobmp` per file), and prints files per second and ratios.
// A converter that is not installed is left out. Usage: bench_batch [COUNT]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "xwd_recipe.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 480;
constexpr int kDefaultCount = 1000;
// Each converter must at least reach this many times the peers' speed.
constexpr double kTargetRatio = 10;

struct Contender {
    std::string name;
    std::vector<std::string> argv;  // run in the folder of dumps
    std::optional<double> seconds;
};

// Runs argv in `cwd` with its output thrown away; returns its exit status.
int runQuietly(const fs::path& cwd, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool installed(const char* program)
{
    return runQuietly(fs::current_path(), {"sh", "-c", std::string("command -v ") + program}) == 0;
}

std::size_t removeBitmaps(const fs::path& dir)
{
    std::size_t removed = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (ext == ".bmp" || ext == ".BMP") {
            fs::remove(e.path());
            ++removed;
        }
    }
    return removed;
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultCount;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_batch [COUNT]\n");
        return 2;
    }
    TempDir dir;
    const Bytes dump = canonicalDump(kWidth, kHeight, patternPixel).bytes();
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.xwd", i);
        writeFile(dir / name, dump);
    }
    std::printf("%d dumps of %ux%u (%.2f GB) in %s\n", count, kWidth, kHeight,
                count * static_cast<double>(dump.size()) / 1e9, dir.path().c_str());

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<Contender> contenders = {
        {"xwd2bmp -j1", {XWD2BMP_PATH, "-q", "-j1", "."}, {}},
        {"xwd2bmp (" + std::to_string(cores) + " jobs)", {XWD2BMP_PATH, "-q", "."}, {}},
    };
    const std::size_t ours = contenders.size();
    if (installed("mogrify"))
        contenders.push_back({"mogrify -format bmp", {"sh", "-c", "mogrify -format bmp *.xwd"}, {}});
    else
        std::printf("mogrify: not installed, left out\n");
    if (installed("xwdtopnm") && installed("ppmtobmp"))
        contenders.push_back(
            {"netpbm loop",
             {"sh", "-c",
              "for f in *.xwd; do xwdtopnm \"$f\" | ppmtobmp > \"${f%.xwd}.bmp\" || exit 1; done"},
             {}});
    else
        std::printf("netpbm: not installed, left out\n");

    for (Contender& c : contenders) {
        removeBitmaps(dir.path());
        sync();  // the previous run's writes are not charged to this one
        const auto begin = std::chrono::steady_clock::now();
        const int status = runQuietly(dir.path(), c.argv);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        const std::size_t made = removeBitmaps(dir.path());
        if (status != 0 || made != static_cast<std::size_t>(count)) {
            std::printf("%-22s failed (exit status %d, %zu bitmaps)\n", c.name.c_str(), status,
                        made);
            continue;
        }
        c.seconds = seconds;
        std::printf("%-22s %8.2f s %9.1f files/s\n", c.name.c_str(), seconds, count / seconds);
        std::fflush(stdout);
    }

    bool met = true;
    for (std::size_t i = 0; i < ours; ++i)
        for (std::size_t p = ours; p < contenders.size(); ++p) {
            if (!contenders[i].seconds || !contenders[p].seconds)
                continue;
            const double ratio = *contenders[p].seconds / *contenders[i].seconds;
            std::printf("%s / %s: %.1fx\n", contenders[i].name.c_str(),
                        contenders[p].name.c_str(), ratio);
            if (i == ours - 1)
                met = met && ratio >= kTargetRatio;
        }
    std::printf("target (xwd2bmp on all cores >= %.0fx each peer): %s\n", kTargetRatio,
                met ? "met" : "NOT met");
    return 0;
}
