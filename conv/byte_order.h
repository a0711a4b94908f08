// Unsigned words read from bytes in a stated order: dumps store their header
// and colour entries most significant byte first, and their pixels in the
// order their header names.
#pragma once

#include <cstdint>

namespace rastrex {

inline constexpr std::uint32_t loadBe16(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 8) | std::uint32_t{p[1]};
}

inline constexpr std::uint32_t loadLe16(const unsigned char* p)
{
    return (std::uint32_t{p[1]} << 8) | std::uint32_t{p[0]};
}

inline constexpr std::uint32_t loadBe24(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 16) | loadBe16(p + 1);
}

inline constexpr std::uint32_t loadLe24(const unsigned char* p)
{
    return (std::uint32_t{p[2]} << 16) | loadLe16(p);
}

inline constexpr std::uint32_t loadBe32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | loadBe24(p + 1);
}

inline constexpr std::uint32_t loadLe32(const unsigned char* p)
{
    return (std::uint32_t{p[3]} << 24) | loadLe24(p);
}

// A 32-bit word most significant byte first when `msbFirst`, else least.
inline constexpr std::uint32_t load32(const unsigned char* p, bool msbFirst)
{
    return msbFirst ? loadBe32(p) : loadLe32(p);
}

}  // namespace rastrex
