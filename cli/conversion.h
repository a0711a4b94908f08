// One dump converted by xwd2bmp, and what came of it in the words it prints.
#pragma once

#include <cstdint>
#include <string>

#include "dump_probe.h"
#include "dump_texts.h"

namespace rastrex::cli {

struct Conversion {
    bool attempted = false;    // fnRastrex was called
    std::int32_t code = 0;     // its result, when it was
    DumpProbe probe;           // what the dump holds of its pixels
    SystemFailure cause;       // why, when the dump did not open or the bitmap was not written
};

// Converts the dump at `dump` into a bitmap at `bitmap`, unless the dump
// holds so little of its pixels that the bitmap would be nearly all black.
Conversion convertDump(const std::string& dump, const std::string& bitmap);

// Whether the run counts the conversion as done: the bitmap was written
// and shows every pixel of the dump.
bool convertedWhole(const Conversion& c);

// What the user is told of a conversion that did not give the whole
// picture: why nothing was written, or what the bitmap lacks. `bitmap` is
// the bitmap's place as messages name it.
std::string failureText(const Conversion& c, const std::string& bitmap);

// The English meaning of a result code of fnRastrex, with the system's
// reason or the header's refusal for the codes that have one.
std::string describeResult(std::int32_t code, const std::string& bitmap, const SystemFailure& cause,
                           const HeaderRefusal& refusal = {});

}  // namespace rastrex::cli
