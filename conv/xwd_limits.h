// Every limit the library sets on what a dump's header may claim, and the
// sizes of its working buffers, each with its reason.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rastrex {

// --- What a header may claim ---------------------------------------------

// Width and height: the bitmap header stores both as signed 32-bit values.
inline constexpr std::uint32_t kMaxDimension = INT32_MAX;

// Pixels of a picture: the plain reading keeps each in a 4-byte unit, and
// that block has a size that must fit in 32 bits. (The bitmap's size must
// fit its header's 32-bit field as well; bmpFileSize() tells.)
inline constexpr std::uint64_t kMaxPixels = UINT32_MAX / 4;

// Window name: X keeps window names to a few hundred bytes in practice and
// no writer stores a longer one. A header size that claims more is taken for
// a broken header instead of being skipped, which on a stream that never
// ends (a device, a pipe) would take seconds for nothing.
inline constexpr std::uint64_t kMaxWindowNameBytes = std::uint64_t{1} << 20;

// Colour entries: X servers have no colour map larger than 16-bit pixel
// values can index.
inline constexpr std::uint32_t kMaxColourEntries = 65536;

// --- Working sizes ---------------------------------------------------------

// Rows read from a regular file while the bitmap is written come in bands of
// about this many bytes (all planes together); a row longer than that is a
// band of its own.
inline constexpr std::uint64_t kRowBandBytes = std::uint64_t{1} << 18;

// Rows of a stream that cannot be read by offset are held whole, in blocks
// of about this many bytes allocated as the bytes arrive: a header that
// claims more than the stream delivers costs at most one block more than
// what arrived.
inline constexpr std::uint64_t kHeldBlockBytes = std::uint64_t{1} << 20;

// The bitmap goes out in writes of this many bytes.
inline constexpr std::size_t kOutputBufferBytes = std::size_t{1} << 18;

}  // namespace rastrex
