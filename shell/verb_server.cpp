// The COM server around the verb: its class factory and the exports the
// system calls. The installer registers the class and the verb; the DLL
// writes no keys of its own.
#include <objbase.h>

#include <atomic>

#include "convert_verb.h"

// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace rastrex::shell {

HMODULE verbModule = nullptr;

namespace {

std::atomic<long> references{0};

class VerbFactory : public IClassFactory {
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
        return outer != nullptr ? CLASS_E_NOAGGREGATION : createConvertVerb(riid, object);
    }
    IFACEMETHODIMP LockServer(BOOL lock) override
    {
        lock ? addVerbReference() : releaseVerbReference();
        return S_OK;
    }
};

VerbFactory factory;

}  // namespace

void addVerbReference() { ++references; }
void releaseVerbReference() { --references; }

}  // namespace rastrex::shell

using namespace rastrex::shell;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        verbModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kConvertVerbClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() { return references == 0 ? S_OK : S_FALSE; }
