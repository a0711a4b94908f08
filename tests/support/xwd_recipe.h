// Builds X Window dumps and reads bitmaps for tests, from short readable
// recipes: header words, a window name, colour entries and raw pixel bytes.
#pragma once

#include <array>
#include <cctype>
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

#if defined(_WIN32)
#include <windows.h>
#endif

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
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
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

// Describes the layout of a dump of any kind, for building one from pixel
// values. Words not named here keep canonicalDump's values.
struct DumpKind {
    std::uint32_t format = 2;  // 0 XYBitmap, 1 XYPixmap, 2 ZPixmap
    std::uint32_t depth = 24;
    std::uint32_t bitsPerPixel = 32;  // ZPixmap only; XY formats store 1
    bool msbByteFirst = false;
    bool msbBitFirst = false;
    std::uint32_t unitBits = 32;  // bitmap unit of 1-bit data
    std::uint32_t visual = 4;     // 0 StaticGray ... 5 DirectColor
    std::uint32_t masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    std::uint32_t extraRowBytes = 0;  // bytes of padding beyond the rounded row
    std::uint32_t xOffset = 0;
};

// A ZPixmap kind: bits per pixel, depth, byte order, visual class and the
// red, green and blue masks.
inline DumpKind zPixmap(std::uint32_t bpp, std::uint32_t depth, bool msb, std::uint32_t visual,
                        std::array<std::uint32_t, 3> masks = {0, 0, 0})
{
    DumpKind k;
    k.format = 2;
    k.bitsPerPixel = bpp;
    k.depth = depth;
    k.msbByteFirst = msb;
    k.visual = visual;
    for (std::size_t c = 0; c < masks.size(); ++c)
        k.masks[c] = masks[c];
    return k;
}

// Pixel area bytes for `values` (row-major, top row first) laid out as `k`
// says. 1-bit data is built as whole units: the unit's integer gets the
// row's bits in the bitmap bit order, then goes out in the byte order.
inline Bytes packPixels(const DumpKind& k, std::uint32_t width, std::uint32_t height,
                        const std::vector<std::uint32_t>& values, std::uint32_t& bytesPerLine)
{
    const bool z = k.format == 2;
    const std::uint32_t bpp = z ? k.bitsPerPixel : 1;
    const std::uint32_t planes = z ? 1 : k.depth;
    const std::uint64_t bits = std::uint64_t{k.xOffset + width} * bpp;
    const std::uint32_t pad = bpp == 1 ? k.unitBits : 8;
    bytesPerLine = static_cast<std::uint32_t>((bits + pad - 1) / pad * pad / 8) + k.extraRowBytes;
    Bytes area(std::size_t{bytesPerLine} * height * planes, 0);
    auto putUnits = [&](std::size_t rowAt, const std::vector<bool>& rowBits) {
        const std::uint32_t unitBytes = k.unitBits / 8;
        for (std::size_t u = 0; u * k.unitBits < rowBits.size(); ++u) {
            std::uint64_t unit = 0;
            for (std::uint32_t i = 0; i < k.unitBits && u * k.unitBits + i < rowBits.size(); ++i)
                if (rowBits[u * k.unitBits + i])
                    unit |= std::uint64_t{1} << (k.msbBitFirst ? k.unitBits - 1 - i : i);
            for (std::uint32_t b = 0; b < unitBytes; ++b) {
                const std::uint32_t shift = k.msbByteFirst ? 8 * (unitBytes - 1 - b) : 8 * b;
                area[rowAt + u * unitBytes + b] = static_cast<std::uint8_t>(unit >> shift);
            }
        }
    };
    for (std::uint32_t p = 0; p < planes; ++p)
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::size_t rowAt = (std::size_t{p} * height + y) * bytesPerLine;
            if (bpp == 1) {
                std::vector<bool> rowBits(k.xOffset + width, false);
                const std::uint32_t bit = z ? 0 : k.depth - 1 - p;  // planes: most significant first
                for (std::uint32_t x = 0; x < width; ++x)
                    rowBits[k.xOffset + x] = (values[std::size_t{y} * width + x] >> bit) & 1;
                putUnits(rowAt, rowBits);
                continue;
            }
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint32_t v = values[std::size_t{y} * width + x];
                const std::size_t n = std::size_t{k.xOffset} + x;
                if (bpp == 4) {
                    std::uint8_t& b = area[rowAt + n / 2];
                    const bool high = (n % 2 == 0) == k.msbByteFirst;
                    b = static_cast<std::uint8_t>(high ? (b & 0x0F) | (v << 4) : (b & 0xF0) | (v & 0x0F));
                    continue;
                }
                const std::uint32_t bytes = bpp / 8;
                for (std::uint32_t b = 0; b < bytes; ++b) {
                    const std::uint32_t shift = k.msbByteFirst ? 8 * (bytes - 1 - b) : 8 * b;
                    area[rowAt + n * bytes + b] = static_cast<std::uint8_t>(v >> shift);
                }
            }
        }
    return area;
}

// One colour entry: pixel value, 16-bit intensities, flags (all three
// channels) and a pad byte.
inline void appendColourEntry(Bytes& map, std::uint32_t pixel, std::uint16_t r, std::uint16_t g,
                              std::uint16_t b)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        map.push_back(static_cast<std::uint8_t>(pixel >> shift));
    for (std::uint16_t v : {r, g, b}) {
        map.push_back(static_cast<std::uint8_t>(v >> 8));
        map.push_back(static_cast<std::uint8_t>(v));
    }
    map.push_back(7);
    map.push_back(0);
}

