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

}  // namespace
