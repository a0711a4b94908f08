// Times fnRastrex on dumps of every common kind at 1920 x 1080 and 3840 x
// 2160 against the floor of this machine: a converter that does the same
// reads (header, name and colour map through the stream, then the pixel area
// by offset in bands of the same rows, bottom up) and the same writes (a new
// unnamed file in the bitmap's folder, the bitmap's bytes in writes of the
// same size, named and renamed into place) but decodes nothing. Runs of the
// two are interleaved and their medians compared; the installed peers are
// timed in the same rounds, each as one process per file against fnRastrex
// in one process per file. A second table times replacing an existing
// bitmap on a disk file system against writing a new one.
//
// Usage: bench_convert [RUNS]   (RASTREX_BENCH_DIR=folder to choose where the
// files go; /dev/shm by default; RASTREX_BENCH_DISK_DIR for the second table,
// the build folder by default; RASTREX_BENCH_NO_PEERS=1 times fnRastrex and
// the floor alone and skips the second table)
// bench_convert --dumps DIR writes the 3840 x 2160 dumps into DIR and stops.
// (bench_convert --convert IN OUT and --floor IN OUT are the children whose
// memory is measured; bench_convert --measure REPORT PROGRAM ARGS... is the
// process that measures them.)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "byte_order.h"
#include "dump_kinds.h"
#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;
using namespace rastrex::bench;

