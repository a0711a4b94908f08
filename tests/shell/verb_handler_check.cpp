// The Explorer verb "BMP に変換" invoked as Explorer invokes it: its class
// read from the verb key the installer wrote, created by CLSID, handed the
// dumps named on the command line as one IShellItemArray, asked its title
// and state, and invoked once. Then exactly one rastrex-convert.exe must
// have been started; its end is awaited and its exit status printed.
// usage: verb_handler_check DUMP...   (exit 0 when all of that holds)
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kVerbKey[] = L"SystemFileAssociations\\.xwd\\shell\\rastrex.convert";
constexpr wchar_t kTitle[] = L"BMP に変換";

int fail(const char* what, HRESULT result = S_OK)
{
    std::fprintf(stderr, "verb_handler_check: %s (0x%08lx)\n", what, static_cast<unsigned long>(result));
    return 1;
}

std::wstring classesValue(const wchar_t* name)
{
    wchar_t value[512] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, kVerbKey, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return {};
    return value;
}

// The rastrex-convert.exe processes this one started.
std::vector<DWORD> convertersStarted()
{
    std::vector<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(entry.szExeFile, L"rastrex-convert.exe") == 0)
            found.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

int check(const std::vector<std::wstring>& dumps)
{
    if (classesValue(L"MUIVerb") != kTitle)
        return fail("the verb key's MUIVerb is not the Japanese title");
    CLSID clsid{};
    const std::wstring clsidText = classesValue(L"ExplorerCommandHandler");
    if (FAILED(CLSIDFromString(clsidText.c_str(), &clsid)))
        return fail("the verb key names no ExplorerCommandHandler class");
    IExplorerCommand* command = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IExplorerCommand,
                                  reinterpret_cast<void**>(&command));
    if (FAILED(hr))
        return fail("the verb's class cannot be created", hr);

    std::vector<PIDLIST_ABSOLUTE> ids;
    for (const std::wstring& dump : dumps) {
        PIDLIST_ABSOLUTE id = nullptr;
        if (FAILED(hr = SHParseDisplayName(dump.c_str(), nullptr, &id, 0, nullptr)))
            return fail("a dump has no shell item", hr);
        ids.push_back(id);
    }
    IShellItemArray* items = nullptr;
    hr = SHCreateShellItemArrayFromIDLists(static_cast<UINT>(ids.size()),
                                           const_cast<PCIDLIST_ABSOLUTE_ARRAY>(ids.data()), &items);
    for (PIDLIST_ABSOLUTE id : ids)
        CoTaskMemFree(id);
    DWORD count = 0;
    if (FAILED(hr) || FAILED(items->GetCount(&count)) || count != dumps.size())
        return fail("the selection cannot be made", hr);

    wchar_t* title = nullptr;
    if (FAILED(hr = command->GetTitle(items, &title)) || std::wstring(title) != kTitle)
        return fail("GetTitle gave another title", hr);
    CoTaskMemFree(title);
    EXPCMDSTATE state = ECS_DISABLED;
    if (FAILED(hr = command->GetState(items, TRUE, &state)) || state != ECS_ENABLED)
        return fail("GetState did not offer the verb", hr);
    if (FAILED(hr = command->Invoke(items, nullptr)))
        return fail("Invoke failed", hr);
    items->Release();
    command->Release();

    // The program reads its whole list before it converts, and the list was
    // written before Invoke returned: it is running now.
    const std::vector<DWORD> started = convertersStarted();
    if (started.size() != 1)
        return fail(started.empty() ? "no rastrex-convert.exe was running" : "more than one rastrex-convert.exe");
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, started[0]);
    if (process == nullptr)
        return fail("rastrex-convert.exe cannot be awaited");
    WaitForSingleObject(process, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process, &status);
    CloseHandle(process);
    std::printf("verb_handler_check: %u dumps in one call, rastrex-convert.exe ended with %lu\n",
                static_cast<unsigned>(dumps.size()), static_cast<unsigned long>(status));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return fail("COM did not start");
    const int status = check(std::vector<std::wstring>(argv + 1, argv + argc));
    CoUninitialize();
    return status;
}
