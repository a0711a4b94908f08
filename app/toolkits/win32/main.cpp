// rastrex.exe: hands the window's logic the Win32 toolkit and the Windows
// services, and runs it. No command line, environment or settings are read.
// Started in its own folder (as its shortcuts start it), it starts in the
// user's Documents instead.
#include <windows.h>

#include "folder_listing.h"
#include "main_form.h"
#include "runtime_library.h"
#include "win32_toolkit.h"
#include "windows_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    rastrex::windows::enterStartFolder();
    rastrex::win32::Win32Toolkit toolkit;
    rastrex::RuntimeConverterLibrary library(rastrex::windows::kLibraryFileName, rastrex::windows::libraryCandidates());
    rastrex::windows::ShellRecycleBin trash;
    rastrex::SystemFileSystem files;
    return rastrex::runProgram(toolkit, rastrex::AppServices{library, trash, files});
}
