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
using ControlFactory = QWidget* (*)(const ControlLayout& control, QWidget* container);
void buildLayout(const FormLayout& layout, QWidget* client, ControlFactory make);

}  // namespace rastrex
