// One toolkit for the whole test program: it registers the window class
// and initialises OLE on the thread.
#pragma once

#include "win32_toolkit.h"

namespace rastrex::win32 {

inline Win32Toolkit& sharedToolkit()
{
    static Win32Toolkit instance;
    return instance;
}

}  // namespace rastrex::win32
