// RASTREX.DLL as a Windows program binds it: loaded by its file name at run
// time, fnRastrex looked up by its plain name, and called through the
// header's function type many times without the caller's stack moving.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "rastrex.h"
#include "xwd_recipe.h"

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

// The stack pointer of this frame.
#if defined(__i386__)
#define READ_STACK_POINTER(into) asm volatile("movl %%esp, %0" : "=r"(into))
#else
#define READ_STACK_POINTER(into) asm volatile("movq %%rsp, %0" : "=r"(into))
#endif

// Calls `fn` `times` times; the stack pointer before and after the calls.
// A caller and a callee that disagree on who removes the arguments move it
// by the arguments' size at every call.
__attribute__((noinline)) std::pair<std::uintptr_t, std::uintptr_t>
callRepeatedly(RastrexFn fn, const char* in, const char* out, int times, std::int32_t& last)
{
    std::uintptr_t before = 0, after = 0;
    READ_STACK_POINTER(before);
    for (int i = 0; i < times; ++i)
        last = fn(in, out);
    READ_STACK_POINTER(after);
    return {before, after};
}

TEST_F(Library, ConvertsAndKeepsTheCallersStackOverManyCalls)
{
    const RastrexFn fn = entry();
    ASSERT_NE(fn, nullptr);
    writeFile(dir / "in.xwd", canonicalDump(5, 3, patternPixel).bytes());
    const std::string in = nativePath(dir / "in.xwd"), out = nativePath(dir / "out.bmp");
    ASSERT_EQ(fn(in.c_str(), out.c_str()), RASTREX_OK);
    EXPECT_EQ(parseBmp(readFile(dir / "out.bmp")).at(4, 2), patternPixel(4, 2));

    // Failing calls are the quick ones: 2,000 of them, then a conversion.
    const std::string missing = nativePath(dir / "absent.xwd");
    std::int32_t last = -1;
    const auto [before, after] = callRepeatedly(fn, missing.c_str(), out.c_str(), 2000, last);
    EXPECT_EQ(last, RASTREX_ERR_OPEN_INPUT);
    EXPECT_EQ(before, after) << "the stack moved by " << static_cast<long long>(after - before);
    const auto [before2, after2] = callRepeatedly(fn, in.c_str(), out.c_str(), 20, last);
    EXPECT_EQ(last, RASTREX_OK);
    EXPECT_EQ(before2, after2);
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
