// RASTREX.DLL as a Windows program binds it: loaded by its file name at run
// time, fnRastrex looked up by its plain name, and called as a 32-bit host
// calls it (a stack aligned to 4 bytes, paths in the ANSI code page), every
// result given and the caller's stack left where it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

class Library : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryA("RASTREX.DLL");
        ASSERT_NE(module, nullptr) << "LoadLibraryA failed: " << GetLastError();
    }
    void TearDown() override
    {
        if (module != nullptr)
            FreeLibrary(module);
    }
    RastrexFn entry() const
    {
        return reinterpret_cast<RastrexFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "fnRastrex")));
    }

    HMODULE module = nullptr;
    TempDir dir;
};

TEST_F(Library, ExportsFnRastrexByItsPlainNameOnly)
{
    EXPECT_NE(entry(), nullptr);
    for (const char* decorated : {"fnRastrex@8", "_fnRastrex@8", "_fnRastrex"})
        EXPECT_EQ(GetProcAddress(module, decorated), nullptr) << decorated;
}

#if defined(__i386__)
// Calls fn with the stack pointer at `align` modulo 16 where fn starts (a
// 32-bit Windows host keeps it aligned to 4 bytes only); `moved` is how far
// the call left the stack pointer: 0 under __stdcall, 8 if the callee left
// its arguments.
extern "C" std::int32_t rastrexCallAt(RastrexFn, const char*, const char*, std::uint32_t below,
                                      std::int32_t* moved);
asm(".text\n.globl _rastrexCallAt\n_rastrexCallAt:\n"
    " pushl %ebp\n movl %esp, %ebp\n andl $-16, %esp\n subl 20(%ebp), %esp\n"
    " movl 24(%ebp), %ecx\n movl %esp, (%ecx)\n pushl 16(%ebp)\n pushl 12(%ebp)\n"
    " call *8(%ebp)\n movl 24(%ebp), %ecx\n subl %esp, (%ecx)\n leave\n ret\n");
const std::uint32_t kEntryAlignments[] = {4, 0, 8, 12};
#define CALL_AT(fn, in, out, align, moved) rastrexCallAt(fn, in, out, (20 - (align)) % 16, &(moved))
#else
const std::uint32_t kEntryAlignments[] = {8};  // the 64-bit convention's only one
#define CALL_AT(fn, in, out, align, moved) ((moved) = 0, (fn)(in, out))
#endif

// Every result, with the paths in code page 932 (Japanese names), at every
// alignment of the stack: the bitmap written, its folder missing, the dump
// missing, empty, and claiming more than can be held.
struct HostCase {
    const char* name;
    const char* bitmapFolder;  // under the test's folder; "" for itself
    std::size_t keptBytes;     // of the dump's bytes; SIZE_MAX for all, 0 for no file
    std::uint32_t height;      // claimed, of 40-pixel rows
    std::int32_t result;
};

const HostCase kHostCases[] = {
    {"written", "", SIZE_MAX, 3, RASTREX_OK},
    {"input cannot be opened", "", 0, 3, RASTREX_ERR_OPEN_INPUT},
    {"output cannot be written", "\u7121\u3044\u30d5\u30a9\u30eb\u30c0", SIZE_MAX, 3, RASTREX_ERR_WRITE_OUTPUT},
    {"nothing could be read", "", 1, 3, RASTREX_ERR_READ_INPUT},
    {"too large", "", SIZE_MAX, 1u << 25, RASTREX_ERR_NO_MEMORY},
};

TEST_F(Library, EveryResultForAJapaneseHostAtAnyStackAlignment)
{
    ASSERT_EQ(GetACP(), 932u) << "the test needs code page 932 as the process's ANSI code page"
                                 " (under Wine: LC_ALL=ja_JP.UTF-8)";
    const RastrexFn fn = entry();
    ASSERT_NE(fn, nullptr);
    const fs::path folder = dir.path() / fs::path(u8"\u5909\u63db\u30c6\u30b9\u30c8");
    fs::create_directory(folder);
    const fs::path xwd = folder / fs::path(u8"\u5165\u529b.xwd");
    for (const HostCase& c : kHostCases) {
        for (const std::uint32_t align : kEntryAlignments) {
            SCOPED_TRACE(std::string(c.name) + ", stack at " + std::to_string(align) + " modulo 16");
            const fs::path bmp = folder / fs::path(reinterpret_cast<const char8_t*>(c.bitmapFolder)) /
                                 fs::path(u8"\u51fa\u529b.bmp");
            fs::remove(xwd), fs::remove(bmp);
            if (c.keptBytes != 0) {
                XwdRecipe r = canonicalDump(40, 3, patternPixel);
                r.word(5) = c.height;
                Bytes bytes = r.bytes();
                bytes.resize(std::min(bytes.size(), c.keptBytes));
                writeFile(xwd, bytes);
            }
            std::int32_t moved = -1;
            EXPECT_EQ(CALL_AT(fn, nativePath(xwd).c_str(), nativePath(bmp).c_str(), align, moved),
                      c.result);
            EXPECT_EQ(moved, 0) << "the call left the stack pointer moved";
            EXPECT_EQ(fs::exists(bmp), c.result == RASTREX_OK);
            if (c.result == RASTREX_OK) {
                EXPECT_EQ(parseBmp(readFile(bmp)).at(39, 2), patternPixel(39, 2));
            }
        }
    }
}

TEST_F(Library, CarriesItsVersionResource)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    ASSERT_GT(n, 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    for (const char* field : {"FileVersion", "ProductName", "FileDescription"}) {
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + field;
        char* text = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length))
            << field;
        EXPECT_GT(length, 1u) << field;
        if (std::string(field) == "FileVersion") {
            EXPECT_STREQ(text, RASTREX_VERSION);
        }
    }
}

}  // namespace
