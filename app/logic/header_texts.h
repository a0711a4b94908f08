// The window's Japanese words for why the library refuses a dump's header
// or does not read its layout words: one line, naming the word and what a
// dump may hold there. Its switch names every fault, with no default.
#pragma once

#include <string>

#include "header_refusal.h"

namespace rastrex {

// Empty for fault None.
std::string japaneseRefusal(const HeaderRefusal& refusal);

}  // namespace rastrex
