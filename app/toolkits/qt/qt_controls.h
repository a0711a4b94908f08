// What the toolkit's controls over Qt widgets share. Each widget class
// implements one control interface of the window's logic, with the
// guarantees it states, and each family has a header of its own with a
// maker that sets a control up from its layout where it is made: buttons
// and check boxes (qt_buttons.h), the drive, directory and file lists
// (qt_lists.h), the bars (qt_bars.h), the text box, labels, frames and
// lines (qt_text.h), pictures (qt_pictures.h) and menus (qt_menus.h).
//
// Every change notification is delivered through a direct call: setting a
// value that changes it runs the change handler to its end before the set
// returns. Names and paths are kept as the bytes the file system holds;
// bytes that are not valid UTF-8 are shown as U+FFFD.
#pragma once

#include <QPalette>
#include <QString>
#include <QWidget>
#include <string>

#include "controls.h"
#include "qt_accessible.h"
#include "layouts.h"

namespace rastrex::qt {

class QtWindow;

// Bytes as shown: valid UTF-8 decoded, other bytes as U+FFFD.
QString shown(const std::string& bytes);
QString shown(std::string_view text);
std::string bytesOf(const QString& text);

// The place of a control of a layout in its container, in device-independent
// pixels (containerRect).
QRect pixelRect(const ControlLayout& c);

// The palette role that draws a layout's system colour.
QPalette::ColorRole roleOf(SystemColour colour);

// The logic's codes of a mouse button and of the shift keys held.
int buttonCode(Qt::MouseButton button);
int shiftCode(Qt::KeyboardModifiers modifiers);

// What every control shares: its layout name, and enabled and visible
// states read as the logic means them (hidden by the program, whatever the
// window's own state).
template <typename Widget, typename Interface>
class Bound : public Widget, public Interface {
public:
    using Widget::Widget;
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& name() const override { return name_; }
    void setEnabled(bool on) override { Widget::setEnabled(on); }
    bool enabled() const override { return Widget::isEnabled(); }
    void setVisible(bool on) override { Widget::setVisible(on); }
    bool visible() const override { return !Widget::isHidden(); }
    std::string accessibleName() const override { return bytesOf(accessibleNameOf(this)); }

private:
    std::string name_;
};

}  // namespace rastrex::qt
