// rastrex: the converter window. It reads no command line and no settings:
// it opens the main window on the process's current folder and runs until
// the window is closed.
#include <QApplication>
#include <cstdio>

#include "app_services.h"
#include "main_form.h"
#include "message_boxes.h"
#include "pictures.h"

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
    app.setWindowIcon(rastrex::programIcon());

    rastrex::MessageBoxDialogs dialogs;
    rastrex::MainForm form(rastrex::AppServices{dialogs, rastrex::systemConverterLibrary(), rastrex::systemTrash()});
    dialogs.setOwner(&form);
    form.show();
    return app.exec();
}
