#include <gtest/gtest.h>

#include "pane_paths.h"

namespace rastrex {
namespace {

TEST(FolderPrefix, AddsOneSeparatorUnlessThereIsOne)
{
    const std::pair<QString, QString> cases[] = {
        {"/", "/"},
        {"/data", "/data/"},
        {"/media/usb/", "/media/usb/"},
    };
    for (const auto& [folder, prefix] : cases)
        EXPECT_EQ(folderPrefix(folder), prefix) << folder.toStdString();
}

struct DropCase {
    QString path;
    QString volumeRoot;
    QString folder;
};

TEST(DropFolderFor, IsTheFolderHoldingTheDroppedItem)
{
    const DropCase cases[] = {
        {"/data/shots/a.xwd", "/", "/data/shots"},
        {"/a.xwd", "/", "/"},                               // a file in the root
        {"/media/usb/a.xwd", "/media/usb", "/media/usb"},
        {"/media/usb/a.xwd", "/media/usb/", "/media/usb"},
        {"/data/shots/", "/", "/data"},                      // a dropped folder
        {"/data", "/", "/"},
        {"/data/a.xwd", "", ""},                             // on no listed volume
        {"a.xwd", "/", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dropFolderFor(c.path, c.volumeRoot), c.folder)
            << c.path.toStdString() << " on " << c.volumeRoot.toStdString();
}

}  // namespace
}  // namespace rastrex
