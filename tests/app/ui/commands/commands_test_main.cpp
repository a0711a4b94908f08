// Widget tests without a display, with a private trash.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app_test_support.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    rastrex::test::usePrivateTrash(home);
    return RUN_ALL_TESTS();
}
