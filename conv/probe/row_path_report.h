// The row path the library's decoders take in this process, for bug
// reports (xwd2bmp --version). Worked out by the library's own code, so that
// both agree: the widest instruction set this processor has among those the
// build holds, under the cap that RASTREX_ROWS sets.
#pragma once

#include <string>

namespace rastrex {

// The path's name ("plain", "ssse3", "avx2" or "avx512"), then RASTREX_ROWS
// when it is set: "ssse3 (RASTREX_ROWS=ssse3)", or, for a value that names
// no path, "avx2 (RASTREX_ROWS ignored: it names none of plain, ssse3, avx2,
// avx512)".
std::string rowPathReport();

}  // namespace rastrex
