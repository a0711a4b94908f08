// Running rastrex-convert's selection.
#include "verb_ui.h"

namespace rastrex::verb {

VerbStatus runVerb(const std::vector<std::string>& args, std::istream* in, VerbUi& ui,
                   const VerbSettings& settings)
{
    (void)args;
    (void)in;
    (void)settings;
    ui.tell("");
    return VerbStatus::Failure;
}

}  // namespace rastrex::verb
