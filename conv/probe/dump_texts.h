// The English words of every failure a front end tells of a dump: xwd2bmp,
// the Linux thumbnailer and the Explorer handler read this one table (the
// window has its Japanese one). Each switch names every kind, with no
// default, so a kind added without its words does not build.
#pragma once

#include <cstdint>
#include <string>

#include "file_failure.h"
#include "header_refusal.h"

namespace rastrex {

// fnRastrex's result codes as a kind to switch on.
enum class ConversionResult { Ok, OpenInput, WriteOutput, ReadInput, NoMemory, Unexpected };
ConversionResult resultOf(std::int32_t code);

// Why a file did not open (`writing` false) or could not be written;
// the system's own words for Other.
std::string causeText(const SystemFailure& cause, bool writing);

// Why the header was refused or its layout words were not read, in one
// line: "the header says 33 bits per pixel; a dump has 1, 4, 8, 16, 24 or 32".
// Empty for fault None.
std::string refusalText(const HeaderRefusal& refusal);

// Why fnRastrex (or the thumbnail decoder) gave `code` for a dump: `cause`
// tells an open or write failure, `refusal` a refused header. `bitmap`
// names the file that could not be written, when there is one.
std::string resultText(std::int32_t code, const SystemFailure& cause, const HeaderRefusal& refusal,
                       const std::string& bitmap = {});

}  // namespace rastrex
