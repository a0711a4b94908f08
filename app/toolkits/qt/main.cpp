// rastrex: the converter window. It reads no command line and no settings:
// it opens the main window on the process's current folder and runs until
// no window is loaded.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "main_form.h"
#include "qt_pictures.h"
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

// The program's own path, quoted for the shell where it must be, so that the
// hint works as it stands (a build tree's program is not on PATH).
std::string programForShell(const char* argv0)
{
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error || path.empty())
        path = argv0 != nullptr && *argv0 != '\0' ? argv0 : "rastrex";
    if (path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._+-") ==
        std::string::npos)
        return path;
    std::string quoted = "'";
    for (const char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "rastrex found no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set), "
                     "so run it from a desktop session or, without one, under a virtual display "
                     "as: xvfb-run -a %s\n",
                     programForShell(argc > 0 ? argv[0] : nullptr).c_str());
        return 1;
    }

    QApplication app(argc, argv);
    app.setWindowIcon(rastrex::qt::programIcon());
    rastrex::qt::QtToolkit toolkit;
    return rastrex::runProgram(toolkit, rastrex::systemServices(rastrex::qt::programFolder()));
}