namespace {

constexpr int kDefaultRuns = 9;
constexpr int kPeerRuns = 3;
// Targets: every kind within this factor of the floor for its own bytes, and
// of the 32-bit kind's time at the largest size.
constexpr double kFloorTarget = 1.15;
constexpr double kKindTarget = 1.10;
// The same band and write sizes as the library's.
constexpr std::uint64_t kBandBytes = std::uint64_t{1} << 18;
constexpr std::size_t kWriteBytes = std::size_t{1} << 18;

// The floor: the library's reads and writes without its decoding. The dump
// is taken to be one of this benchmark's (ZPixmap, no x offset).
bool floorConvert(const char* from, const char* to)
{
    std::FILE* in = std::fopen(from, "rb");
    if (in == nullptr)
        return false;
    unsigned char header[100];
    bool ok = std::fread(header, 1, 100, in) == 100;
    const std::uint32_t headerSize = rastrex::loadBe32(header), width = rastrex::loadBe32(header + 16),
                        height = rastrex::loadBe32(header + 20), perLine = rastrex::loadBe32(header + 48),
                        entries = rastrex::loadBe32(header + 76);
    std::vector<unsigned char> front(headerSize - 100 + std::size_t{entries} * 12);
    ok = ok && std::fread(front.data(), 1, front.size(), in) == front.size();
    const std::uint64_t start = headerSize + std::uint64_t{entries} * 12;
    const std::uint32_t rowsPerBand =
        static_cast<std::uint32_t>(std::clamp<std::uint64_t>(kBandBytes / perLine, 1, height));
    std::unique_ptr<unsigned char[]> band(new unsigned char[std::size_t{rowsPerBand} * perLine]);
    std::unique_ptr<unsigned char[]> out(new unsigned char[kWriteBytes]());

    const std::string path = to;
    const std::size_t slash = path.find_last_of('/');
    const int folder = open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int fd = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    struct stat st {};
    ok = ok && fd >= 0 && stat(self.c_str(), &st) == 0;
    const std::size_t rowBytes = 3 * std::size_t{width} + width % 4;
    std::size_t used = 54;
    auto flush = [&] {
        ok = ok && write(fd, out.get(), used) == static_cast<ssize_t>(used);
        used = 0;
    };
    for (std::uint32_t end = height; end > 0 && ok;) {
        const std::uint32_t first = end > rowsPerBand ? end - rowsPerBand : 0;
        const std::size_t n = std::size_t{end - first} * perLine;
        ok = pread(fileno(in), band.get(), n, static_cast<off_t>(start + std::uint64_t{first} * perLine)) ==
             static_cast<ssize_t>(n);
        for (std::uint32_t r = end; r-- > first;)
            for (std::size_t left = rowBytes; left != 0;) {
                if (used == kWriteBytes)
                    flush();
                const std::size_t chunk = std::min(left, kWriteBytes - used);
                used += chunk;
                left -= chunk;
            }
        end = first;
    }
    std::fclose(in);
    flush();
    std::string temp(1, '.');
    temp += path.substr(slash + 1);
    temp += ".floor.tmp";
    ok = ok && linkat(AT_FDCWD, self.c_str(), folder, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && renameat(folder, temp.c_str(), folder, path.substr(slash + 1).c_str()) == 0;
    close(folder);
    return ok;
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
        double cpu = 0, wall = 0;
        if (std::fscanf(f, "%ld %lf %lf", &kb, &cpu, &wall) == 3) {
            run.peakMb = static_cast<double>(kb) / 1024.0;
            run.cpuSeconds = cpu;
            run.seconds = wall;
        }
        std::fclose(f);
    }
    std::remove(tmpl);
    return run;
}

// The measuring process: runs argv, writes its peak resident size in KB,
// its CPU seconds and its wall seconds (from fork to exit) to `report`, and
// exits with its status.
int measure(const char* report, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
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
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (std::FILE* f = std::fopen(report, "w")) {
        std::fprintf(f, "%ld %.6f %.6f\n", usage.ru_maxrss, cpuSeconds(usage), wall);
        std::fclose(f);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Seconds one call of `job` takes, or nothing when it fails.
std::optional<double> timed(const std::function<bool()>& job)
{
    const auto start = std::chrono::steady_clock::now();
    if (!job())
        return std::nullopt;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// --- The peers ---------------------------------------------------------------

struct Peer {
    const char* name;
    const char* program;  // must exist for the peer to run
    std::vector<std::string> (*argv)(const std::string& in, const std::string& out);
};

const Peer kPeers[] = {
    // Debian's own program by its full path: a wrapper of the same name may
    // come earlier on PATH.
    {"ImageMagick", "/usr/bin/convert",
     [](const std::string& in, const std::string& out) {
         return std::vector<std::string>{"/usr/bin/convert", in, "BMP3:" + out};
     }},
    {"GraphicsMagick", "/usr/bin/gm",
     [](const std::string& in, const std::string& out) {
         return std::vector<std::string>{"/usr/bin/gm", "convert", in, "BMP3:" + out};
     }},
    {"ffmpeg", "/usr/bin/ffmpeg",
     [](const std::string& in, const std::string& out) {
         return std::vector<std::string>{"/usr/bin/ffmpeg", "-v", "error", "-y", "-i", in,
                                         "-pix_fmt", "bgr24", out};
     }},
    {"netpbm", "/usr/bin/xwdtopnm",
     [](const std::string& in, const std::string& out) {
         return std::vector<std::string>{"sh", "-c", "/usr/bin/xwdtopnm \"$0\" | /usr/bin/ppmtobmp > \"$1\"",
                                         in, out};
     }},
};

bool present(const char* program)
{
    return access(program, X_OK) == 0;
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

void printLoad(const char* when)
{
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

struct Row {
    std::string kind;
    std::uint32_t width = 0, height = 0;
    double lib = 0, floor = 0, libCpu = 0, peakMb = 0, inputMb = 0;
};

int benchmark(int runs)
{
    chooseFolder();
    TempDir dir;
    const std::string out = (dir / "out.bmp").string();
    const std::string floorOut = (dir / "floor.bmp").string();
    const std::string peerOut = (dir / "peer.bmp").string();
    std::printf("Files in %s; medians of %d interleaved runs at 3840x2160, %d at 1920x1080 (peers: %d)\n",
                dir.path().parent_path().c_str(), runs, 4 * runs, kPeerRuns);
    printLoad("at the start");
    std::printf("ms: wall-clock medians of fnRastrex called in this process and of the floor (the same\n"
                "reads and writes, no decoding); ratio: fnRastrex / floor, by wall clock and by CPU time\n"
                "(user + system); vs 32-bit: over the 32-bit dump's time at the same size. Peers: their\n"
                "median wall time over fnRastrex's in a process of its own ('process' ms), one file each.\n");
    std::printf("%-22s %9s %8s %8s %6s %6s %8s %6s %7s %7s", "kind", "size", "fnRastrex", "floor", "ratio",
                "(cpu)", "vs 32-bit", "(cpu)", "peak MB", "process");
    std::vector<const Peer*> peers;
    const bool withPeers = std::getenv("RASTREX_BENCH_NO_PEERS") == nullptr;
    for (const Peer& p : kPeers)
        if (withPeers && present(p.program))
            peers.push_back(&p);
    for (const Peer* p : peers)
        std::printf(" %14s", p->name);
    std::printf("\n");

    bool met = true;
    std::vector<Row> rows;
    const std::array<std::pair<std::uint32_t, std::uint32_t>, 2> sizes{{{1920, 1080}, {3840, 2160}}};
    for (const auto& [width, height] : sizes) {
        double base = 0, baseCpu = 0;
        for (const KindRecipe& recipe : kKinds) {
            const std::string in = (dir / "in.xwd").string();
            writeFile(in, dumpBytes(recipe, width, height));
            Row row{recipe.name, width, height};
            row.inputMb = static_cast<double>(fs::file_size(in)) / 1e6;
            // Warm the page cache and check that both work.
            if (fnRastrex(in.c_str(), out.c_str()) != RASTREX_OK || !floorConvert(in.c_str(), floorOut.c_str()) ||
                fs::file_size(out) != fs::file_size(floorOut)) {
                std::printf("%s: fnRastrex or the floor failed\n", recipe.name);
                return 1;
            }
            std::vector<double> lib, floor, cpu, floorCpu, process;
            std::vector<std::vector<double>> peer(peers.size());
            // Smaller pictures get more runs, as many as fit the time of the
            // largest one's: their few milliseconds vary more from run to run.
            const int sizeRuns = runs * static_cast<int>(std::uint64_t{3840} * 2160 / (std::uint64_t{width} * height));
            // Strictly alternating, so that each follows the other: here a
            // run that follows one of its own kind, replacing the bitmap just
            // written, can take a fifth longer.
            for (int i = 0; i < sizeRuns; ++i) {
                const double cpuStart = selfCpuSeconds();
                const auto a = timed([&] { return fnRastrex(in.c_str(), out.c_str()) == RASTREX_OK; });
                cpu.push_back(selfCpuSeconds() - cpuStart);
                const double floorStart = selfCpuSeconds();
                const auto b = timed([&] { return floorConvert(in.c_str(), floorOut.c_str()); });
                floorCpu.push_back(selfCpuSeconds() - floorStart);
                if (!a || !b)
                    return 1;
                lib.push_back(*a);
                floor.push_back(*b);
                if (i >= kPeerRuns)
                    continue;
                const ChildRun ours = measured({self(), "--convert", in, out});
                if (!ours.ok())
                    return 1;
                process.push_back(ours.seconds);
                row.peakMb = std::max(row.peakMb, ours.peakMb);
                for (std::size_t p = 0; p < peers.size(); ++p) {
                    const ChildRun r = measured(peers[p]->argv(in, peerOut));
                    if (r.ok())
                        peer[p].push_back(r.seconds);
                }
            }
            row.lib = median(lib);
            row.floor = median(floor);
            row.libCpu = median(cpu);
            const double cpuRatio = row.libCpu / median(floorCpu);
            if (base == 0) {
                base = row.lib;
                baseCpu = row.libCpu;
            }
            const double ratio = row.lib / row.floor, vs32 = row.lib / base;
            const double own = median(process);
            std::printf("%-22s %4ux%-4u %8.2f %8.2f %6.2f %6.2f %8.2f %6.2f %7.1f %7.2f", recipe.name, width,
                        height, row.lib * 1e3, row.floor * 1e3, ratio, cpuRatio, vs32, row.libCpu / baseCpu,
                        row.peakMb, own * 1e3);
            for (std::size_t p = 0; p < peers.size(); ++p) {
                if (peer[p].size() == static_cast<std::size_t>(std::min(runs, kPeerRuns)))
                    std::printf(" %13.1fx", median(peer[p]) / own);
                else
                    std::printf(" %14s", "failed");
            }
            std::printf("\n");
            std::fflush(stdout);
            if (ratio > kFloorTarget || (width == 3840 && vs32 > kKindTarget))
                met = false;
            rows.push_back(row);
        }
    }
    printLoad("at the end");
    std::printf("Targets (every kind <= %.2fx its floor; at 3840x2160 <= %.2fx the 32-bit time): %s\n",
                kFloorTarget, kKindTarget, met ? "met" : "MISSED");
    return 0;
}

// Replacing an existing bitmap against writing a new one, on a disk file
// system: the file system flushes the new file's data before a rename over
// an existing one (ext4 does, unless mounted noauto_da_alloc), which the
// library keeps: a replaced bitmap is never left empty by a crash.
int replaceBenchmark(int runs)
{
    fs::path base = fs::current_path();
    if (const char* d = std::getenv("RASTREX_BENCH_DISK_DIR"))
        base = d;
    setenv("TMPDIR", base.c_str(), 1);
    TempDir dir;
    struct statfs sf {};
    const bool ext4 = statfs(dir.path().c_str(), &sf) == 0 && sf.f_type == 0xEF53;
    std::printf("\nReplacing a bitmap against writing a new one, in %s (%s), median of %d interleaved runs\n",
                dir.path().c_str(), ext4 ? "ext4" : "not ext4", runs);
    printLoad("at the start");
    std::printf("%-22s %9s %10s %10s %6s\n", "kind", "size", "new ms", "replace ms", "ratio");
    for (const auto& [width, height] : {std::pair{1920u, 1080u}, std::pair{3840u, 2160u}}) {
        const std::string in = (dir / "in.xwd").string();
        const std::string fresh = (dir / "new.bmp").string();
        const std::string old = (dir / "old.bmp").string();
        writeFile(in, dumpBytes(kKinds[0], width, height));
        if (fnRastrex(in.c_str(), old.c_str()) != RASTREX_OK)
            return 1;
        std::vector<double> made, replaced;
        for (int i = 0; i < runs; ++i) {
            fs::remove(fresh);
            sync();
            const auto a = timed([&] { return fnRastrex(in.c_str(), fresh.c_str()) == RASTREX_OK; });
            sync();
            const auto b = timed([&] { return fnRastrex(in.c_str(), old.c_str()) == RASTREX_OK; });
            if (!a || !b)
                return 1;
            made.push_back(*a);
            replaced.push_back(*b);
        }
        std::printf("%-22s %4ux%-4u %10.2f %10.2f %6.2f\n", kKinds[0].name, width, height,
                    median(made) * 1e3, median(replaced) * 1e3, median(replaced) / median(made));
    }
    printLoad("at the end");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--measure") == 0)
        return measure(argv[2], argv + 3);
    if (argc == 4 && std::strcmp(argv[1], "--convert") == 0)
        return fnRastrex(argv[2], argv[3]) == RASTREX_OK ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "--floor") == 0)
        return floorConvert(argv[2], argv[3]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--dumps") == 0) {
        // The dumps alone, for timing other programs on them.
        for (const KindRecipe& recipe : kKinds) {
            std::string name = recipe.name;
            std::replace(name.begin(), name.end(), ' ', '-');
            writeFile(fs::path(argv[2]) / (name + ".xwd"), dumpBytes(recipe, 3840, 2160));
        }
        return 0;
    }
    int runs = kDefaultRuns;
    if (argc == 2 && std::atoi(argv[1]) > 0)
        runs = std::atoi(argv[1]);
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [RUNS] | --dumps DIR\n", argv[0]);
        return 2;
    }
    const int result = benchmark(runs);
    if (result != 0 || std::getenv("RASTREX_BENCH_NO_PEERS") != nullptr)
        return result;
    return replaceBenchmark(runs);
}
