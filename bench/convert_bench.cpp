// Times fnRastrex on 3840 x 2160 dumps of three kinds (32 bits least
// significant byte first TrueColor, 24 bits most significant byte first, 8
// bits through a colour map) against copying the same file (read it whole,
// write it whole), and on the first kind against ImageMagick's convert and
// netpbm's xwdtopnm | ppmtobmp when they are installed. Prints median times,
// ratios and each contender's peak memory (the largest resident size of a
// child process that does the one job).
//
// Usage: bench_convert [RUNS]   (RASTREX_BENCH_DIR=folder to choose where the
// files go; /dev/shm by default)
// (bench_convert --convert IN OUT and --copy IN OUT are the children whose
// memory is measured; bench_convert --measure REPORT PROGRAM ARGS... is the
// process that measures them.)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "rastrex.h"
#include "bench_support.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;
using namespace rastrex::bench;

namespace {

constexpr std::uint32_t kWidth = 3840;
constexpr std::uint32_t kHeight = 2160;
constexpr int kDefaultRuns = 9;
constexpr int kPeerRuns = 3;
// Targets: no slower than the copy, at least this many times the peers' speed,
// and peak memory within the input's size plus this much.
constexpr double kPeerRatioTarget = 10;
constexpr double kMemorySlackMb = 8;

// Copies a file the plain way: one read of the whole, one write of the whole.
bool copyFile(const char* from, const char* to)
{
    const int in = open(from, O_RDONLY);
    if (in < 0)
        return false;
    const off_t size = lseek(in, 0, SEEK_END);
    std::vector<char> data(static_cast<std::size_t>(size));
    bool ok = pread(in, data.data(), data.size(), 0) == size;
    close(in);
    const int out = open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return false;
    ok = ok && write(out, data.data(), data.size()) == size;
    return close(out) == 0 && ok;
}

// CPU time this process has used so far.
double selfCpuSeconds()
{
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return cpuSeconds(u);
}

std::string self()
{
    return fs::read_symlink("/proc/self/exe").string();
}

// Runs argv under a fresh measuring process (this program with --measure),
// which forks it from its own small image: a child spawned straight from
// this process would inherit, in its peak resident size, the peak of this
// one, which holds whole dumps while it builds them.
ChildRun measured(const std::vector<std::string>& args)
{
    char tmpl[] = "/tmp/rastrex-peak-XXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd < 0)
        return {};
    close(fd);
    std::vector<std::string> argv = {self(), "--measure", tmpl};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildRun run = runQuietly(argv);
    run.peakMb = 0;
    if (std::FILE* f = std::fopen(tmpl, "r")) {
        long kb = 0;
        double cpu = 0;
        if (std::fscanf(f, "%ld %lf", &kb, &cpu) == 2) {
            run.peakMb = kb / 1024.0;
            run.cpuSeconds = cpu;
        }
        std::fclose(f);
    }
    std::remove(tmpl);
    return run;
}

// The measuring process: runs argv, writes its peak resident size in KB and
// its CPU seconds to `report`, and exits with its status.
int measure(const char* report, char** argv)
{
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    if (std::FILE* f = std::fopen(report, "w")) {
        std::fprintf(f, "%ld %.6f\n", usage.ru_maxrss, cpuSeconds(usage));
        std::fclose(f);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Timing {
    double wall = 0;  // median wall-clock seconds
    double cpu = 0;   // median CPU seconds (user and system)
};

// Times two jobs run alternately, so that both see the same disturbances.
template <class F, class G>
std::optional<std::pair<Timing, Timing>> medianTimes(int runs, F&& first, G&& second)
{
    std::vector<double> wall[2], cpu[2];
    for (int i = 0; i < runs; ++i)
        for (int j = 0; j < 2; ++j) {
            const double cpuStart = selfCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            if (!(j == 0 ? first() : second()))
                return std::nullopt;
            wall[j].push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpu[j].push_back(selfCpuSeconds() - cpuStart);
        }
    return std::pair{Timing{median(wall[0]), median(cpu[0])},
                     Timing{median(wall[1]), median(cpu[1])}};
}


// The three dumps: same picture, three layouts.
Bytes canonicalBytes()
{
    return canonicalDump(kWidth, kHeight, patternPixel).bytes();
}

Bytes msb24Bytes()
{
    DumpKind k;
    k.bitsPerPixel = 24;
    k.msbByteFirst = true;
    std::vector<std::uint32_t> values(std::size_t{kWidth} * kHeight);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const Rgb c = patternPixel(x, y);
            values[std::size_t{y} * kWidth + x] = (std::uint32_t{c.r} << 16) | (c.g << 8) | c.b;
        }
    return kindDump(k, kWidth, kHeight, values, {}).bytes();
}

Bytes pseudo8Bytes()
{
    DumpKind k;
    k.bitsPerPixel = 8;
    k.depth = 8;
    k.visual = 3;  // PseudoColor
    Bytes map;
    for (std::uint32_t i = 0; i < 256; ++i)
        appendColourEntry(map, i, static_cast<std::uint16_t>(i * 257),
                          static_cast<std::uint16_t>((255 - i) * 257),
                          static_cast<std::uint16_t>((i * 7 % 256) * 257));
    std::vector<std::uint32_t> values(std::size_t{kWidth} * kHeight);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            values[std::size_t{y} * kWidth + x] = (x * 37 + y * 11) & 0xFF;
    return kindDump(k, kWidth, kHeight, values, map).bytes();
}

// The folder for the dumps and bitmaps: RASTREX_BENCH_DIR if set, else the
// memory-backed /dev/shm when there is one (so that the figures compare the
// work of the contenders, not the disk's writeback), else the temporary
// folder.
void chooseFolder()
{
    if (const char* dir = std::getenv("RASTREX_BENCH_DIR"))
        setenv("TMPDIR", dir, 1);
    else if (access("/dev/shm", W_OK) == 0)
        setenv("TMPDIR", "/dev/shm", 1);
}

int benchmark(int runs)
{
    chooseFolder();
    TempDir dir;
    std::printf("Files in %s\n", dir.path().parent_path().c_str());
    const std::string out = (dir / "out.bmp").string();
    const std::string copy = (dir / "copy.xwd").string();
    std::printf("fnRastrex on %ux%u dumps, median of %d runs (peers: %d runs)\n", kWidth, kHeight,
                runs, kPeerRuns);
    std::printf("Times in ms: wall clock, and CPU (user + system) in brackets; ratio = fnRastrex / copy.\n");
    std::printf("%-34s %17s %17s %13s %8s %8s\n", "dump", "fnRastrex", "copy", "ratio",
                "peak MB", "input MB");

    struct Kind {
        const char* name;
        Bytes (*make)();
    };
    const Kind kinds[] = {{"32-bit LSB TrueColor (canonical)", canonicalBytes},
                          {"24-bit MSB TrueColor", msb24Bytes},
                          {"8-bit PseudoColor, 256 entries", pseudo8Bytes}};
    bool targetsMet = true;
    std::string canonicalPath;
    Timing canonicalTime;
    double canonicalPeak = 0;
    double canonicalInputMb = 0;
    for (const Kind& kind : kinds) {
        const std::string in = (dir / (std::string(kind.name).substr(0, 6) + ".xwd")).string();
        {
            const Bytes bytes = kind.make();
            writeFile(in, bytes);
        }
        const double inputMb = fs::file_size(in) / (1024.0 * 1024.0);
        // Warm the page cache and check the result.
        if (fnRastrex(in.c_str(), out.c_str()) != RASTREX_OK) {
            std::printf("%s: fnRastrex failed\n", kind.name);
            return 1;
        }
        const auto times = medianTimes(
            runs, [&] { return fnRastrex(in.c_str(), out.c_str()) == RASTREX_OK; },
            [&] { return copyFile(in.c_str(), copy.c_str()); });
        const ChildRun peak = measured({self(), "--convert", in, out});
        if (!times || !peak.ok()) {
            std::printf("%s: a run failed\n", kind.name);
            return 1;
        }
        const Timing conv = times->first;
        const Timing cp = times->second;
        std::printf("%-34s %7.1f (%7.1f) %7.1f (%7.1f) %5.2f (%5.2f) %8.1f %8.1f\n", kind.name,
                    conv.wall * 1e3, conv.cpu * 1e3, cp.wall * 1e3, cp.cpu * 1e3,
                    conv.wall / cp.wall, conv.cpu / cp.cpu, peak.peakMb, inputMb);
        if (peak.peakMb > inputMb + kMemorySlackMb)
            targetsMet = false;
        if (canonicalPath.empty()) {
            if (conv.wall > cp.wall)
                targetsMet = false;
            canonicalPath = in;
            canonicalTime = conv;
            canonicalPeak = peak.peakMb;
            canonicalInputMb = inputMb;
        }
    }
    const ChildRun copyPeak = measured({self(), "--copy", canonicalPath, copy});
    std::printf("copy of the canonical dump: peak %.1f MB\n", copyPeak.peakMb);

    // The peers, on the canonical dump.
    std::printf("\nPeers on the canonical dump (%.1f MB):\n", canonicalInputMb);
    std::printf("%-34s %17s %17s %8s\n", "contender", "ms", "x fnRastrex", "peak MB");
    std::printf("%-34s %7.1f (%7.1f) %7.2f (%7.2f) %8.1f\n", "fnRastrex", canonicalTime.wall * 1e3,
                canonicalTime.cpu * 1e3, 1.0, 1.0, canonicalPeak);
    struct Peer {
        const char* name;
        const char* program;
        std::vector<std::string> argv;
    };
    const Peer peers[] = {
        {"ImageMagick convert", "convert", {"convert", canonicalPath, "BMP3:" + out}},
        {"netpbm xwdtopnm | ppmtobmp", "xwdtopnm",
         {"sh", "-c", "xwdtopnm \"$0\" | ppmtobmp > \"$1\"", canonicalPath, out}},
    };
    for (const Peer& peer : peers) {
        if (!installed(peer.program)) {
            std::printf("%-34s not installed\n", peer.name);
            continue;
        }
        std::vector<double> times, cpu;
        double peakMb = 0;
        for (int i = 0; i < kPeerRuns; ++i) {
            const ChildRun r = measured(peer.argv);
            if (!r.ok())
                break;
            times.push_back(r.seconds);
            cpu.push_back(r.cpuSeconds);
            peakMb = std::max(peakMb, r.peakMb);
        }
        if (times.size() != static_cast<std::size_t>(kPeerRuns)) {
            std::printf("%-34s failed\n", peer.name);
            continue;
        }
        const double t = median(times), c = median(cpu);
        std::printf("%-34s %7.1f (%7.1f) %7.1f (%7.1f) %8.1f\n", peer.name, t * 1e3, c * 1e3,
                    t / canonicalTime.wall, c / canonicalTime.cpu, peakMb);
        if (t / canonicalTime.wall < kPeerRatioTarget)
            targetsMet = false;
    }
    std::printf("\nTargets (no slower than the copy, >= %.0fx the peers, peak <= input + %.0f MB): %s\n",
                kPeerRatioTarget, kMemorySlackMb, targetsMet ? "met" : "MISSED");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--measure") == 0)
        return measure(argv[2], argv + 3);
    if (argc == 4 && std::strcmp(argv[1], "--convert") == 0)
        return fnRastrex(argv[2], argv[3]) == RASTREX_OK ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "--copy") == 0)
        return copyFile(argv[2], argv[3]) ? 0 : 1;
    int runs = kDefaultRuns;
    if (argc == 2)
        runs = std::max(1, std::atoi(argv[1]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [RUNS]\n", argv[0]);
        return 2;
    }
    return benchmark(runs);
}
