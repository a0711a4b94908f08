// The scripted toolkit of the logic's tests keeps the contract of
// controls.h as the real toolkits do (controls_contract.h).
#include "controls_contract.h"
#include "scripted_toolkit.h"

namespace rastrex::contract {

struct ScriptedHarness {
    static constexpr const char* kName = "Scripted";
    test::ScriptedToolkit toolkit;
    void pump() {}
};
INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, ScriptedHarness, HarnessName);

}  // namespace rastrex::contract
