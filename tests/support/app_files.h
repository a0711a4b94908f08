// Files for the window's tests: small dumps told apart by a seed, their
// bitmaps, plain files, and the real conversion library from beside the
// test executable (loaded as the program loads it, never linked).
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "path_rules.h"
#include "runtime_library.h"
#include "xwd_recipe.h"

namespace rastrex::test {

inline Bytes dumpBytes(std::uint32_t width, std::uint32_t height, std::uint8_t seed = 0)
{
    return canonicalDump(width, height, [seed](std::uint32_t x, std::uint32_t y) {
               Rgb c = patternPixel(x, y);
               c.r = static_cast<std::uint8_t>(c.r + seed);
               return c;
           }).bytes();
}

inline void writeDump(const std::string& path, std::uint32_t width = 3, std::uint32_t height = 2,
                      std::uint8_t seed = 0)
{
    writeFile(path, dumpBytes(width, height, seed));
}

// True when the bitmap at `bmpPath` shows the picture writeDump made with
// the same arguments.
inline bool isBitmapOf(const std::string& bmpPath, std::uint32_t width = 3, std::uint32_t height = 2,
                       std::uint8_t seed = 0)
{
    try {
        const Bitmap bmp = parseBmp(readFile(bmpPath));
        if (bmp.width != width || bmp.height != height)
            return false;
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                Rgb c = patternPixel(x, y);
                c.r = static_cast<std::uint8_t>(c.r + seed);
                if (!(bmp.at(x, y) == c))
                    return false;
            }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

inline void writeText(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

inline std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// A folder nested under `base` until its path passes `length` characters
// (Windows' MAX_PATH is 260), with one file `name` in it. Windows makes,
// writes and removes it through "\\?\" forms, which std::filesystem does not
// use there; the paths are ASCII.
class DeepFolder {
public:
    DeepFolder(const std::filesystem::path& base, std::size_t length, const std::string& name, const Bytes& data)
    {
        for (std::string path = base.string(); path.size() < length;) {
            path += kFolderSeparator + std::string(40, 'd');
            levels_.push_back(path);
#if defined(_WIN32)
            CreateDirectoryW(longForm(path).c_str(), nullptr);
#else
            std::filesystem::create_directory(path);
#endif
        }
        file_ = levels_.back() + kFolderSeparator + name;
#if defined(_WIN32)
        HANDLE h = CreateFileW(longForm(file_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(h);
#else
        writeFile(file_, data);
#endif
    }
    ~DeepFolder()
    {
#if defined(_WIN32)
        DeleteFileW(longForm(file_).c_str());
        for (auto level = levels_.rbegin(); level != levels_.rend(); ++level)
            RemoveDirectoryW(longForm(*level).c_str());
#else
        std::error_code ec;
        std::filesystem::remove_all(levels_.front(), ec);
#endif
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    const std::string& path() const { return levels_.back(); }
    const std::string& file() const { return file_; }

private:
#if defined(_WIN32)
    static std::wstring longForm(const std::string& path)
    {
        return L"\\\\?\\" + std::wstring(path.begin(), path.end());
    }
#endif
    std::vector<std::string> levels_;
    std::string file_;
};

// The folder of the running test executable.
inline std::string executableFolder()
{
#if defined(_WIN32)
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::filesystem::path(std::string(buffer, n)).parent_path().string();
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
#endif
}

// The conversion library's file name on this platform.
#if defined(_WIN32)
inline const std::string kLibraryFile = "RASTREX.DLL";
#else
inline const std::string kLibraryFile = "libRASTREX.so";
#endif

inline RuntimeConverterLibrary& realLibrary()
{
    static RuntimeConverterLibrary library(kLibraryFile, {executableFolder() + kFolderSeparator + kLibraryFile});
    return library;
}

}  // namespace rastrex::test
