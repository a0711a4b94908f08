// Which row paths this processor can take, among those built in, and the
// cap that the environment variable RASTREX_ROWS sets on them.
#pragma once

#include <optional>

namespace rastrex {

// The instruction sets a decoder's row paths may use, least first.
enum class RowPaths { kPlain, kSsse3, kAvx2, kAvx512Vbmi };

// The variable that caps the row paths of every decoder of the process.
inline constexpr const char kRowPathsVariable[] = "RASTREX_ROWS";

// The name of a level of row paths, as RASTREX_ROWS spells it: "plain",
// "ssse3", "avx2", "avx512".
const char* rowPathsName(RowPaths paths);

// The level a value of RASTREX_ROWS names; none for a null, empty or
// unknown one.
std::optional<RowPaths> rowPathsNamed(const char* name);

// What a processor that has `have` takes under the value `setting` of
// RASTREX_ROWS: the level it names, or the best below it that `have` holds;
// `have` itself where it names none. A cap never raises the level.
RowPaths cappedRowPaths(RowPaths have, const char* setting);

// The most this processor has among the paths built in (kPlain where none
// is). Asked once.
RowPaths processorRowPaths();

// What this process's decoders take: the processor's paths under the cap
// RASTREX_ROWS set when it was first asked.
RowPaths configuredRowPaths();

// Caps the paths of decoders made from now on at `cap`, within the
// configured ones. For tests of the paths below this processor's; not shown
// outside the library.
void capRowPaths(RowPaths cap);

// The paths a decoder made now may use: the configured ones, within the cap.
RowPaths usableRowPaths();

}  // namespace rastrex
