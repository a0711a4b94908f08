// What an in-process COM server of one class needs around it: its class
// factory, the answer of DllGetClassObject, and the DLL's own path. Both
// shell DLLs (the thumbnail handler and the verb) are such servers.
#pragma once

#include <objbase.h>

#include <string>

// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace rastrex::shell {

// The factory of the one class a DLL serves: `create` makes an instance,
// `lock` and `unlock` count LockServer's holds on the DLL.
template <HRESULT (*create)(REFIID, void**), void (*lock)(), void (*unlock)()>
class OneClassFactory : public IClassFactory {
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
        return outer != nullptr ? CLASS_E_NOAGGREGATION : create(riid, object);
    }
    IFACEMETHODIMP LockServer(BOOL hold) override
    {
        hold ? lock() : unlock();
        return S_OK;
    }
};

// DllGetClassObject of a DLL that serves `served` through `factory`.
inline HRESULT classObject(REFCLSID clsid, REFCLSID served, IClassFactory& factory, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (clsid != served)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, object);
}

// The full path of `dll`, however long; empty when the system does not
// give it.
inline std::wstring modulePath(HMODULE dll)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(dll, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace rastrex::shell

#pragma GCC diagnostic pop
