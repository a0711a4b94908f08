// Runs the tests with an application object (the library is found beside
// the executable) and a private trash, so no test touches the user's own.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app_test_support.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    rastrex::test::usePrivateTrash(home);
    return RUN_ALL_TESTS();
}
