// Times fnRastrex on one 3840 x 2160 dump of the usual kind (32-bit units,
// least significant byte first, TrueColor) with nothing but the standard
// library, so that the same program runs on Linux and, cross-built, under
// Wine: the two medians compare the builds on one machine.
//
// Usage: bench_one_call [RUNS [DUMP]]   (files go to the system's temporary
// folder; DUMP, a path as this system writes it, is timed instead, such as
// one that bench_convert --dumps wrote)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "rastrex.h"
#include "xwd_recipe.h"

using namespace rastrex::test;

namespace {

constexpr std::uint32_t kWidth = 3840;
constexpr std::uint32_t kHeight = 2160;
constexpr int kDefaultRuns = 9;

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    TempDir dir;
    std::string in = nativePath(dir / "big.xwd");
    std::uint64_t dumpBytes = 0;
    if (argc > 2) {
        in = argv[2];
        std::error_code error;
        dumpBytes = std::filesystem::file_size(std::filesystem::path(in), error);
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[2], error.message().c_str());
            return 1;
        }
    } else {
        const Bytes dump = canonicalDump(kWidth, kHeight, patternPixel).bytes();
        writeFile(dir / "big.xwd", dump);
        dumpBytes = dump.size();
    }
    const std::string out = nativePath(dir / "big.bmp");

    std::vector<double> seconds;
    for (int i = 0; i < runs + 1; ++i) {  // the first run warms the caches
        const auto start = std::chrono::steady_clock::now();
        const std::int32_t result = fnRastrex(in.c_str(), out.c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (result != RASTREX_OK) {
            std::fprintf(stderr, "fnRastrex returned %d\n", static_cast<int>(result));
            return 1;
        }
        if (i > 0)
            seconds.push_back(took.count());
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("fnRastrex %s (%.1f MB dump): median %.1f ms over %d runs (min %.1f, max %.1f), "
                "%.0f MB/s\n",
                argc > 2 ? argv[2] : "3840x2160", static_cast<double>(dumpBytes) / 1e6, median * 1e3, runs, seconds.front() * 1e3,
                seconds.back() * 1e3, static_cast<double>(dumpBytes) / 1e6 / median);
    return 0;
}
