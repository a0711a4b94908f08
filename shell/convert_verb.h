// RASTREXVerb.dll: the "BMP に変換" verb of .xwd files in Explorer, an
// in-process COM server with one class, an IExplorerCommand. Explorer hands
// it the whole selection at once; it starts rastrex-convert.exe (beside
// this DLL) once and writes the names to its standard input.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rastrex::shell {

// {CCBA71C9-DDBA-4A5C-82EB-E832BC883386}: the verb's class, fixed for ever.
inline constexpr CLSID kConvertVerbClsid = {
    0xccba71c9, 0xddba, 0x4a5c, {0x82, 0xeb, 0xe8, 0x32, 0xbc, 0x88, 0x33, 0x86}};

// The verb's title in the context menu.
inline constexpr wchar_t kConvertVerbTitle[] = L"BMP に変換";
// The program the verb starts, beside this DLL.
inline constexpr wchar_t kConverterFileName[] = L"rastrex-convert.exe";

// This DLL's module, set when it is loaded.
extern HMODULE verbModule;

// Objects and locks alive, for DllCanUnloadNow.
void addVerbReference();
void releaseVerbReference();

// A new verb object, for the class factory.
HRESULT createConvertVerb(REFIID riid, void** object);

// The bytes of the list the program reads on its standard input: UTF-16
// little-endian after its byte-order mark, one name a line (a Windows file
// name holds no line end).
std::string listBytes(const std::vector<std::wstring>& paths);

// The full path of `name` in the folder of `module`.
std::wstring besideModule(HMODULE module, const wchar_t* name);

// Starts `program --files-from=-` and writes `paths` to its standard input
// through an anonymous pipe; returns once the program holds the whole list.
// On failure, the result and a Japanese text of what failed and why.
struct Launch {
    HRESULT result = S_OK;
    std::wstring failure;
};
Launch launchConverter(const std::wstring& program, const std::vector<std::wstring>& paths);

}  // namespace rastrex::shell
