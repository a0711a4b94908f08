// Paths of any length for the wide file functions. The program's strings
// are bytes in its ANSI code page (UTF-8 by its manifest); the "A" functions
// stop at MAX_PATH (260) characters, the wide ones take 32,767 when the path
// is absolute and spelled "\\?\C:\..." or "\\?\UNC\server\share\...".
#pragma once

#include <string>

namespace rastrex::win32 {

// `text`, bytes in the ANSI code page, as wide characters, and back.
std::wstring toWide(const std::string& text);
std::string fromWide(const std::wstring& text);

// The absolute form of `path` ("." and ".." resolved, "/" turned into "\"),
// as wide characters without the "\\?\" prefix. Empty when it cannot be made.
std::wstring fullWidePath(const std::string& path);

// `path` in the "\\?\" form that the wide functions take at any length.
// Device paths ("\\.\") stay as they are. Empty when it cannot be made.
std::wstring longPathForm(const std::string& path);

// A "\\?\" form back in the ordinary spelling ("\\?\UNC\s\x" is "\\s\x").
std::wstring withoutLongPrefix(const std::wstring& path);

}  // namespace rastrex::win32
