// Times the thumbnails of dumps of every common kind at 1920 x 1080 and
// 3840 x 2160, in a box of 256 pixels as Explorer and the file managers
// ask for the large ones: the median time of the thumbnail in this
// process, and the peak memory of a process that makes the one thumbnail,
// beside that of a process that only reads the dump's header.
//
// Usage: bench_thumbnail [RUNS]   (RASTREX_BENCH_DIR=folder for the dumps,
// /dev/shm by default; bench_thumbnail --one REPORT DUMP BOX and --header
// REPORT DUMP are the children whose memory is measured: each writes the
// peak resident size of its own image, VmHWM, to REPORT.)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "dump_kinds.h"
#include "rastrex.h"
#include "thumbnail.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::bench;

namespace {

constexpr int kDefaultRuns = 15;
constexpr std::uint32_t kBox = 256;
// The thumbnail of a 3840 x 2160 dump of any kind must take less than this.
constexpr double kTargetMs = 100;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Writes this process's VmHWM (kB) to `report`. Not getrusage's maxrss,
// which keeps the peak of the process image before exec, here the
// benchmark's own with its dumps.
void reportPeak(const char* report)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    std::FILE* out = std::fopen(report, "w");
    char line[256];
    while (status != nullptr && out != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::string(line).rfind("VmHWM:", 0) == 0)
            std::fprintf(out, "%ld\n", std::atol(line + 6));
    if (status != nullptr)
        std::fclose(status);
    if (out != nullptr)
        std::fclose(out);
}

int child(int argc, char** argv)
{
    int result = 2;
    if (std::string(argv[1]) == "--one" && argc == 5) {
        rastrex::Thumbnail t;
        int error = 0;
        result = rastrex::makeThumbnail(argv[3], static_cast<std::uint32_t>(std::atoi(argv[4])), t, error);
    } else if (std::string(argv[1]) == "--header" && argc == 4) {
        rastrex::InputFile in(argv[3]);
        unsigned char header[100];
        result = in.read(header, sizeof header) == sizeof header ? 0 : 1;
    }
    if (argc >= 3)
        reportPeak(argv[2]);
    return result;
}

// The peak memory in MB a child wrote to `report`.
double peakMb(const fs::path& report)
{
    std::FILE* f = std::fopen(report.c_str(), "r");
    long kb = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld", &kb) != 1)
            kb = 0;
        std::fclose(f);
    }
    return static_cast<double>(kb) / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && argv[1][0] == '-')
        return child(argc, argv);
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    const char* env = std::getenv("RASTREX_BENCH_DIR");
    const fs::path base = env ? fs::path(env) : access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("rastrex-thumb-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string self = fs::canonical("/proc/self/exe").string();

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("Thumbnails in a %ux%u box, median of %d runs (load average %.2f)\n", kBox, kBox, runs, load[0]);
    std::printf("%-22s %9s %10s %10s %12s %11s\n", "kind", "size", "dump MB", "thumb ms", "peak MB", "header MB");
    bool met = true;
    for (const auto& size : {std::pair{1920u, 1080u}, std::pair{3840u, 2160u}}) {
        for (const KindRecipe& recipe : kKinds) {
            const fs::path dump = dir / "dump.xwd";
            writeFile(dump, dumpBytes(recipe, size.first, size.second));
            std::vector<double> ms;
            for (int r = 0; r < runs; ++r) {
                rastrex::Thumbnail t;
                int error = 0;
                const auto start = std::chrono::steady_clock::now();
                if (rastrex::makeThumbnail(dump.c_str(), kBox, t, error) != RASTREX_OK) {
                    std::fprintf(stderr, "bench_thumbnail: no thumbnail of %s\n", recipe.name);
                    return 1;
                }
                ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            }
            const fs::path report = dir / "peak";
            const bool oneRan = runQuietly({self, "--one", report.string(), dump.string(), std::to_string(kBox)}).ok();
            const double onePeak = oneRan ? peakMb(report) : 0;
            runQuietly({self, "--header", report.string(), dump.string()});
            const double headerPeak = peakMb(report);
            const double t = median(ms);
            met = met && (size.first < 3840 || t < kTargetMs);
            std::printf("%-22s %4ux%-4u %10.1f %10.2f %12.1f %11.1f\n", recipe.name, size.first, size.second,
                        static_cast<double>(fs::file_size(dump)) / 1e6, t, onePeak, headerPeak);
        }
    }
    fs::remove_all(dir);
    std::printf("Target (every 3840x2160 thumbnail under %.0f ms): %s\n", kTargetMs, met ? "met" : "MISSED");
    return 0;
}
