// Times rastrex-convert against xwd2bmp on the same 1000 VGA dumps (640 x
// 480), each with as many jobs as the machine has cores: xwd2bmp -jN named
// the files; the verb's logic in this process (runVerb with a front end
// that shows nothing); and the real program rastrex-convert with the files
// on its command line, as a file manager runs it (Qt offscreen, its test
// answers in RASTREX_CONVERT_ANSWER so that no one need close the summary).
// Prints the best of three runs each, interleaved in turn, and the ratios to
// xwd2bmp: the verb should stay within 1.2x.
// Usage: bench_verb [SCALE]   (SCALE divides the count, for a quick look)
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
#include "verb_ui.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;
using namespace rastrex::bench;

namespace {

constexpr int kVgaCount = 1000;
constexpr int kRuns = 3;

// A front end that shows nothing and never stops the run.
class QuietUi : public rastrex::verb::VerbUi {
public:
    std::size_t converted = 0;
    void showProgress(const rastrex::verb::Progress&) override {}
    bool cancelRequested() override { return false; }
    bool askOverwrite(std::size_t) override { return false; }
    void showSummary(const rastrex::verb::Summary& s) override { converted = s.converted; }
    void tell(const std::string&) override {}
};

std::size_t countBitmaps(const fs::path& dir)
{
    std::size_t found = 0;
    for (const auto& e : fs::directory_iterator(dir))
        found += e.path().extension() == ".bmp" ? 1u : 0u;
    return found;
}

struct Contender {
    std::string name;
    std::optional<double> seconds;
};

}  // namespace

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
    if (scale <= 0) {
        std::fprintf(stderr, "usage: bench_verb [SCALE]\n");
        return 2;
    }
    const int count = std::max(1, kVgaCount / scale);
    TempDir dir;
    const Bytes dump = canonicalDump(640, 480, patternPixel).bytes();
    fs::create_directory(dir / "dumps");
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.xwd", i);
        names.push_back(name);
        writeFile(dir / "dumps" / name, dump);
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    std::printf("%d dumps of 640x480 (%.2f GB), %u jobs, best of %d runs each\n", count,
                count * static_cast<double>(dump.size()) / 1e9, cores, kRuns);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("RASTREX_CONVERT_ANSWER", "no", 1);

    std::vector<Contender> contenders = {{"xwd2bmp -j" + std::to_string(cores), {}},
                                         {"verb logic (runVerb)", {}},
                                         {"rastrex-convert (Qt)", {}}};
    int folder = 0;
    for (int run = 0; run < kRuns; ++run) {
        // Each run starts with another contender, so that none is always
        // the one after the folder's links were made.
        for (std::size_t k = 0; k < contenders.size(); ++k) {
            const std::size_t c = (k + static_cast<std::size_t>(run)) % contenders.size();
            // Hard links to the dumps in a folder of its own; no bitmap is
            // removed before the end (see bench_batch).
            const fs::path here = dir / ("run" + std::to_string(folder++));
            fs::create_directory(here);
            std::vector<std::string> paths;
            for (const std::string& n : names) {
                fs::create_hard_link(dir / "dumps" / n, here / n);
                paths.push_back((here / n).string());
            }
            sync();
            std::vector<std::string> args;
            double seconds = 0;
            int status = 0;
            if (c == 1) {
                QuietUi ui;
                const auto begin = std::chrono::steady_clock::now();
                status = static_cast<int>(rastrex::verb::runVerb(paths, nullptr, ui, {cores}));
                seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            } else {
                args = {c == 0 ? XWD2BMP_PATH : RASTREX_CONVERT_PATH};
                if (c == 0)
                    args.insert(args.end(), {"-q", "-j" + std::to_string(cores)});
                args.insert(args.end(), paths.begin(), paths.end());
                const ChildRun r = runQuietly(args, here);
                status = r.exitStatus;
                seconds = r.seconds;
            }
            const std::size_t made = countBitmaps(here);
            if (status != 0 || made != names.size()) {
                std::printf("%-24s failed (exit status %d, %zu bitmaps)\n", contenders[c].name.c_str(), status, made);
                return 1;
            }
            contenders[c].seconds = std::min(seconds, contenders[c].seconds.value_or(seconds));
        }
    }
    for (const Contender& c : contenders)
        std::printf("%-24s %8.2f s %9.1f files/s  %.2fx xwd2bmp's time\n", c.name.c_str(), *c.seconds,
                    count / *c.seconds, *c.seconds / *contenders[0].seconds);
    return 0;
}
