// The selection rastrex-convert is handed: the files it names, planned as
// xwd2bmp plans them, and which of them are dumps.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "batch.h"

namespace rastrex::verb {

struct Selection {
    // The files, in the selection's order, planned by xwd2bmp's planner
    // with --no-clobber: Convert, Skip (its bitmap is already there) or
    // Fail (it cannot be converted: unreadable, no dump, or a bitmap that
    // another file of the selection writes too).
    std::vector<cli::Item> items;
    // For each failed item, what the user is told of it, in the window's
    // words; empty for the others.
    std::vector<std::string> failures;
    std::size_t dumps = 0;     // items that are dumps, whether they can be converted or not
    std::size_t existing = 0;  // dumps whose bitmaps are already there (Skip)
    // Set when the list of names on standard input cannot be read: what
    // the user is told; nothing else is then set.
    std::string listFailure;
};

// Reads the arguments (file names, "--files-from=-" for names on `in`,
// "--" before names that begin with a dash) and plans their conversion.
// A file counts as a dump when its name ends in .xwd or its header is that
// of a dump; the others are failed, and converted by no one.
Selection gatherSelection(const std::vector<std::string>& args, std::istream* in);

// `text` of the window's message boxes on a line of the summary: their
// line breaks (carriage returns) are dropped.
std::string oneLine(std::string text);

}  // namespace rastrex::verb
