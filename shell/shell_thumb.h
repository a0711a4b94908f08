// RASTREXThumb.dll: the thumbnail handler of .xwd files for the Windows
// shell, an in-process COM server. Explorer (or its isolated thumbnail
// process) hands it the file as an IStream; the dump is decoded by the
// library's own code, compiled in.
#pragma once

#include <windows.h>

namespace rastrex::shell {

// {D7839819-2297-4521-88F6-4CB5F93F1337}: the handler's class, fixed for ever.
inline constexpr CLSID kThumbnailClsid = {
    0xd7839819, 0x2297, 0x4521, {0x88, 0xf6, 0x4c, 0xb5, 0xf9, 0x3f, 0x13, 0x37}};
inline constexpr wchar_t kThumbnailClsidText[] = L"{D7839819-2297-4521-88F6-4CB5F93F1337}";
// The shell's key for a type's thumbnail handler: IThumbnailProvider's IID.
inline constexpr wchar_t kThumbnailHandlerKey[] = L"{e357fccd-a995-4576-b01f-234630154e96}";

// This DLL's module, set when it is loaded.
extern HMODULE module;

// Objects and locks alive, for DllCanUnloadNow.
void addReference();
void releaseReference();

// A new thumbnail handler, for the class factory.
HRESULT createThumbnailHandler(REFIID riid, void** object);

}  // namespace rastrex::shell
