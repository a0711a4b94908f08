// rastrex-thumbnailer run as a file manager runs it: the Exec line of
// rastrex.thumbnailer split into words, %s, %i and %o each replaced by one
// word, the program found on PATH. Its PNG, read back with libpng, is the
// library's bitmap shrunk by area; a dump it cannot read leaves no file and
// one line that says why.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "area_average.h"
#include "process_runner.h"
#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

// The words of the entry's Exec line with the codes replaced.
std::vector<std::string> execLine(const std::string& size, const fs::path& in, const fs::path& out)
{
    std::ifstream entry(RASTREX_THUMBNAILER_ENTRY);
    std::string line, exec;
    bool tryExec = false;
    while (std::getline(entry, line)) {
        if (line.rfind("Exec=", 0) == 0)
            exec = line.substr(5);
        tryExec |= line == "TryExec=rastrex-thumbnailer";
    }
    EXPECT_TRUE(tryExec);
    std::vector<std::string> words;
    std::istringstream split(exec);
    for (std::string w; split >> w;)
        words.push_back(w == "%s" ? size : w == "%i" ? in.string() : w == "%o" ? out.string() : w);
    return words;
}

// Runs `args` with the program's folder first on PATH; its exit status,
// standard error in `err`.
int run(const std::vector<std::string>& args, std::string& err)
{
    const std::string path = std::string(RASTREX_THUMBNAILER_DIR) + ":" + (getenv("PATH") ? getenv("PATH") : "");
    setenv("PATH", path.c_str(), 1);
    const Outcome o = runProgram(args);
    err = o.err;
    return o.status;
}

// An 8-bit RGB PNG, top row first.
Bitmap readPng(const fs::path& p)
{
    Bitmap b;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, p.c_str()))
        throw std::runtime_error("not a PNG: " + p.string());
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        throw std::runtime_error("PNG unreadable: " + p.string());
    b.width = image.width;
    b.height = image.height;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        b.pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return b;
}

TEST(Thumbnailer, WritesTheLibrarysBitmapShrunkAsPng)
{
    struct Case {
        const char* fixture;
        const char* size;
    } const cases[] = {
        {"xwd-root-d24", "256"}, {"xwd-root-xy-d16", "128"}, {"gm-mono", "64"}, {"xwd-window-d8", "1"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        // Names with a space and Japanese letters are single words all the same.
        const fs::path in = dir / "画面 1.xwd", out = dir / "サムネイル 1.png";
        fs::copy_file(fs::path(RASTREX_TEST_DATA_DIR) / (std::string(c.fixture) + ".xwd"), in,
                      fs::copy_options::overwrite_existing);
        std::string err;
        ASSERT_EQ(run(execLine(c.size, in, out), err), 0) << c.fixture << ": " << err;
        ASSERT_EQ(fnRastrex(in.c_str(), (dir / "full.bmp").c_str()), RASTREX_OK);
        const Bitmap want = areaAverage(parseBmp(readFile(dir / "full.bmp")), static_cast<std::uint32_t>(std::stoul(c.size)));
        EXPECT_EQ(compareWithin(want, readPng(out), 1), "") << c.fixture;
    }
}

// A dump of `side` x `side` 32-bit pixels without a colour map, holding
// `pixelBytes` bytes of white pixels after its 105 bytes of header and name.
Bytes claiming(std::uint32_t side, std::size_t pixelBytes)
{
    XwdRecipe r = canonicalDump(1, 1, [](auto, auto) { return Rgb{255, 255, 255}; });
    r.colormap.clear();
    r.word(19) = 0;
    r.word(4) = r.word(5) = side;
    r.word(12) = side * 4;
    r.pixels.assign(pixelBytes, 0xFF);
    return r.bytes();
}

TEST(Thumbnailer, ADumpItCannotReadLeavesNoFileAndSaysWhy)
{
    XwdRecipe header = canonicalDump(2, 2, patternPixel);
    header.pixels.clear();
    const Bytes noPixel = header.bytes();
    struct Case {
        std::string name;
        Bytes bytes;
        const char* says;
    } const cases[] = {
        {"text.xwd", Bytes(300, 'x'),
         "not converted: the header says a window name of 2021160980 bytes; at most 1048576 are read"},
        {"no-pixel.xwd", noPixel, "not converted: the file ends before its first whole pixel"},
        {"missing.xwd", {}, "cannot open the dump: no such file"},
        // 300 bytes claiming 30000 x 30000 pixels: the front ends convert
        // none such, and the file manager keeps the plain icon.
        {"claims.xwd", claiming(30000, 195), "holds less than 1% of the pixels its header announces"},
        {"under-1pc.xwd", claiming(100, 399), "holds less than 1% of the pixels its header announces"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        if (!c.bytes.empty())
            writeFile(dir / c.name, c.bytes);
        std::string err;
        EXPECT_EQ(run(execLine("128", dir / c.name, dir / "out.png"), err), 1) << c.name;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
    // 1% of a 100 x 100 picture still gives its thumbnail.
    writeFile(dir / "cut.xwd", claiming(100, 400));
    std::string err;
    EXPECT_EQ(run(execLine("128", dir / "cut.xwd", dir / "out.png"), err), 0) << err;
    EXPECT_EQ(readPng(dir / "out.png").width, 100u);
}

TEST(Thumbnailer, SizesFrom1To4096AreTaken)
{
    TempDir dir;
    fs::copy_file(fs::path(RASTREX_TEST_DATA_DIR) / "gm-mono.xwd", dir / "in.xwd");
    const struct {
        const char* size;
        int status;
    } cases[] = {{"0", 2}, {"1", 0}, {"4096", 0}, {"4097", 2}, {"12x", 2}};
    for (const auto& c : cases) {
        std::string err;
        EXPECT_EQ(run({"rastrex-thumbnailer", "-s", c.size, (dir / "in.xwd").string(), (dir / "out.png").string()}, err),
                  c.status)
            << c.size << ": " << err;
    }
}

}  // namespace
