// The pictures drawn for the windows: the PNG icons of app/icons, compiled
// into the program as Qt resources under :/pictures/.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rastrex::qt {

QIcon programIcon();     // both windows' icon: 16x16 and 32x32
QIcon aboutIcon();       // the version window's large picture: 16x16 and 32x32
QPixmap arrowPicture();  // 16x16 double arrow from the source to the destination list
QPixmap bannerPicture(); // 85x15 band of the version window

}  // namespace rastrex::qt
