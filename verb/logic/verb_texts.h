// The Japanese words of rastrex-convert, the same in every front end.
#pragma once

#include <cstddef>
#include <string>

#include "verb_ui.h"

namespace rastrex::verb {

// The progress window's title, and the label of its button.
inline constexpr const char* kWindowTitle = "BMP に変換";
inline constexpr const char* kCancelLabel = "中止";

// Told when the selection holds no dump; nothing is converted.
inline constexpr const char* kNoDumpText = "選んだファイルに XWD ファイルがない。何も変換しなかった。";

// The question asked when `existing` bitmaps are already there:
// "n 個の BMP ファイルがすでにある。上書きするか?"
std::string overwriteQuestion(std::size_t existing);

// The progress window's line above its bar: the file in hand, and how
// many files of all are done.
std::string progressText(const Progress& progress);

}  // namespace rastrex::verb
