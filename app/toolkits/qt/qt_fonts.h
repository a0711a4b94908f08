// The window's fonts: a face with Japanese glyphs, sized so that every
// caption fits, and the multi-line box's font, sized so that its whole
// text shows.
#pragma once

#include <QFont>
#include <QPlainTextEdit>

#include "layouts.h"

namespace rastrex::qt {

// The user-interface font: the first installed Japanese font of a list of
// preferred ones (else the application's font), at the largest size up to
// 9 points at which every caption of both layouts fits its control.
QFont chooseInterfaceFont();
// Whether a font of the preferred Japanese list is installed.
bool japaneseFontInstalled();

// The font a control of `layout` uses: its own, or the window's.
QFont controlFont(const ControlLayout& control, const QFont& windowFont);

// Gives the multi-line box the largest size of the window's face, from the
// layout's own down to the smallest readable one, at which its whole text
// shows at its laid-out size; at the smallest, with a scroll bar, when none
// does.
void fitTextBox(QPlainTextEdit& box, const QFont& windowFont);

}  // namespace rastrex::qt
