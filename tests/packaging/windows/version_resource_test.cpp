// The version resources of the installed files: the release in numbers and
// in words, the publisher and the copyright, as Explorer's file properties
// and the installer read them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string besideThisProgram(const char* name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + name;
}

struct Expected {
    const char* file;
    const char* internalName;
};

class VersionResource : public testing::TestWithParam<Expected> {};

TEST_P(VersionResource, NamesTheReleaseThePublisherAndTheCopyright)
{
    const Expected want = GetParam();
    const std::string path = besideThisProgram(want.file);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << path << " has no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD ms = (RASTREX_VERSION_MAJOR << 16) | RASTREX_VERSION_MINOR;
    const DWORD ls = static_cast<DWORD>(RASTREX_VERSION_PATCH) << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);

    // The strings are read in the block the file's translation names.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04X%04X\\", translation[0], translation[1]);
    const auto text = [&](const char* field) {
        char* value = nullptr;
        UINT chars = 0;
        if (!VerQueryValueA(info.data(), (std::string(block) + field).c_str(), reinterpret_cast<void**>(&value),
                            &chars) || value == nullptr)
            return std::string("(none)");
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), RASTREX_VERSION);
    EXPECT_EQ(text("ProductVersion"), RASTREX_VERSION);
    EXPECT_EQ(text("ProductName"), "rastrex");
    EXPECT_EQ(text("CompanyName"), RASTREX_PUBLISHER);
    EXPECT_EQ(text("LegalCopyright"), RASTREX_COPYRIGHT);
    EXPECT_EQ(text("OriginalFilename"), want.file);
    EXPECT_EQ(text("InternalName"), want.internalName);
    EXPECT_GT(text("FileDescription").size(), 10u) << text("FileDescription");
}

INSTANTIATE_TEST_SUITE_P(InstalledFiles, VersionResource,
                         testing::Values(Expected{"rastrex.exe", "rastrex"}, Expected{"xwd2bmp.exe", "xwd2bmp"},
                                         Expected{"RASTREX.DLL", "RASTREX"}));

}  // namespace
