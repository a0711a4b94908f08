// Moving one file to the desktop's trash, from which the user can restore it.
#pragma once

#include <string>

#include "services.h"

namespace rastrex {

// The freedesktop.org trash through GIO: the home trash for a file on the
// home folder's file system, the trash in the top folder of the file's own
// volume otherwise. The path is handed over as the bytes it is, whatever
// their encoding, so the record restores to exactly this path.
class DesktopTrash final : public RecycleBin {
public:
    bool asksItself() const override { return false; }
    Outcome moveToTrash(const std::string& path, NativeHandle owner) override;
};

}  // namespace rastrex
