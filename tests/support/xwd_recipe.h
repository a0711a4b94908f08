// Builds X Window dumps and reads bitmaps for tests, from short readable
// recipes: header words, a window name, colour entries and raw pixel bytes.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace rastrex::test {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct XwdRecipe {
    std::array<std::uint32_t, 25> words{};
    std::string name = "test";           // written with its terminating zero
    std::optional<std::uint32_t> headerSize;  // default: 100 + name + 1
    Bytes colormap;                        // raw colour entries, 12 bytes each
    Bytes pixels;                          // raw pixel area

    std::uint32_t& word(int i) { return words[static_cast<std::size_t>(i)]; }

    Bytes bytes() const
    {
        Bytes out;
        std::array<std::uint32_t, 25> w = words;
        w[0] = headerSize.value_or(static_cast<std::uint32_t>(100 + name.size() + 1));
        for (std::uint32_t v : w)
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back(static_cast<std::uint8_t>(v >> shift));
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
        out.insert(out.end(), colormap.begin(), colormap.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// The kind of dump a 24-bit X server on a little-endian machine writes:
// ZPixmap, 32 bits a pixel, least significant byte first, TrueColor, and a
// colour map of 256 entries that maps each value to itself.
inline XwdRecipe canonicalDump(std::uint32_t width, std::uint32_t height,
                               const std::function<Rgb(std::uint32_t x, std::uint32_t y)>& pixel)
{
    XwdRecipe r;
    r.word(1) = 7;          // file version
    r.word(2) = 2;          // ZPixmap
    r.word(3) = 24;         // depth
    r.word(4) = width;
    r.word(5) = height;
    r.word(7) = 0;          // LSBFirst
    r.word(8) = 32;         // bitmap unit
    r.word(9) = 0;          // LSBFirst
    r.word(10) = 32;        // bitmap pad
    r.word(11) = 32;        // bits per pixel
    r.word(12) = width * 4; // bytes per line
    r.word(13) = 4;         // TrueColor
    r.word(14) = 0xFF0000;
    r.word(15) = 0x00FF00;
    r.word(16) = 0x0000FF;
    r.word(17) = 8;
    r.word(18) = 256;
    r.word(19) = 256;
    r.word(20) = width;
    r.word(21) = height;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint8_t v = static_cast<std::uint8_t>(i);
        r.colormap.insert(r.colormap.end(), {0, 0, 0, v, v, v, v, v, v, v, 7, 0});
    }
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            r.pixels.insert(r.pixels.end(), {c.b, c.g, c.r, 0xFF});
        }
    return r;
}

// A picture whose every pixel differs from its neighbours.
inline Rgb patternPixel(std::uint32_t x, std::uint32_t y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11 + 1),
            static_cast<std::uint8_t>(x * 5 + y * 71 + 2),
            static_cast<std::uint8_t>(x * 13 + y * 3 + 3)};
}

inline void writeFile(const std::filesystem::path& p, const Bytes& data)
{
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f)
        throw std::runtime_error("cannot write " + p.string());
}

inline Bytes readFile(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A 24-bit bottom-up bitmap decoded back into rows, top row first.
struct Bitmap {
    std::uint32_t width = 0, height = 0;
    std::vector<Rgb> pixels;  // row-major, top row first
    Rgb at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t{y} * width + x]; }
};

inline std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Decodes what fnRastrex writes; throws when the layout is not exactly that.
inline Bitmap parseBmp(const Bytes& b)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        throw std::runtime_error("not a bitmap");
    Bitmap bmp;
    bmp.width = le32(b, 18);
    bmp.height = le32(b, 22);
    const std::size_t row = 3 * std::size_t{bmp.width} + bmp.width % 4;
    if (le32(b, 2) != b.size() || b.size() != 54 + row * bmp.height)
        throw std::runtime_error("bitmap size does not match its header");
    bmp.pixels.resize(std::size_t{bmp.width} * bmp.height);
    for (std::uint32_t y = 0; y < bmp.height; ++y) {
        const std::size_t at = 54 + row * (bmp.height - 1 - y);
        for (std::uint32_t x = 0; x < bmp.width; ++x)
            bmp.pixels[std::size_t{y} * bmp.width + x] = {b[at + 3 * x + 2], b[at + 3 * x + 1],
                                                          b[at + 3 * x]};
    }
    return bmp;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "rastrex-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace rastrex::test
