// Times the conversion of batches of dumps (500 of 640 x 480 and 50 of
// 3840 x 2160) by xwd2bmp (one job, then one a core), by ImageMagick's
// `mogrify -format bmp`, by GraphicsMagick's `gm mogrify -format bmp` and by
// a netpbm shell loop (`xwdtopnm | ppmtobmp` per file), and prints files per
// second and ratios. The peers are called by their full paths in /usr/bin
// (a wrapper of the same name may come earlier on PATH); one that is not
// installed is left out. Each converter's bitmaps are counted; a converter
// that fails on the dumps gets no figure.
// Usage: bench_batch [SCALE]   (SCALE divides the counts, for a quick look)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;
using namespace rastrex::bench;

namespace {

constexpr int kVgaCount = 500;
constexpr int kLargeCount = 50;
// Runs of each converter; the fastest counts, since a machine shared with
// other work only ever slows a run down.
constexpr int kRuns = 3;

struct Contender {
    std::string name;
    std::vector<std::string> argv;  // run in the folder of dumps
    std::optional<double> seconds;
};

std::size_t countBitmaps(const fs::path& dir)
{
    std::size_t found = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        found += ext == ".bmp" || ext == ".BMP" ? 1u : 0u;
    }
    return found;
}

void printLoad()
{
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
}

// One batch of `count` dumps of width x height, every contender on it.
void batch(const TempDir& dir, int count, std::uint32_t width, std::uint32_t height)
{
    const Bytes dump = canonicalDump(width, height, patternPixel).bytes();
    const fs::path set = dir / (std::to_string(width) + "x" + std::to_string(height));
    fs::create_directory(set);
    fs::create_directory(set / "dumps");
    std::vector<fs::path> dumps;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.xwd", i);
        dumps.push_back(set / "dumps" / name);
        writeFile(dumps.back(), dump);
    }
    std::printf("\n%d dumps of %ux%u (%.2f GB) in %s\n", count, width, height,
                count * static_cast<double>(dump.size()) / 1e9, set.c_str());
    printLoad();

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<Contender> contenders = {
        {"xwd2bmp -j1", {XWD2BMP_PATH, "-q", "-j1", "."}, {}},
        {"xwd2bmp -j" + std::to_string(cores), {XWD2BMP_PATH, "-q", "-j" + std::to_string(cores), "."}, {}},
    };
    const std::size_t ours = contenders.size();
    if (access("/usr/bin/mogrify", X_OK) == 0)
        contenders.push_back({"mogrify -format bmp", {"sh", "-c", "/usr/bin/mogrify -format bmp *.xwd"}, {}});
    else
        std::printf("ImageMagick mogrify: not installed, left out\n");
    if (access("/usr/bin/gm", X_OK) == 0)
        contenders.push_back({"gm mogrify -format bmp", {"sh", "-c", "/usr/bin/gm mogrify -format bmp *.xwd"}, {}});
    else
        std::printf("GraphicsMagick: not installed, left out\n");
    if (access("/usr/bin/xwdtopnm", X_OK) == 0 && access("/usr/bin/ppmtobmp", X_OK) == 0)
        contenders.push_back(
            {"netpbm loop",
             {"sh", "-c",
              "for f in *.xwd; do /usr/bin/xwdtopnm \"$f\" | /usr/bin/ppmtobmp > \"${f%.xwd}.bmp\" || exit 1; done"},
             {}});
    else
        std::printf("netpbm: not installed, left out\n");

    // Each run converts hard links to the dumps in a folder of its own, and
    // no bitmap is removed before the end: creating files right after many
    // were deleted costs the file system far more than creating them after
    // a simulation wrote its dumps, and would be charged to the next run.
    std::printf("best of %d runs each\n", kRuns);
    int folder = 0;
    for (Contender& c : contenders) {
        for (int run = 0; run < kRuns; ++run) {
            const fs::path here = set / ("run" + std::to_string(folder++));
            fs::create_directory(here);
            for (const fs::path& d : dumps)
                fs::create_hard_link(d, here / d.filename());
            sync();  // the previous run's writes are not charged to this one
            const auto begin = std::chrono::steady_clock::now();
            const int status = runQuietly(c.argv, here).exitStatus;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            const std::size_t made = countBitmaps(here);
            if (status != 0 || made != dumps.size()) {
                std::printf("%-24s failed (exit status %d, %zu bitmaps)\n", c.name.c_str(),
                            status, made);
                c.seconds.reset();
                break;
            }
            c.seconds = std::min(seconds, c.seconds.value_or(seconds));
        }
        if (c.seconds)
            std::printf("%-24s %8.2f s %9.1f files/s\n", c.name.c_str(), *c.seconds,
                        count / *c.seconds);
        std::fflush(stdout);
    }
    for (std::size_t i = 0; i < ours; ++i)
        for (std::size_t p = ours; p < contenders.size(); ++p)
            if (contenders[i].seconds && contenders[p].seconds)
                std::printf("%s / %s: %.1fx\n", contenders[i].name.c_str(),
                            contenders[p].name.c_str(), *contenders[p].seconds / *contenders[i].seconds);
    fs::remove_all(set);
}

}  // namespace

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
    if (scale <= 0) {
        std::fprintf(stderr, "usage: bench_batch [SCALE]\n");
        return 2;
    }
    TempDir dir;
    batch(dir, std::max(1, kVgaCount / scale), 640, 480);
    batch(dir, std::max(1, kLargeCount / scale), 3840, 2160);
    return 0;
}
