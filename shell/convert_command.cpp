// The verb's IExplorerCommand. Registered as the ExplorerCommandHandler of
// a verb key, it is handed the whole selection as one IShellItemArray in
// one Invoke, however many files are selected: the shell's limit of 15
// items (MultiSelectModel) is for verbs it runs once per file, by their
// command line or DDE, not for a command object.
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <atomic>
#include <new>

#include "convert_verb.h"

// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace rastrex::shell {

namespace {

// The file-system paths of `items`, in their order. Items that are no file
// (a member of a zip folder, a phone's storage) have none and are left out:
// the program is told about the files it can read.
std::vector<std::wstring> pathsOf(IShellItemArray* items)
{
    std::vector<std::wstring> paths;
    DWORD count = 0;
    if (items == nullptr || FAILED(items->GetCount(&count)))
        return paths;
    paths.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        IShellItem* item = nullptr;
        if (FAILED(items->GetItemAt(i, &item)))
            continue;
        wchar_t* path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            paths.emplace_back(path);
            CoTaskMemFree(path);
        }
        item->Release();
    }
    return paths;
}

class ConvertVerb final : public IExplorerCommand {
public:
    ConvertVerb() { addVerbReference(); }
    ConvertVerb(const ConvertVerb&) = delete;
    ConvertVerb& operator=(const ConvertVerb&) = delete;

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IExplorerCommand) {
            *object = static_cast<IExplorerCommand*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++count_); }
    IFACEMETHODIMP_(ULONG) Release() override
    {
        const long left = --count_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    IFACEMETHODIMP GetTitle(IShellItemArray*, LPWSTR* name) override
    {
        return SHStrDupW(kConvertVerbTitle, name);
    }
    IFACEMETHODIMP GetIcon(IShellItemArray*, LPWSTR* icon) override { return none(icon); }
    IFACEMETHODIMP GetToolTip(IShellItemArray*, LPWSTR* tip) override { return none(tip); }
    IFACEMETHODIMP GetCanonicalName(GUID* name) override
    {
        if (name == nullptr)
            return E_POINTER;
        *name = kConvertVerbClsid;
        return S_OK;
    }
    // Offered for every selection of .xwd files (the verb is registered for
    // them alone); a selection without a dump is told so by the program.
    IFACEMETHODIMP GetState(IShellItemArray*, BOOL, EXPCMDSTATE* state) override
    {
        if (state == nullptr)
            return E_POINTER;
        *state = ECS_ENABLED;
        return S_OK;
    }
    IFACEMETHODIMP Invoke(IShellItemArray* items, IBindCtx*) override
    {
        const Launch launch = launchConverter(besideModule(verbModule, kConverterFileName), pathsOf(items));
        if (FAILED(launch.result))
            MessageBoxW(nullptr, launch.failure.c_str(), kConvertVerbTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        return launch.result;
    }
    IFACEMETHODIMP GetFlags(EXPCMDFLAGS* flags) override
    {
        if (flags == nullptr)
            return E_POINTER;
        *flags = ECF_DEFAULT;
        return S_OK;
    }
    IFACEMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override
    {
        if (commands != nullptr)
            *commands = nullptr;
        return E_NOTIMPL;
    }

private:
    ~ConvertVerb() { releaseVerbReference(); }
    static HRESULT none(LPWSTR* text)
    {
        if (text != nullptr)
            *text = nullptr;
        return E_NOTIMPL;
    }
    std::atomic<long> count_{1};
};

}  // namespace

HRESULT createConvertVerb(REFIID riid, void** object)
{
    auto* verb = new (std::nothrow) ConvertVerb();
    if (verb == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = verb->QueryInterface(riid, object);
    verb->Release();
    return result;
}

}  // namespace rastrex::shell
