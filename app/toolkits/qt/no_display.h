// Started without a display, Qt would stop with its plugin error; the Qt
// programs say what is wrong in plain words instead.
#pragma once

#include <QtGlobal>
#include <cstdio>
#include <filesystem>
#include <string>

namespace rastrex::qt {

inline bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// The program's own path, quoted for the shell where it must be, so that the
// hint works as it stands (a build tree's program is not on PATH).
inline std::string programForShell(const char* argv0, const char* name)
{
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error || path.empty())
        path = argv0 != nullptr && *argv0 != '\0' ? argv0 : name;
    if (path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._+-") ==
        std::string::npos)
        return path;
    std::string quoted = "'";
    for (const char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Tells, in one line on standard error, that `name` found no display and
// how to run it under a virtual one.
inline void sayNoDisplay(const char* argv0, const char* name)
{
    std::fprintf(stderr,
                 "%s found no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set), "
                 "so run it from a desktop session or, without one, under a virtual display "
                 "as: xvfb-run -a %s\n",
                 name, programForShell(argv0, name).c_str());
}

}  // namespace rastrex::qt
