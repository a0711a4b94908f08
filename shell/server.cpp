// The COM server around the thumbnail handler: its class factory, the
// exports the system calls, and the registration for the current user that
// `regsvr32 RASTREXThumb.dll` makes (the installer writes the same keys
// for every user).
#include <shlobj.h>

#include <atomic>
#include <new>
#include <string>

#include "shell_thumb.h"

// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace rastrex::shell {

HMODULE module = nullptr;

namespace {

std::atomic<long> references{0};

class ClassFactory : public IClassFactory {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One factory for the life of the DLL; LockServer keeps the DLL loaded.
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        return outer != nullptr ? CLASS_E_NOAGGREGATION : createThumbnailHandler(riid, object);
    }
    IFACEMETHODIMP LockServer(BOOL lock) override
    {
        lock ? addReference() : releaseReference();
        return S_OK;
    }
};

ClassFactory factory;

// The keys, all under HKCU\Software\Classes for regsvr32.
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kClassKey = kClasses + L"CLSID\\" + kThumbnailClsidText;
const std::wstring kTypeKey = kClasses + L".xwd";
const std::wstring kHandlerKey = kTypeKey + L"\\ShellEx\\" + kThumbnailHandlerKey;
constexpr wchar_t kPerceivedType[] = L"image";
constexpr wchar_t kContentType[] = L"image/x-xwindowdump";

HRESULT setText(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

std::wstring textOf(const std::wstring& key, const wchar_t* name)
{
    wchar_t value[128] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return {};
    return value;
}

// Removes the value `name` of `key` when it is still `ours`.
void removeIfOurs(const std::wstring& key, const wchar_t* name, const std::wstring& ours)
{
    if (_wcsicmp(textOf(key, name).c_str(), ours.c_str()) == 0)
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

std::wstring modulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
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
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kThumbnailClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() { return references == 0 ? S_OK : S_FALSE; }

STDAPI DllUnregisterServer();

STDAPI DllRegisterServer()
{
    const std::wstring path = modulePath();
    if (path.empty())
        return HRESULT_FROM_WIN32(GetLastError());
    const std::wstring server = kClassKey + L"\\InprocServer32";
    HRESULT result = S_OK;
    for (HRESULT step : {setText(kClassKey, nullptr, L"rastrex XWD thumbnail handler"),
                         setText(server, nullptr, path), setText(server, L"ThreadingModel", L"Apartment"),
                         setText(kHandlerKey, nullptr, kThumbnailClsidText),
                         setText(kTypeKey, L"PerceivedType", kPerceivedType),
                         setText(kTypeKey, L"Content Type", kContentType)})
        if (FAILED(step) && SUCCEEDED(result))
            result = step;
    if (FAILED(result)) {
        DllUnregisterServer();
        return result;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}

// Takes away what DllRegisterServer wrote, leaving what other programs set
// for .xwd files.
STDAPI DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
    removeIfOurs(kHandlerKey, nullptr, kThumbnailClsidText);
    removeIfEmpty(kHandlerKey);
    removeIfEmpty(kTypeKey + L"\\ShellEx");
    removeIfOurs(kTypeKey, L"PerceivedType", kPerceivedType);
    removeIfOurs(kTypeKey, L"Content Type", kContentType);
    removeIfEmpty(kTypeKey);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}
