// The wide part of a decoder's rows: the kernels it runs through the bulk of
// each row where the processor has them, widest first, before the plain
// code takes the rest. Chosen once, when the decoder is made, for the kind
// of rows it has and the row paths it may use; it holds those kernels'
// tables and no others.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "processor.h"
#include "row_kernels.h"

namespace rastrex {

// A value of `bits` bits scaled to 0..255, rounded to the nearest level.
inline constexpr std::uint8_t scaleToByte(std::uint64_t value, int bits)
{
    if (bits <= 0)
        return 0;
    const std::uint64_t max = (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// A channel of 16-bit pixels: its mask and its levels by field value.
struct FieldChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    const std::uint8_t* level = nullptr;  // 2^width of them
};

class RowPath {
public:
    // None: the plain code takes every pixel.
    RowPath() = default;

    // Colours are packed as blue | green << 8 | red << 16.
    // One plane of 1-bit pixels whose bytes lie in row order, counted in
    // bytes: the colours of a clear and of a set pixel.
    static RowPath forBits(RowPaths paths, std::uint32_t clear, std::uint32_t set, bool msbBitFirst);
    // Pixels of `stride` bytes (3 or 4) whose blue, green and red bytes sit
    // at pos[0], pos[1] and pos[2].
    static RowPath forBytes(RowPaths paths, std::uint32_t stride, const std::uint32_t pos[3]);
    // 8-bit pixels and the colours of their 256 values.
    static RowPath forLookUp8(RowPaths paths, const std::uint32_t* colours);
    // 16-bit pixels of red, green and blue fields.
    static RowPath forFields16(RowPaths paths, const std::array<FieldChannel, 3>& rgb,
                               bool msbByteFirst);

    // Whether the 16-bit pixels are scaled by arithmetic here: the plain code
    // then takes only the few pixels at the end of a row, which need no
    // table of every value's colour.
    bool scales() const { return scales_; }

    // Decodes the units (pixels, or bytes of 1-bit pixels) from the start of
    // `src` that the kernels take; returns how many.
    std::size_t run(const unsigned char* src, std::size_t count, unsigned char* out) const;

private:
    struct Step {
        RowKernel kernel = nullptr;
        std::size_t least = 0;   // units of one step of the kernel
        std::size_t tables = 0;  // where its tables start in tables_
    };

    template <class Tables>
    void add(RowKernel kernel, std::size_t least, const Tables& tables);

    std::array<Step, 4> step_{};
    std::size_t steps_ = 0;
    std::vector<unsigned char> tables_;
    std::uint32_t inBytes_ = 1;   // of a unit in the row
    std::uint32_t outBytes_ = 3;  // of a unit's output
    bool scales_ = false;
};

}  // namespace rastrex
