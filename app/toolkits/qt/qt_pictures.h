// The pictures drawn for the windows: the PNG icons of app/icons, compiled
// into the program as Qt resources under :/pictures/.
#pragma once

#include <QIcon>
#include <QPixmap>

class QWidget;

namespace rastrex::qt {

QIcon programIcon();     // both windows' icon: 16x16 and 32x32
QIcon aboutIcon();       // the version window's large picture: 16x16 and 32x32
QPixmap arrowPicture();  // 16x16 double arrow from the source to the destination list
QPixmap bannerPicture(); // 85x15 band of the version window

class QtWindow;
class Label;

}  // namespace rastrex::qt

namespace rastrex {
struct ControlLayout;
}

namespace rastrex::qt {

// The maker of a picture: a label of `layout` in `parent` that shows it,
// placed by `window` (QtWindow::place).
Label* makePicture(QtWindow& window, const ControlLayout& layout, QWidget* parent);

}  // namespace rastrex::qt
