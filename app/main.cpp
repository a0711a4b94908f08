// rastrex: the converter window. It reads no command line and no settings:
// it opens the main window on the process's current folder and runs until
// no window is loaded.
#include <QApplication>
#include <cstdio>

#include "main_form.h"
#include "pictures.h"
#include "qt_toolkit.h"
#include "system_services.h"

namespace {

// Without a display Qt would stop with its plugin error; say what is wrong
// in plain words instead.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fputs("rastrex found no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set), "
                   "so run it from a desktop session or, without one, under a virtual display "
                   "as: xvfb-run -a rastrex\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    app.setWindowIcon(rastrex::qt::programIcon());
    rastrex::qt::QtToolkit toolkit;
    return rastrex::runProgram(toolkit, rastrex::systemServices());
}
