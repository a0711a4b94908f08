// The pictures drawn for the windows, kept as XPM files in pictures/.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rastrex::qt {

QIcon programIcon();     // both windows' icon: 16x16 and 32x32
QIcon aboutIcon();       // the version window's large picture: 16x16 and 32x32
QPixmap arrowPicture();  // 16x16 double arrow from the source to the destination list
QPixmap bannerPicture(); // 85x15 band of the version window

}  // namespace rastrex::qt
