// The message boxes of the Win32 toolkit, owned by the main window.
// Private to the toolkit.
#pragma once

#include <memory>

#include "win32_window.h"

namespace rastrex::win32 {

std::unique_ptr<MessageBoxes> makeMessageBoxes(Win32Toolkit::State& state);

}  // namespace rastrex::win32
