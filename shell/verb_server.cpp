// The COM server around the verb: its class factory and the exports the
// system calls. The installer registers the class and the verb; the DLL
// writes no keys of its own.
#include <objbase.h>

#include <atomic>

#include "com_server.h"
#include "convert_verb.h"

namespace rastrex::shell {

HMODULE verbModule = nullptr;

namespace {

std::atomic<long> references{0};

OneClassFactory<createConvertVerb, addVerbReference, releaseVerbReference> factory;

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
    return classObject(clsid, kConvertVerbClsid, factory, riid, object);
}

STDAPI DllCanUnloadNow() { return references == 0 ? S_OK : S_FALSE; }
