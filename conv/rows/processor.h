// Which row paths this processor can take, among those built in.
#pragma once

namespace rastrex {

// The instruction sets a decoder's row paths may use, least first.
enum class RowPaths { kPlain, kSsse3, kAvx2, kAvx512Vbmi };

// The most this processor has among the paths built in (kPlain where none
// is). Asked once.
RowPaths processorRowPaths();

// Caps the paths of decoders made from now on at `cap`; what the processor
// lacks is never used whatever the cap. For tests of the paths below this
// processor's; not shown outside the library.
void capRowPaths(RowPaths cap);

// The paths a decoder made now may use: the processor's, within the cap.
RowPaths usableRowPaths();

}  // namespace rastrex
