// The controls of the Win32 toolkit by family, each made for one control
// of a window's layout. A family's maker says which native control it is
// (its window class and styles, NativeLook) and gives it a font of its own
// where its layout asks for one; the window creates it at its place and
// hands it its messages. Private to the toolkit.
#pragma once

#include <memory>

#include "win32_window.h"

namespace rastrex::win32 {

// Buttons and check boxes (win32_buttons.cpp).
std::unique_ptr<Dispatch> makeCommandButton(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeCheckBox(W32Window& window, const ControlLayout& layout);

// The drive, directory and file lists (win32_lists.cpp).
std::unique_ptr<Dispatch> makeDriveList(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeDirList(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeFileList(W32Window& window, const ControlLayout& layout);

// The progress bar and the status bar (win32_bars.cpp).
std::unique_ptr<Dispatch> makeProgressBar(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeStatusBar(W32Window& window, const ControlLayout& layout);

// The text box, labels and frames (win32_text.cpp).
std::unique_ptr<Dispatch> makeTextBox(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeLabel(W32Window& window, const ControlLayout& layout);
std::unique_ptr<Dispatch> makeFrame(W32Window& window, const ControlLayout& layout);

// Pictures drawn from the program's resources (win32_pictures.cpp).
std::unique_ptr<Dispatch> makePicture(W32Window& window, const ControlLayout& layout);

}  // namespace rastrex::win32
