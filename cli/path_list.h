// The PATH lists of --files-from: their bytes, in whatever encoding wrote
// them, as the names of files.
#pragma once

#include <string>
#include <string_view>

#include "options.h"

namespace rastrex::cli {

// Appends the PATHs that the bytes of a list name to `options.paths`: one
// a line, or with `options.nulSeparated` each ending in a NUL character.
// Empty entries are skipped, and a CR before a line end is dropped, in
// every encoding. `options.listEncoding` tells how the bytes are read:
//   Detect  UTF-8 after its byte-order mark, UTF-16 after its own, else
//           UTF-8; on Windows a list that is not UTF-8 is in the console's
//           code page, as cmd writes it;
//   Utf8    UTF-8, a byte-order mark dropped;
//   Utf16   UTF-16, little-endian unless its mark says otherwise;
//   Cp932   code page 932 (Shift JIS as Windows has it).
// Names that can name no file are appended too, and listed in
// `options.refused` with the reason.
void decodePathList(std::string bytes, Options& options);

// The encoding that a --list-encoding value names, in any case; none for
// a name it does not know.
std::optional<ListEncoding> listEncodingNamed(std::string_view name);

}  // namespace rastrex::cli
