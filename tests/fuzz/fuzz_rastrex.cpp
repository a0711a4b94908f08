// libFuzzer target for fnRastrex. Each input is a dump, written to a file in
// a folder of its own (in memory under /dev/shm where there is one). Its
// last byte also chooses where the bitmap goes:
//   0  a new file beside the dump;
//   1  over an existing bitmap;
//   2  over the dump itself (the same path);
//   3  over an existing bitmap, with writes failing at a file-size limit
//      below the bitmap's size, so the new file must be removed and the old
//      bitmap kept;
//   4  over a symbolic link to the dump, which is replaced, the dump kept.
// Whatever the input, a call must return one of the result codes; a written
// bitmap must have exactly the size its header gives for its dimensions; a
// failed call must leave every file as it was; and no other file may remain
// in the folder. The dump's thumbnail is made too, from the file and from
// the bytes in memory (read by offset, or from the front only, as the
// third-last byte chooses), in a box the fourth-last byte sizes: it must
// fit the box and succeed or fail as the conversion does.
#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "byte_order.h"
#include "rastrex.h"
#include "thumbnail.h"

namespace {

// Dumps that describe more pixels than this are skipped: the library would
// write every one of them (black past the end of the data), which says
// nothing new and makes runs slow. This caps the harness, not the library.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 18;

enum class Target { kNew, kOldBitmap, kDumpItself, kFailingWrite, kLinkToDump, kCount };

using Bytes = std::vector<std::uint8_t>;
const Bytes kOldBitmap = {'o', 'l', 'd', ' ', 'b', 'i', 't', 'm', 'a', 'p'};

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A folder for one input, removed with its files afterwards.
struct Folder {
    std::string path, dump, bitmap;

    Folder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
        std::string tmpl = base + "/rastrex-fuzz-XXXXXX";
        if (mkdtemp(tmpl.data()) == nullptr)
            fail("mkdtemp failed");
        path = tmpl;
        dump = path + "/in.xwd";
        bitmap = path + "/out.bmp";
    }

    ~Folder()
    {
        unlink(dump.c_str());
        unlink(bitmap.c_str());
        rmdir(path.c_str());
    }

    std::set<std::string> names() const
    {
        std::set<std::string> out;
        if (DIR* d = opendir(path.c_str())) {
            while (const dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    out.insert(e->d_name);
            closedir(d);
        }
        return out;
    }
};

void put(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!f)
        fail("cannot write a file of the harness");
}

Bytes contents(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool isLinkToDump(const std::string& path)
{
    char target[16];
    const ssize_t n = readlink(path.c_str(), target, sizeof target);
    return n == 6 && std::string(target, 6) == "in.xwd";
}

// The input's bytes, by offset or from the front.
class MemorySource : public rastrex::ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size, bool seekable)
        : data_(data), size_(size), seekable_(seekable) {}
    std::size_t read(unsigned char* into, std::size_t n) override
    {
        const auto got = static_cast<std::size_t>(readAt(at_, into, n));
        at_ += got;
        return got;
    }
    std::optional<std::uint64_t> size() override
    {
        return seekable_ ? std::optional<std::uint64_t>(size_) : std::nullopt;
    }
    std::uint64_t readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n) override
    {
        if (offset >= size_)
            return 0;
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
        std::memcpy(into, data_ + offset, got);
        return got;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool seekable_;
    std::uint64_t at_ = 0;
};

