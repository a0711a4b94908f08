// rastrex-thumbnailer -s SIZE INPUT OUTPUT: writes the thumbnail of the dump
// INPUT, at most SIZE pixels wide and high, as a PNG file at OUTPUT, as the
// freedesktop.org thumbnailers of file managers are run. The dump is read
// and shrunk before OUTPUT is touched; OUTPUT is then written in place (the
// thumbnail services make it and read it back through the file they hold
// open, so it must stay the same file), and removed when the write fails.
// Exit status: 0 written, 1 the dump or the PNG failed (one line on
// standard error says why), 2 a wrong command line.
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dump_texts.h"
#include "rastrex.h"
#include "thumbnail.h"

namespace {

// Thumbnails are asked for at 128, 256, 512 and 1024 pixels.
constexpr unsigned long kMaxSize = 4096;

// The help on standard output; with `why`, on standard error after it.
int usage(const char* why)
{
    if (why != nullptr)
        std::fprintf(stderr, "rastrex-thumbnailer: %s\n", why);
    std::fprintf(why != nullptr ? stderr : stdout,
                 "usage: rastrex-thumbnailer -s SIZE INPUT OUTPUT\n"
                 "  writes the thumbnail of the X Window dump INPUT, at most SIZE (1 to %lu)\n"
                 "  pixels wide and high, as a PNG file at OUTPUT\n",
                 kMaxSize);
    return why != nullptr ? 2 : 0;
}

std::string why(int error) { return rastrex::systemErrorText(error, true); }

// Writes `t` as an 8-bit RGB PNG to `file`, through `row` (3 bytes a
// pixel of a row); false with errno's value in `error` (0 when libpng
// failed on its own). Nothing that needs destroying lives across setjmp.
bool writePng(std::FILE* file, const rastrex::Thumbnail& t, png_byte* row, int& error)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        error = ENOMEM;
        return false;
    }
    const std::size_t rowBytes = std::size_t{t.width} * 3;
    if (setjmp(png_jmpbuf(png))) {
        error = errno;
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, t.width, t.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < t.height; ++y) {
        const unsigned char* bgr = t.bgr.data() + std::size_t{y} * rowBytes;
        for (std::size_t i = 0; i < rowBytes; i += 3) {
            row[i] = bgr[i + 2];
            row[i + 1] = bgr[i + 1];
            row[i + 2] = bgr[i];
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes the PNG at `path`, removing what was written when a write fails.
bool savePng(const std::string& path, const rastrex::Thumbnail& t, int& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = errno;
        return false;
    }
    errno = 0;
    std::vector<png_byte> row(std::size_t{t.width} * 3);
    bool ok = writePng(file, t, row.data(), error);
    if (std::fflush(file) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (!ok)
        unlink(path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long size = 0;
    int opt = 0;
    while ((opt = getopt(argc, argv, "s:h")) != -1) {
        if (opt == 'h')
            return usage(nullptr);
        if (opt != 's')
            return usage("unknown option");
        char* end = nullptr;
        errno = 0;
        size = std::strtoul(optarg, &end, 10);
        if (errno != 0 || end == optarg || *end != '\0' || size == 0 || size > kMaxSize)
            return usage("SIZE must be a whole number from 1 to 4096");
    }
    if (size == 0)
        return usage("no -s SIZE");
    if (argc - optind != 2)
        return usage("INPUT and OUTPUT are needed, and nothing more");
    const char* input = argv[optind];
    const std::string output = argv[optind + 1];

    rastrex::Thumbnail thumb;
    int error = 0;
    rastrex::HeaderRefusal refusal;
    const std::int32_t result =
        rastrex::makeThumbnail(input, static_cast<std::uint32_t>(size), thumb, error, &refusal);
    if (result != RASTREX_OK) {
        const rastrex::SystemFailure cause{rastrex::classifySystemError(error), error};
        const std::string text = result == rastrex::kThumbnailTooLittle
                                     ? "the dump ends early and holds less than 1% of the pixels its header announces"
                                     : rastrex::resultText(result, cause, refusal);
        std::fprintf(stderr, "rastrex-thumbnailer: %s: %s\n", input, text.c_str());
        return 1;
    }
    error = 0;
    if (!savePng(output, thumb, error)) {
        std::fprintf(stderr, "rastrex-thumbnailer: cannot write %s: %s\n", output.c_str(),
                     error != 0 ? why(error).c_str() : "the PNG library failed");
        return 1;
    }
    return 0;
}
