// The dumps the benchmarks time: one picture in every common layout.
#pragma once

#include <cstdint>
#include <vector>

#include "xwd_recipe.h"

namespace rastrex::bench {

using namespace rastrex::test;

struct KindRecipe {
    const char* name;
    DumpKind kind;
    std::uint32_t entries;  // colour entries, PseudoColor or StaticGray palettes
};

inline DumpKind oneBit()
{
    DumpKind k = zPixmap(1, 1, false, 0, {0, 0, 0});
    k.unitBits = 32;
    return k;
}

inline const KindRecipe kKinds[] = {
    {"32-bit TrueColor LSB", zPixmap(32, 24, false, 4, {0xFF0000, 0xFF00, 0xFF}), 0},
    {"24-bit TrueColor MSB", zPixmap(24, 24, true, 4, {0xFF0000, 0xFF00, 0xFF}), 0},
    {"16-bit 565 LSB", zPixmap(16, 16, false, 4, {0xF800, 0x07E0, 0x001F}), 0},
    {"16-bit 565 MSB", zPixmap(16, 16, true, 4, {0xF800, 0x07E0, 0x001F}), 0},
    {"15-bit 555 LSB", zPixmap(16, 15, false, 4, {0x7C00, 0x03E0, 0x001F}), 0},
    {"15-bit 555 MSB", zPixmap(16, 15, true, 4, {0x7C00, 0x03E0, 0x001F}), 0},
    {"12-bit 444 TrueColor", zPixmap(16, 12, false, 4, {0xF00, 0x0F0, 0x00F}), 0},
    {"8-bit PseudoColor", zPixmap(8, 8, false, 3, {0, 0, 0}), 256},
    {"1-bit StaticGray", oneBit(), 0},
};

// The pixel value showing pattern colour `c` in kind `k`.
inline std::uint32_t valueOf(const KindRecipe& recipe, Rgb c, std::uint32_t x, std::uint32_t y)
{
    const DumpKind& k = recipe.kind;
    if (k.visual < 4)
        return k.depth == 1 ? ((x / 7 + y / 5) & 1) : (c.r ^ c.g ^ (x >> 3)) & 0xFF;
    std::uint32_t v = 0;
    const std::uint8_t level[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t m = k.masks[i];
        const int shift = __builtin_ctz(m), width = __builtin_popcount(m);
        v |= (std::uint32_t{level[i]} >> (8 - width) << shift) & m;
    }
    return v;
}

inline Bytes dumpBytes(const KindRecipe& recipe, std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint32_t> values(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            values[std::size_t{y} * width + x] = valueOf(recipe, patternPixel(x, y), x, y);
    Bytes map;
    for (std::uint32_t i = 0; i < recipe.entries; ++i)
        appendColourEntry(map, i, static_cast<std::uint16_t>(i * 257),
                          static_cast<std::uint16_t>((255 - i) * 257),
                          static_cast<std::uint16_t>((i * 7 % 256) * 257));
    return kindDump(recipe.kind, width, height, values, map).bytes();
}

}  // namespace rastrex::bench
