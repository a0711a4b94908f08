// libFuzzer target for fnRastrex. Each input is a dump; it is handed to the
// library through an in-memory file, and the bitmap goes to another, so a
// run touches no disk. One input in three names the dump's own file as the
// bitmap too, which makes the library read the whole pixel area before it
// writes (otherwise it reads rows while writing). Whatever the input, a call must return one of the
// result codes, and a written bitmap must have exactly the size its header
// gives for its dimensions.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rastrex.h"

namespace {

// Dumps that describe more pixels than this are skipped: the library would
// write every one of them (black past the end of the data), which says
// nothing new and makes runs slow. This caps the harness, not the library.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 18;

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
           (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

struct MemFile {
    int fd = -1;
    std::string path;

    explicit MemFile(const char* name)
    {
        fd = memfd_create(name, 0);
        if (fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path = "/proc/self/fd/" + std::to_string(fd);
    }
};

MemFile& input()
{
    static MemFile f("rastrex-fuzz-in");
    return f;
}

MemFile& output()
{
    static MemFile f("rastrex-fuzz-out");
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t width = 0, height = 0;
    if (size >= 24) {
        width = be32(data + 16);
        height = be32(data + 20);
        if (width * height > kMaxPixels)
            return -1;  // not added to the corpus
    }

    MemFile& in = input();
    MemFile& out = output();
    if (ftruncate(in.fd, 0) != 0 || pwrite(in.fd, data, size, 0) != static_cast<ssize_t>(size) ||
        ftruncate(out.fd, 0) != 0)
        std::abort();

    const bool samePath = size % 3 == 0;
    MemFile& bitmap = samePath ? in : out;
    const std::int32_t result = fnRastrex(in.path.c_str(), bitmap.path.c_str());
    switch (result) {
    case RASTREX_OK: {
        const std::uint64_t row = 3 * width + width % 4;
        const off_t written = lseek(bitmap.fd, 0, SEEK_END);
        if (static_cast<std::uint64_t>(written) != 54 + row * height) {
            std::fprintf(stderr, "bitmap of %lld bytes for %llu x %llu\n",
                         static_cast<long long>(written), static_cast<unsigned long long>(width),
                         static_cast<unsigned long long>(height));
            std::abort();
        }
        break;
    }
    case RASTREX_ERR_OPEN_INPUT:
    case RASTREX_ERR_WRITE_OUTPUT:
        std::fprintf(stderr, "in-memory files failed: %d\n", result);
        std::abort();
    case RASTREX_ERR_READ_INPUT:
    case RASTREX_ERR_NO_MEMORY:
        break;
    default:
        std::fprintf(stderr, "result %d is not a result code\n", result);
        std::abort();
    }
    return 0;
}
