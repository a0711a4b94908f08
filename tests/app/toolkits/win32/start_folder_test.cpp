// Where the window starts: the folder it was started in, unless that is the
// program's own.
#include <gtest/gtest.h>

#include "windows_system.h"

namespace {

// The window starts in the user's Documents when started in its own folder
// (as the installer's shortcuts start it), in any spelling of that folder;
// anywhere else, or without a Documents folder, where it was started.
TEST(StartFolder, IsTheDocumentsOnlyInTheProgramsOwnFolder)
{
    struct Case {
        const char* current;
        const char* program;
        const char* documents;
        const char* start;
    } const cases[] = {
        {"C:\\Program Files\\rastrex", "C:\\Program Files\\rastrex", "C:\\users\\ann\\Documents",
         "C:\\users\\ann\\Documents"},
        {"c:\\PROGRAM FILES\\Rastrex\\", "C:\\Program Files\\rastrex", "D:\\Docs", "D:\\Docs"},
        {"C:\\work\\dumps", "C:\\Program Files\\rastrex", "D:\\Docs", "C:\\work\\dumps"},
        {"C:\\Program Files", "C:\\Program Files\\rastrex", "D:\\Docs", "C:\\Program Files"},
        {"C:\\Program Files\\rastrex\\sub", "C:\\Program Files\\rastrex", "D:\\Docs",
         "C:\\Program Files\\rastrex\\sub"},
        {"C:\\Program Files\\rastrex", "C:\\Program Files\\rastrex", "", "C:\\Program Files\\rastrex"},
        {".", "", "D:\\Docs", "."},  // the program's folder unknown
    };
    for (const Case& c : cases)
        EXPECT_EQ(rastrex::windows::startFolder(c.current, c.program, c.documents), c.start)
            << c.current << " with the program in " << c.program;
}

}  // namespace
