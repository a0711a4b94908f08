// The COM server around the thumbnail handler: its class factory, the
// exports the system calls, and the registration for the current user that
// `regsvr32 RASTREXThumb.dll` makes (the installer writes the same keys
// for every user).
#include <shlobj.h>

#include <atomic>
#include <new>
#include <string>

#include "com_server.h"
#include "shell_thumb.h"

namespace rastrex::shell {

HMODULE module = nullptr;

namespace {

std::atomic<long> references{0};

OneClassFactory<createThumbnailHandler, addReference, releaseReference> factory;

// The keys, all under HKCU\Software\Classes for regsvr32. The handler goes
// under SystemFileAssociations, where every program may add its own to a
// type; the type's own key holds values other programs may have set.
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kClassKey = kClasses + L"CLSID\\" + kThumbnailClsidText;
const std::wstring kTypeKey = kClasses + L".xwd";
const std::wstring kAssociationKey = kClasses + L"SystemFileAssociations\\.xwd";
const std::wstring kHandlerKey = kAssociationKey + L"\\ShellEx\\" + kThumbnailHandlerKey;
// The type's values that registering sets where they are absent, with
// their texts; the class key's value kWrittenValues lists those it set,
// which are all that unregistering takes away.
struct TypeValue {
    const wchar_t* name;
    const wchar_t* text;
};
constexpr TypeValue kTypeValues[] = {{L"PerceivedType", L"image"}, {L"Content Type", L"image/x-xwindowdump"}};
constexpr wchar_t kWrittenValues[] = L"WrittenTypeValues";

HRESULT setText(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

std::wstring textOf(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t value[256] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                     &bytes) != ERROR_SUCCESS)
        return {};
    return value;
}

// Whether the value `name` of `key` is set, whatever its type.
bool isSet(HKEY root, const std::wstring& key, const wchar_t* name)
{
    return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Removes the value `name` of `key` when it is still `ours`.
void removeIfOurs(const std::wstring& key, const wchar_t* name, const std::wstring& ours)
{
    if (_wcsicmp(textOf(HKEY_CURRENT_USER, key, name).c_str(), ours.c_str()) == 0)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name);
}

// Removes `key` when nothing is left in it.
void removeIfEmpty(const std::wstring& key)
{
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    const bool empty = RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subkeys == 0 && values == 0;
    RegCloseKey(k);
    if (empty)
        RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

// The names in the list `text` of names each followed by a semicolon.
bool listed(const std::wstring& text, const wchar_t* name)
{
    return (L";" + text).find(L";" + std::wstring(name) + L";") != std::wstring::npos;
}

// The type's values this registration owns: those a registration before it
// set (a registration without the list, an older one, set every value that
// still holds its text), and those nobody has set for this user or the
// machine (Windows merges the two in HKEY_CLASSES_ROOT, Wine shows the
// machine's alone there).
std::wstring ownedTypeValues()
{
    const bool registered = isSet(HKEY_CURRENT_USER, kClassKey, nullptr);
    const bool hasList = isSet(HKEY_CURRENT_USER, kClassKey, kWrittenValues);
    const std::wstring before = textOf(HKEY_CURRENT_USER, kClassKey, kWrittenValues);
    std::wstring owned;
    for (const TypeValue& v : kTypeValues) {
        const bool oursBefore =
            hasList ? listed(before, v.name)
                    : registered && _wcsicmp(textOf(HKEY_CURRENT_USER, kTypeKey, v.name).c_str(), v.text) == 0;
        if (oursBefore || (!isSet(HKEY_CURRENT_USER, kTypeKey, v.name) && !isSet(HKEY_CLASSES_ROOT, L".xwd", v.name)))
            owned += std::wstring(v.name) + L";";
    }
    return owned;
}


}  // namespace

void addReference() { ++references; }
void releaseReference() { --references; }

}  // namespace rastrex::shell

using namespace rastrex::shell;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    return classObject(clsid, kThumbnailClsid, factory, riid, object);
}

STDAPI DllCanUnloadNow() { return references == 0 ? S_OK : S_FALSE; }

STDAPI DllUnregisterServer();

STDAPI DllRegisterServer()
{
    const std::wstring path = modulePath(module);
    if (path.empty())
        return HRESULT_FROM_WIN32(GetLastError());
    const std::wstring owned = ownedTypeValues();
    const std::wstring server = kClassKey + L"\\InprocServer32";
    HRESULT result = S_OK;
    for (HRESULT step : {setText(kClassKey, nullptr, L"rastrex XWD thumbnail handler"),
                         setText(kClassKey, kWrittenValues, owned), setText(server, nullptr, path),
                         setText(server, L"ThreadingModel", L"Apartment"),
                         setText(kHandlerKey, nullptr, kThumbnailClsidText)})
        if (FAILED(step) && SUCCEEDED(result))
            result = step;
    for (const TypeValue& v : kTypeValues)
        if (listed(owned, v.name) && SUCCEEDED(result))
            result = setText(kTypeKey, v.name, v.text);
    if (FAILED(result)) {
        DllUnregisterServer();
        return result;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}

// Takes away what DllRegisterServer wrote and nothing else: the type's
// values it set (and still hold its texts), never those other programs set.
STDAPI DllUnregisterServer()
{
    const std::wstring owned = ownedTypeValues();
    RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
    removeIfOurs(kHandlerKey, nullptr, kThumbnailClsidText);
    removeIfEmpty(kHandlerKey);
    removeIfEmpty(kAssociationKey + L"\\ShellEx");
    removeIfEmpty(kAssociationKey);
    for (const TypeValue& v : kTypeValues)
        if (listed(owned, v.name))
            removeIfOurs(kTypeKey, v.name, v.text);
    removeIfEmpty(kTypeKey);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}
