// Window layouts as data: every control with its name, kind, container,
// position and size in twips, tab position, caption and tooltip.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace rastrex {

enum class ControlKind {
    CommandButton,
    CheckBox,
    StatusBar,
    ProgressBar,
    DriveList,
    FileList,
    DirList,
    Frame,
    Label,
    Picture,
    Line,
    TextBox,
};

struct ControlLayout {
    const char* name;
    ControlKind kind;
    const char* container;  // "" for the window itself
    int left, top, width, height;  // twips, relative to the container
    int tab;                        // position in the focus order; -1 for none
    const char* caption;            // UTF-8; "" for none
    const char* tooltip;            // UTF-8; "" for none
    bool autoSize = false;          // a label sized to its text: grows when its font needs more room
    bool centred = false;           // a label whose text is centred (it grows about its centre)
};

struct FormLayout {
    const char* caption;
    int clientWidth, clientHeight;  // twips
    int left, top;                  // the client area's origin on the screen, twips
    QList<ControlLayout> controls;
};

const FormLayout& mainFormLayout();
const FormLayout& aboutFormLayout();

// The control's rectangle in device-independent pixels.
QRect pixelRect(const ControlLayout& control);

// Builds the controls of `layout` into `window` (whose client area is
// `client`): creates each through `make`, names it, places it, sets its
// caption and tooltip, and chains the focus order; find them by objectName.
// Gives a label sized to its text the room its font needs, keeping its top
// and its left edge (or its centre, for a centred label). Fonts set after
// building call this again.
void fitToText(QWidget* label, const ControlLayout& control);

using ControlFactory = QWidget* (*)(const ControlLayout& control, QWidget* container);
void buildLayout(const FormLayout& layout, QWidget* client, ControlFactory make);

}  // namespace rastrex
