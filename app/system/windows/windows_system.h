// What the window program needs of Windows itself, apart from windows and
// controls and beyond folder_listing.h: text in the controls' wide form,
// the drives, sorted listings by pattern, the recycle bin and where
// RASTREX.DLL is looked for.
// Strings are bytes in the process's ANSI code page (UTF-8 by the program's
// manifest), as the file system's "A" functions give and take them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services.h"

namespace rastrex::windows {

// The ANSI-code-page bytes `text` as the wide text the controls show, and back.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// One drive of the drive list: its root ("C:\") and the text shown
// ("c: [LABEL]"; "c:" without a label).
struct Drive {
    std::string root;
    std::string text;
};

// The machine's drives now, in letter order. Removable drives without a
// medium are listed without asking for their label.
std::vector<Drive> systemDrives();

// The names of `folder`'s files (not folders, hidden or system files)
// matching `patterns` (see common/wildcard.h), sorted as Explorer sorts them, case
// ignored. A folder that cannot be read gives no names.
std::vector<std::string> listFiles(const std::string& folder, const std::string& patterns);

// The names of `folder`'s subfolders, "." and ".." left out, sorted.
std::vector<std::string> listSubfolders(const std::string& folder);

// Whether `folder` can be listed now.
bool canList(const std::string& folder);

// The absolute form of `path` without a trailing separator, except for a
// drive's root ("C:\"). A drive text ("c:" or "c: [LABEL]") gives that
// drive's root. Empty when `path` cannot be made absolute.
std::string absoluteFolder(const std::string& path);

// The folder holding this program.
std::string programFolder();

// The folder the window starts in, from the folder it was started in, the
// program's folder and the user's Documents (empty when unknown): the
// Documents when it was started in the program's own folder, as its
// shortcuts start it (an installer for every user cannot name each
// user's Documents in them), else the folder it was started in.
std::string startFolder(const std::string& current, const std::string& program, const std::string& documents);

// Makes startFolder() of this process its current folder.
void enterStartFolder();

// Where RASTREX.DLL is loaded from, in order: the program's folder, then
// the system loader's search by the bare name.
std::vector<std::string> libraryCandidates();

// The recycle bin: the shell's delete with undo, bound at run time from
// shell32; the shell asks the user and shows its own errors. A path the
// shell cannot take even in its short form stays where it is, and the
// outcome says why.
class ShellRecycleBin final : public RecycleBin {
public:
    bool asksItself() const override { return true; }
    Outcome moveToTrash(const std::string& path, NativeHandle owner) override;
};

// The file name the library is loaded by.
inline constexpr const char* kLibraryFileName = "RASTREX.DLL";

}  // namespace rastrex::windows