// A thumbnail that came out must fit the box and hold its pixels.
void checkThumbnail(std::int32_t result, const rastrex::Thumbnail& t, std::uint32_t box)
{
    if (result == RASTREX_OK) {
        if (t.width == 0 || t.height == 0 || t.width > box || t.height > box ||
            t.bgr.size() != std::size_t{t.width} * t.height * 3)
            fail("a thumbnail that does not fit its box");
    } else if (result != RASTREX_ERR_READ_INPUT && result != RASTREX_ERR_NO_MEMORY &&
               result != rastrex::kThumbnailTooLittle) {
        fail("a thumbnail failed with a result that is not a dump's");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t width = 0, height = 0;
    if (size >= 24) {
        width = rastrex::loadBe32(data + 16);
        height = rastrex::loadBe32(data + 20);
        if (width * height > kMaxPixels)
            return -1;  // not added to the corpus
    }
    const std::uint64_t bitmapBytes = 54 + (3 * width + width % 4) * height;
    const Target target =
        size == 0 ? Target::kNew
                  : static_cast<Target>(data[size - 1] % static_cast<int>(Target::kCount));

    // A write past the file-size limit fails with EFBIG instead of ending
    // the process.
    static const bool ignoring = signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignoring;
    const Folder dir;
    put(dir.dump, data, size);
    if (target == Target::kOldBitmap || target == Target::kFailingWrite)
        put(dir.bitmap, kOldBitmap.data(), kOldBitmap.size());
    if (target == Target::kLinkToDump && symlink("in.xwd", dir.bitmap.c_str()) != 0)
        fail("symlink failed");
    const std::string& bitmap = target == Target::kDumpItself ? dir.dump : dir.bitmap;

    const std::uint32_t box = size >= 4 ? data[size - 4] % 64 + 1 : 16;
    rastrex::Thumbnail thumb;
    int openError = 0;
    const std::int32_t thumbResult = rastrex::makeThumbnail(dir.dump.c_str(), box, thumb, openError);
    checkThumbnail(thumbResult, thumb, box);
    {
        MemorySource source(data, size, size >= 3 && data[size - 3] % 2 == 0);
        rastrex::InputFile in(source);
        rastrex::Thumbnail fromMemory;
        checkThumbnail(rastrex::makeThumbnail(in, box, fromMemory), fromMemory, box);
    }

    rlimit before {};
    if (target == Target::kFailingWrite) {
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limited = before;
        limited.rlim_cur = size >= 2 ? data[size - 2] * 64 % bitmapBytes : 0;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    const std::int32_t result = fnRastrex(dir.dump.c_str(), bitmap.c_str());
    if (target == Target::kFailingWrite)
        setrlimit(RLIMIT_FSIZE, &before);

    std::set<std::string> expected = {"in.xwd"};
    switch (result) {
    case RASTREX_OK: {
        if (target == Target::kFailingWrite)
            fail("a bitmap was written past the file-size limit");
        struct stat st {};
        if (lstat(bitmap.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            fail("the bitmap is not a regular file");
        if (static_cast<std::uint64_t>(st.st_size) != bitmapBytes) {
            std::fprintf(stderr, "bitmap of %lld bytes for %llu x %llu\n",
                         static_cast<long long>(st.st_size),
                         static_cast<unsigned long long>(width),
                         static_cast<unsigned long long>(height));
            std::abort();
        }
        if (target != Target::kDumpItself) {
            expected.insert("out.bmp");
            if (contents(dir.dump) != Bytes(data, data + size))
                fail("the dump changed");
        }
        break;
    }
    case RASTREX_ERR_WRITE_OUTPUT:
        if (target != Target::kFailingWrite)
            fail("the folder's files cannot be written");
        [[fallthrough]];
    case RASTREX_ERR_READ_INPUT:
    case RASTREX_ERR_NO_MEMORY:
        if (contents(dir.dump) != Bytes(data, data + size))
            fail("the dump changed");
        if (target == Target::kOldBitmap || target == Target::kFailingWrite) {
            expected.insert("out.bmp");
            if (contents(dir.bitmap) != kOldBitmap)
                fail("the old bitmap changed");
        }
        if (target == Target::kLinkToDump) {
            expected.insert("out.bmp");
            if (!isLinkToDump(dir.bitmap))
                fail("the link to the dump changed");
        }
        break;
    case RASTREX_ERR_OPEN_INPUT:
        fail("the dump cannot be opened");
    default:
        std::fprintf(stderr, "result %d is not a result code\n", result);
        std::abort();
    }
    // A dump holding under 1% of its pixels is converted by the library but
    // refused by the front ends; its thumbnail is refused with them.
    const bool refusedAsTooLittle = thumbResult == rastrex::kThumbnailTooLittle && result == RASTREX_OK;
    if (target != Target::kFailingWrite && result != RASTREX_ERR_WRITE_OUTPUT && thumbResult != result &&
        !refusedAsTooLittle) {
        std::fprintf(stderr, "thumbnail result %d, conversion result %d\n", thumbResult, result);
        std::abort();
    }
    if (dir.names() != expected)
        fail("the folder holds other files than the dump and its bitmap");
    return 0;
}
