// rastrex-convert.exe: the dumps Explorer's verb hands over (their names on
// standard input after --files-from=-), or those named on the command line,
// converted in a progress window.
//
// For tests and scripts, RASTREX_CONVERT_TRANSCRIPT names a file: then no
// box waits for anyone, each text a box or the summary would show is
// appended to that file (UTF-8), and the overwrite question is answered yes
// when RASTREX_CONVERT_ANSWER is "yes", no otherwise. The progress
// window is shown all the same.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command_line.h"
#include "long_path.h"
#include "verb_window.h"

namespace {

// All of standard input: the list Explorer's verb writes; nothing when there
// is no standard input.
std::string standardInput()
{
    std::string bytes;
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

std::wstring environment(const wchar_t* name)
{
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::vector<std::string> args = rastrex::commandLineArguments();
    // The list is read only where the command line asks for it: a program
    // started from a console must not wait for it.
    const bool listed = std::find(args.begin(), args.end(), "--files-from=-") != args.end();
    const std::string list = listed ? standardInput() : std::string();
    const std::wstring transcript = environment(L"RASTREX_CONVERT_TRANSCRIPT");
    const auto dialogs = transcript.empty()
                             ? rastrex::verb::win32::userDialogs()
                             : rastrex::verb::win32::scriptedDialogs(
                                   transcript, environment(L"RASTREX_CONVERT_ANSWER") == L"yes");
    const int status = rastrex::verb::win32::runInWindow(args, list, *dialogs);
    CoUninitialize();
    return status;
}
