// The command line of a Windows program as its logic reads it: the
// arguments after the program's name, from the line the system holds in
// UTF-16, in the ANSI code page (UTF-8 by the programs' manifests, so that
// every name arrives whole). Needs shell32.
#pragma once

#if defined(_WIN32)

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "long_path.h"

namespace rastrex {

inline std::vector<std::string> commandLineArguments()
{
    std::vector<std::string> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr)
        return args;
    const UINT codePage = GetACP();
    for (int i = 1; i < count; ++i)
        args.push_back(narrowText(argv[i], codePage));
    LocalFree(argv);
    return args;
}

}  // namespace rastrex

#endif
