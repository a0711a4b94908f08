// rastrex: the converter window. It reads no command line and no settings:
// it opens the main window on the process's current folder and runs until
// no window is loaded.
#include <QApplication>

#include "main_form.h"
#include "no_display.h"
#include "qt_pictures.h"
#include "qt_toolkit.h"
#include "system_services.h"

int main(int argc, char* argv[])
{
    if (!rastrex::qt::displayAvailable()) {
        rastrex::qt::sayNoDisplay(argc > 0 ? argv[0] : nullptr, "rastrex");
        return 1;
    }

    QApplication app(argc, argv);
    app.setWindowIcon(rastrex::qt::programIcon());
    rastrex::qt::QtToolkit toolkit;
    return rastrex::runProgram(toolkit, rastrex::systemServices(rastrex::qt::programFolder()));
}