// A dump of kind `k` holding `values`, with `colourMap` (12-byte entries)
// stored after the name and word 19 counting them.
inline XwdRecipe kindDump(const DumpKind& k, std::uint32_t width, std::uint32_t height,
                          const std::vector<std::uint32_t>& values, Bytes colourMap)
{
    XwdRecipe r = canonicalDump(width, height, [](auto, auto) { return Rgb{}; });
    std::uint32_t bytesPerLine = 0;
    r.pixels = packPixels(k, width, height, values, bytesPerLine);
    r.colormap = std::move(colourMap);
    r.word(2) = k.format;
    r.word(3) = k.depth;
    r.word(6) = k.xOffset;
    r.word(7) = k.msbByteFirst ? 1 : 0;
    r.word(8) = k.unitBits;
    r.word(9) = k.msbBitFirst ? 1 : 0;
    r.word(11) = k.format == 2 ? k.bitsPerPixel : 1;
    r.word(12) = bytesPerLine;
    r.word(13) = k.visual;
    r.word(14) = k.masks[0];
    r.word(15) = k.masks[1];
    r.word(16) = k.masks[2];
    r.word(19) = static_cast<std::uint32_t>(r.colormap.size() / 12);
    return r;
}

// Decodes a binary portable pixmap (P6, maxval 255), top row first.
inline Bitmap parsePpm(const Bytes& b)
{
    std::size_t at = 0;
    auto token = [&]() {
        while (at < b.size() && (isspace(b[at]) || b[at] == '#')) {
            if (b[at] == '#')
                while (at < b.size() && b[at] != '\n')
                    ++at;
            else
                ++at;
        }
        std::string t;
        while (at < b.size() && !isspace(b[at]))
            t.push_back(static_cast<char>(b[at++]));
        return t;
    };
    if (token() != "P6")
        throw std::runtime_error("not a P6 pixmap");
    Bitmap pic;
    pic.width = static_cast<std::uint32_t>(std::stoul(token()));
    pic.height = static_cast<std::uint32_t>(std::stoul(token()));
    if (token() != "255")
        throw std::runtime_error("pixmap maxval is not 255");
    ++at;  // the one whitespace byte before the samples
    const std::size_t n = std::size_t{pic.width} * pic.height;
    if (b.size() - at < 3 * n)
        throw std::runtime_error("pixmap too short");
    for (std::size_t i = 0; i < n; ++i, at += 3)
        pic.pixels.push_back({b[at], b[at + 1], b[at + 2]});
    return pic;
}

// The 8-bit form of a path that the library's file-open call takes: the
// path's bytes here, the ANSI code page on Windows. Throws when the code page
// cannot spell the path.
inline std::string nativePath(const std::filesystem::path& p)
{
#if defined(_WIN32)
    const std::wstring& w = p.native();
    if (w.empty())
        return {};
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(),
                                      static_cast<int>(w.size()), nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                        out.data(), n, nullptr, &lossy);
    if (n == 0 || lossy)
        throw std::runtime_error("the ANSI code page cannot spell this path");
    return out;
#else
    return p.native();
#endif
}

// A fresh folder under the system's temporary folder, removed afterwards.
// `p` in a form the file functions take at any length: on Windows an
// absolute path with a drive letter gets the \\?\ prefix (no MAX_PATH
// limit); elsewhere `p` itself.
inline std::filesystem::path anyLength(const std::filesystem::path& p)
{
#if defined(_WIN32)
    const std::wstring w = std::filesystem::path(p).make_preferred().native();
    if (w.size() < 3 || w[1] != L':' || w[2] != L'\\')
        return p;
    return std::filesystem::path(L"\\\\?\\" + w);
#else
    return p;
#endif
}

// The names in folder `dir` (not "." or ".."), at any path length.
inline std::vector<std::filesystem::path> namesIn(const std::filesystem::path& dir)
{
    std::vector<std::filesystem::path> names;
#if defined(_WIN32)
    // The runtime's folder listing stops at MAX_PATH even in the \\?\ form.
    WIN32_FIND_DATAW found{};
    const HANDLE h = FindFirstFileW((anyLength(dir) / L"*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot list " + dir.string());
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.emplace_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
#else
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename());
#endif
    return names;
}

// Removes `p` and everything under it, at any path length; links are
// removed, not followed.
inline void removeAll(const std::filesystem::path& p)
{
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(anyLength(p), ec)))
        for (const std::filesystem::path& name : namesIn(p))
            removeAll(p / name);
    std::filesystem::remove(anyLength(p), ec);
}

class TempDir {
public:
    TempDir()
    {
#if defined(_WIN32)
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (unsigned attempt = GetCurrentProcessId() * 7919u + GetTickCount();; ++attempt) {
            std::filesystem::path p = base / ("rastrex-" + std::to_string(attempt));
            if (CreateDirectoryW(p.c_str(), nullptr)) {
                path_ = p;
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                throw std::runtime_error("cannot create a temporary folder");
        }
#else
        std::string tmpl = (std::filesystem::temp_directory_path() / "rastrex-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
#endif
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        try {
            removeAll(path_);
        } catch (const std::exception&) {
            // a folder that cannot be listed stays
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace rastrex::test
