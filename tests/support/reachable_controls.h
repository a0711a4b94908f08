// The controls of a window that the keyboard reaches, found through the
// toolkit's interface by the kind their layout gives them.
#pragma once

#include "controls.h"
#include "layouts.h"

namespace rastrex::test {

// The control of `w` that `c` lays out; null for the kinds the keyboard
// never reaches.
inline Control* reachable(Window& w, const ControlLayout& c)
{
    switch (c.kind) {
    case ControlKind::CommandButton: return w.commandButton(c.name);
    case ControlKind::CheckBox: return w.checkBox(c.name);
    case ControlKind::DriveList: return w.driveList(c.name);
    case ControlKind::DirList: return w.dirList(c.name);
    case ControlKind::FileList: return w.fileList(c.name);
    case ControlKind::ProgressBar: return w.progressBar(c.name);
    case ControlKind::StatusBar: return w.statusBar(c.name);
    case ControlKind::TextBox: return w.textBox(c.name);
    case ControlKind::Frame:
    case ControlKind::Label:
    case ControlKind::Picture:
    case ControlKind::Line: return nullptr;
    }
    return nullptr;
}

}  // namespace rastrex::test
