// The window toolkit on Win32: windows built from layout data with the
// standard controls (buttons, check boxes, list boxes, a combo box, statics,
// an edit box, a group box) and the common controls (status bar, progress
// bar, tooltips), menus with an accelerator table, popup menus, message
// boxes and OLE drops of files. Positions in twips are scaled to the
// screen's DPI.
#pragma once

#include <memory>
#include <string>

#include "controls.h"

namespace rastrex::win32 {

class Win32Toolkit final : public Toolkit {
public:
    // Registers the window class and initialises the common controls and
    // OLE on this thread.
    Win32Toolkit();
    ~Win32Toolkit() override;

    std::unique_ptr<Window> buildWindow(const FormLayout& layout, WindowRole role) override;
    MessageBoxes& messageBox() override;
    Clock& clock() override;
    int run() override;
    BatchRequest betweenFiles() override;

    // Dispatches what is waiting in the queue without blocking; for tests.
    void pumpPending();
    // For tests: the clock that paces a batch's looks; null for the steady one.
    void setClock(Clock* clock);

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace rastrex::win32
