// What rastrex-convert tells at the end: what came of each file, in the
// window's words, and the counts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "conversion.h"
#include "verb_ui.h"

namespace rastrex::verb {

// What came of one file.
struct Outcome {
    enum class Kind { Converted, CutShort, NotConverted };
    Kind kind = Kind::NotConverted;
    std::string text;  // for CutShort and NotConverted, the window's words for why
};

// The outcome of xwd2bmp's conversion `c` of the dump `dump`.
Outcome outcomeOf(const std::string& dump, const cli::Conversion& c);

// The outcomes of a run, counted, with their texts in order.
struct Tally {
    std::size_t converted = 0;
    std::size_t cutShort = 0;
    std::size_t notConverted = 0;
    std::size_t kept = 0;
    std::size_t notStarted = 0;
    std::vector<std::string> lines;

    void add(const Outcome& outcome);
};

Summary summarize(const Tally& tally);

}  // namespace rastrex::verb
