// Starting rastrex-convert.exe for a selection: one process, its standard
// input the read end of an anonymous pipe (the only handle it inherits),
// the names written to it as UTF-16 with its byte-order mark. No temporary
// file, and no command line to outgrow.
#include <algorithm>

#include "com_server.h"
#include "convert_verb.h"

namespace rastrex::shell {

namespace {

// The system's text for `code`, in the user's language, and its number.
std::wstring systemText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = n > 0 ? std::wstring(text, n) : std::wstring();
    LocalFree(text);
    while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' '))
        out.pop_back();
    return out + L" (エラー " + std::to_wstring(code) + L")";
}

Launch failed(const std::wstring& what, DWORD code)
{
    return {HRESULT_FROM_WIN32(code), what + L"\n" + systemText(code)};
}

// The folder part of `path`, without its last separator.
std::wstring folderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Writes all of `bytes` to `pipe`; the system's error, or 0.
DWORD writeAll(HANDLE pipe, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(pipe, bytes.data() + done, chunk, &wrote, nullptr))
            return GetLastError();
        done += wrote;
    }
    return 0;
}

}  // namespace

std::string listBytes(const std::vector<std::wstring>& paths)
{
    std::string bytes = "\xFF\xFE";
    const auto put = [&bytes](wchar_t c) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    };
    for (const std::wstring& path : paths) {
        for (wchar_t c : path)
            put(c);
        put(L'\n');
    }
    return bytes;
}

std::wstring besideModule(HMODULE module, const wchar_t* name)
{
    const std::wstring path = modulePath(module);
    return path.empty() ? std::wstring() : folderOf(path) + L"\\" + name;
}

Launch launchConverter(const std::wstring& program, const std::vector<std::wstring>& paths)
{
    const std::string bytes = listBytes(paths);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    // A pipe that holds the whole list (up to a megabyte) lets Explorer go
    // on at once; a longer one is written as the program reads it.
    const DWORD room = static_cast<DWORD>(std::clamp<std::size_t>(bytes.size(), 4096, 1u << 20));
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, room))
        return failed(L"ファイルの名前を渡すパイプを作れませんでした。", GetLastError());

    // The program inherits the pipe's read end and nothing else of Explorer's;
    // the write end is never inheritable, so that no other program Explorer
    // starts meanwhile keeps the list from ending.
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::string listStore(listSize, '\0');
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listStore.data());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &listSize) ||
        !UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &readEnd, sizeof readEnd, nullptr,
                                   nullptr)) {
        const DWORD error = GetLastError();
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return failed(L"変換プログラムを起動する準備ができませんでした。", error);
    }
    STARTUPINFOEXW info{};
    info.StartupInfo.cb = sizeof info;
    info.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    info.StartupInfo.hStdInput = readEnd;
    info.lpAttributeList = attributes;
    std::wstring commandLine = L"\"" + program + L"\" --files-from=-";
    const std::wstring folder = folderOf(program);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        EXTENDED_STARTUPINFO_PRESENT | CREATE_DEFAULT_ERROR_MODE, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &info.StartupInfo, &process);
    const DWORD startError = GetLastError();
    DeleteProcThreadAttributeList(attributes);
    CloseHandle(readEnd);
    if (!started) {
        CloseHandle(writeEnd);
        return failed(L"変換プログラムを起動できませんでした:\n" + program, startError);
    }
    // Its window may come to the front, above Explorer's.
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    const DWORD writeError = writeAll(writeEnd, bytes);
    // A list cut short is never converted: the program ends before it sees
    // the list's end.
    if (writeError != 0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(writeEnd);
    CloseHandle(process.hProcess);
    if (writeError != 0)
        return failed(L"変換するファイルの名前を変換プログラムに渡せませんでした。", writeError);
    return {};
}

}  // namespace rastrex::shell
