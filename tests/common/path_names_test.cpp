#include <gtest/gtest.h>

#include "path_names.h"

namespace {

// The folder prefix a name follows, and the last name of a path: one table
// for the window, its system layer and xwd2bmp, which all use these.
TEST(PathNames, PrefixAndLastName)
{
    struct Case {
        const char* path;
        const char* prefix;    // folderPrefix(path)
        const char* lastName;  // lastName(path)
    };
#if defined(_WIN32)
    const Case cases[] = {
        {"C:\\", "C:\\", ""},
        {"C:\\data", "C:\\data\\", "data"},
        {"D:\\usb\\", "D:\\usb\\", ""},
        {"C:/data/a.xwd", "C:/data/a.xwd\\", "a.xwd"},
        {"C:a.xwd", "C:a.xwd\\", "a.xwd"},  // relative to drive C's folder
        {"\\\\server\\share", "\\\\server\\share\\", "share"},
        {"a.xwd", "a.xwd\\", "a.xwd"},
    };
#else
    const Case cases[] = {
        {"/", "/", ""},
        {"/data", "/data/", "data"},
        {"/media/usb/", "/media/usb/", ""},
        {"/data/a\\b.xwd", "/data/a\\b.xwd/", "a\\b.xwd"},  // a backslash is part of a name
        {"a.xwd", "a.xwd/", "a.xwd"},
    };
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(rastrex::folderPrefix(c.path), c.prefix) << c.path;
        EXPECT_EQ(rastrex::lastName(c.path), c.lastName) << c.path;
    }
}

// The folder part of a path and the name after it, for the separators the
// caller names, as the file writers and the system layers use it.
TEST(PathNames, CutAtLastSeparator)
{
    struct Case {
        const char* path;
        const char* separators;
        const char* folder;
        const char* name;
        bool inFolder;
        const char* posixFolder;  // posixFolderOf(path)
    } const cases[] = {
        {"/data/a.xwd", "/", "/data", "a.xwd", true, "/data"},
        {"/a.xwd", "/", "", "a.xwd", true, "/"},
        {"a.xwd", "/", "", "a.xwd", false, "."},
        {"d/", "/", "d", "", true, "d"},
        {"C:\\x\\y/a.xwd", "\\/", "C:\\x\\y", "a.xwd", true, "C:\\x\\y"},
        {"C:\\x\\y/a.xwd", "\\", "C:\\x", "y/a.xwd", true, "C:\\x\\y"},
    };
    for (const Case& c : cases) {
        const auto cut = rastrex::cutAtLastSeparator(std::string_view(c.path), c.separators);
        EXPECT_EQ(cut.folder, c.folder) << c.path;
        EXPECT_EQ(cut.name, c.name) << c.path;
        EXPECT_EQ(cut.inFolder, c.inFolder) << c.path;
        EXPECT_EQ(rastrex::posixFolderOf(c.path), c.posixFolder) << c.path;
    }
    const auto wide = rastrex::cutAtLastSeparator(std::wstring_view(L"\\\\?\\C:\\d\\b.bmp"), L"\\");
    EXPECT_EQ(wide.folder, L"\\\\?\\C:\\d");
    EXPECT_EQ(wide.name, L"b.bmp");
}

}  // namespace
