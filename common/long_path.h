// Windows paths as the wide file functions take them at any length: made
// absolute and written in the \\?\ form (\\?\UNC\ for a share), which no
// MAX_PATH limit applies to, whether or not the process is longPathAware.
#pragma once

#if defined(_WIN32)

#include <optional>
#include <string>
#include <string_view>

namespace rastrex {

// `path` read in code page `codePage` (the ANSI code page for the 8-bit
// paths a caller hands over); nothing when it is empty or its bytes are not
// characters of that code page.
std::optional<std::wstring> widePath(std::string_view path, unsigned codePage);

// `text` as bytes of code page `codePage`; a character the code page lacks
// becomes its default character. For names the system gave back.
std::string narrowText(std::wstring_view text, unsigned codePage);

// `text`, bytes of code page `codePage`, as UTF-16; bytes that are no
// character of it become the system's replacement character. For text
// shown to a user.
std::wstring wideText(std::string_view text, unsigned codePage);

// The absolute form of `path` for the wide file functions: the current
// folder and drive applied, "." and ".." resolved, / made \, and the
// prefix \\?\ put in front. A device name (NUL, COM1, \\.\pipe\x) keeps the
// form the system gives it, and a path already in the \\?\ form is kept.
// Returned unchanged when the system cannot make it absolute.
std::wstring extendedPath(const std::wstring& path);

// widePath in the ANSI code page, then extendedPath.
std::optional<std::wstring> extendedPath(std::string_view ansiPath);

// `path` without the prefix extendedPath adds, as it is shown to a user.
std::wstring shownPath(const std::wstring& path);

}  // namespace rastrex

#endif
