// Times the thumbnails of dumps of every common kind at 1920 x 1080 and
// 3840 x 2160, in a box of 256 pixels as Explorer and the file managers
// ask for the large ones: the median time of the thumbnail in this
// process, and the peak memory of a process that makes the one thumbnail,
// beside that of a process that only reads the dump's header.
//
// Then the peak memory of a process that makes the thumbnail of a large
// 32-bit dump handed over as a stream that cannot seek, as Explorer may
// hand one to the Windows thumbnail handler: read from its front only,
// without a size. The dump is made as it is read, never held whole.
//
// Usage: bench_thumbnail [RUNS | --streams]   (RASTREX_BENCH_DIR=folder for
// the dumps, /dev/shm by default; --streams measures the streams alone;
// bench_thumbnail --one REPORT DUMP BOX, --header REPORT DUMP and --stream
// REPORT WIDTH HEIGHT BOX are the children whose memory is measured: each
// writes the peak resident size of its own image, VmHWM, to REPORT.)
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

// A 32-bit dump of `width` x `height` pixels read from its front only, as
// a stream that cannot seek: its header, then rows made as they are read.
class MadeStream : public rastrex::ByteSource {
public:
    MadeStream(std::uint32_t width, std::uint32_t height)
    {
        XwdRecipe r = canonicalDump(1, 1, patternPixel);
        r.word(4) = width;
        r.word(5) = height;
        r.word(12) = width * 4;
        r.pixels.clear();
        header_ = r.bytes();
        total_ = header_.size() + std::uint64_t{width} * 4 * height;
    }
    std::size_t read(unsigned char* into, std::size_t n) override
    {
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, total_ - at_));
        for (std::size_t i = 0; i < got; ++i, ++at_)
            into[i] = at_ < header_.size() ? header_[at_] : static_cast<unsigned char>(at_ * 2654435761u >> 24);
        return got;
    }
    std::optional<std::uint64_t> size() override { return std::nullopt; }
    std::uint64_t readAt(std::uint64_t, unsigned char*, std::uint64_t) override { return 0; }

private:
    Bytes header_;
    std::uint64_t total_ = 0;
    std::uint64_t at_ = 0;
};

int child(int argc, char** argv)
{
    int result = 2;
    if (std::string(argv[1]) == "--one" && argc == 5) {
        rastrex::Thumbnail t;
        int error = 0;
        result = rastrex::makeThumbnail(argv[3], static_cast<std::uint32_t>(std::atoi(argv[4])), t, error);
    } else if (std::string(argv[1]) == "--stream" && argc == 6) {
        MadeStream stream(static_cast<std::uint32_t>(std::atol(argv[3])), static_cast<std::uint32_t>(std::atol(argv[4])));
        rastrex::InputFile in(stream);
        rastrex::Thumbnail t;
        result = rastrex::makeThumbnail(in, static_cast<std::uint32_t>(std::atoi(argv[5])), t);
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

// The peak memory of the thumbnails of large dumps read from a stream that
// cannot seek, beside the dumps' size.
void measureStreams(const fs::path& dir, const std::string& self)
{
    std::printf("\nThumbnails of 32-bit dumps from a stream that cannot seek, in a %ux%u box\n", kBox, kBox);
    std::printf("%-11s %10s %10s %12s\n", "size", "dump MB", "result", "peak MB");
    const fs::path report = dir / "peak";
    for (const auto& size : {std::pair{1920u, 1080u}, std::pair{8192u, 6144u}, std::pair{12288u, 9216u}}) {
        const ChildRun run = runQuietly({self, "--stream", report.string(), std::to_string(size.first),
                                         std::to_string(size.second), std::to_string(kBox)});
        std::printf("%5ux%-5u %10.1f %10s %12.1f\n", size.first, size.second,
                    static_cast<double>(size.first) * size.second * 4 / 1048576.0,
                    run.ok() ? "made" : "FAILED", run.exitStatus >= 0 ? peakMb(report) : 0);
    }
}

int main(int argc, char** argv)
{
    if (argc >= 2 && argv[1][0] == '-' && std::string(argv[1]) != "--streams")
        return child(argc, argv);
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    const char* env = std::getenv("RASTREX_BENCH_DIR");
    const fs::path base = env ? fs::path(env) : access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("rastrex-thumb-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string self = fs::canonical("/proc/self/exe").string();
    if (argc >= 2 && std::string(argv[1]) == "--streams") {
        measureStreams(dir, self);
        fs::remove_all(dir);
        return 0;
    }

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
    measureStreams(dir, self);
    fs::remove_all(dir);
    std::printf("Target (every 3840x2160 thumbnail under %.0f ms): %s\n", kTargetMs, met ? "met" : "MISSED");
    return 0;
}
