// The verb's launch of rastrex-convert.exe, with this test program standing
// in for it: started with --files-from=- and RASTREX_VERB_TEST_COPY naming a
// file, it copies its standard input there. The list's bytes are checked
// against the encoding xwd2bmp's list decoder reads.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert_verb.h"

namespace {

using rastrex::shell::launchConverter;
using rastrex::shell::listBytes;

constexpr wchar_t kCopyVariable[] = L"RASTREX_VERB_TEST_COPY";

std::wstring ownPath()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Waits for the processes this one started to end.
void waitForChildren()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId())
            continue;
        if (const HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            WaitForSingleObject(child, INFINITE);
            CloseHandle(child);
        }
    }
    CloseHandle(snapshot);
}

std::string readFile(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring scratchFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"vrb", 0, name);
    return name;
}

struct ListCase {
    const char* what;
    std::vector<std::wstring> paths;
    std::string bytes;
};

class ListBytes : public testing::TestWithParam<ListCase> {};

TEST_P(ListBytes, AreUtf16LittleEndianAfterTheMarkOneNameALine)
{
    EXPECT_EQ(listBytes(GetParam().paths), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListBytes,
    testing::Values(ListCase{"none", {}, std::string("\xFF\xFE", 2)},
                    ListCase{"ascii", {L"a.x"}, std::string("\xFF\xFE" "a\0.\0x\0\n\0", 10)},
                    // ダ is U+30C0: its low byte first.
                    ListCase{"japanese, two names", {L"\u30C0", L"b"}, std::string("\xFF\xFE\xC0\x30\n\0b\0\n\0", 10)},
                    // A character past U+FFFF is its surrogate pair.
                    ListCase{"surrogate pair", {L"\U0001F600"}, std::string("\xFF\xFE\x3D\xD8\x00\xDE\n\0", 8)}));

TEST(Launch, AMissingProgramIsReportedWithItsPathAndTheSystemsReason)
{
    const std::wstring missing = L"C:\\no such folder\\rastrex-convert.exe";
    const rastrex::shell::Launch launch = launchConverter(missing, {L"C:\\a.xwd"});
    EXPECT_TRUE(FAILED(launch.result));
    EXPECT_NE(launch.failure.find(missing), std::wstring::npos);
    EXPECT_NE(launch.failure.find(L"起動できませんでした"), std::wstring::npos);
    EXPECT_NE(launch.failure.find(L"(エラー "), std::wstring::npos);
}

// One process gets the whole list, long and non-ASCII names among many.
TEST(Launch, TheProgramReadsEveryNameOnItsStandardInput)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < 40; ++i)
        paths.push_back(L"C:\\ダンプ\\" + std::wstring(static_cast<std::size_t>(i) * 9, L'長') + L"_" +
                        std::to_wstring(i) + L".xwd");
    const std::wstring copy = scratchFile();
    SetEnvironmentVariableW(kCopyVariable, copy.c_str());
    const rastrex::shell::Launch launch = launchConverter(ownPath(), paths);
    SetEnvironmentVariableW(kCopyVariable, nullptr);
    EXPECT_EQ(launch.result, S_OK) << std::string(launch.failure.begin(), launch.failure.end());
    waitForChildren();
    EXPECT_EQ(readFile(copy), listBytes(paths));
    DeleteFileW(copy.c_str());
}

// A program that ends without reading its list fails the launch: the list
// does not fit the pipe, and the writer is told.
TEST(Launch, AProgramThatReadsNoListIsAFailure)
{
    const std::vector<std::wstring> paths(40000, std::wstring(30, L'x'));
    SetEnvironmentVariableW(kCopyVariable, L"-");
    const rastrex::shell::Launch launch = launchConverter(ownPath(), paths);
    SetEnvironmentVariableW(kCopyVariable, nullptr);
    waitForChildren();
    EXPECT_TRUE(FAILED(launch.result));
    EXPECT_NE(launch.failure.find(L"渡せませんでした"), std::wstring::npos);
}

}  // namespace

// Standing in for rastrex-convert.exe: copies standard input to the file
// RASTREX_VERB_TEST_COPY names, or reads nothing when it is "-".
int main(int argc, char** argv)
{
    wchar_t target[32768] = {};
    if (argc == 2 && std::string(argv[1]) == "--files-from=-" &&
        GetEnvironmentVariableW(kCopyVariable, target, 32768) > 0) {
        if (std::wstring(target) == L"-")
            return 0;
        std::string bytes;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        std::ofstream(std::filesystem::path(target), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
