// Times the conversion of a batch of dumps by xwd2bmp (one thread, then all
// cores), by ImageMagick's `mogrify -format bmp` and by a netpbm shell loop
// (`xwdtopnm | ppmtobmp` per file), and prints files per second and ratios.
// A converter that is not installed is left out. Each converter's bitmaps are
// counted; a converter that fails on the dumps gets no figure.
// Usage: bench_batch [COUNT]
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

constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 480;
constexpr int kDefaultCount = 1000;
// Runs of each converter; the fastest counts, since a machine shared with
// other work only ever slows a run down.
constexpr int kRuns = 3;
// xwd2bmp on all cores must reach this many times the speed of each peer.
constexpr double kTargetRatio = 10;

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
        found += ext == ".bmp" || ext == ".BMP" ? 1 : 0;
    }
    return found;
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
    fs::create_directory(dir / "dumps");
    std::vector<fs::path> dumps;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.xwd", i);
        dumps.push_back(dir / "dumps" / name);
        writeFile(dumps.back(), dump);
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

    // Each run converts hard links to the dumps in a folder of its own, and
    // no bitmap is removed before the end: creating files right after many
    // were deleted costs the file system far more than creating them after
    // a simulation wrote its dumps, and would be charged to the next run.
    std::printf("best of %d runs each\n", kRuns);
    int folder = 0;
    for (Contender& c : contenders) {
        for (int run = 0; run < kRuns; ++run) {
            const fs::path here = dir / ("run" + std::to_string(folder++));
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
                std::printf("%-22s failed (exit status %d, %zu bitmaps)\n", c.name.c_str(),
                            status, made);
                c.seconds.reset();
                break;
            }
            c.seconds = std::min(seconds, c.seconds.value_or(seconds));
        }
        if (c.seconds)
            std::printf("%-22s %8.2f s %9.1f files/s\n", c.name.c_str(), *c.seconds,
                        count / *c.seconds);
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
