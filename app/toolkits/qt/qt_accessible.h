// What the Qt toolkit tells assistive technology beyond Qt's own defaults:
// a drive list named by its layout rather than by the drive it shows, and a
// status bar in the status-bar role that announces its first panel.
#pragma once

#include <QString>

class QWidget;

namespace rastrex::qt {

// Makes Qt build the interfaces below for the toolkit's drive lists and
// status bars; once per process, before any of them is asked for.
void installAccessibleInterfaces();

// The name assistive technology reads for `widget`; "" when it has none.
QString accessibleNameOf(const QWidget* widget);

}  // namespace rastrex::qt
