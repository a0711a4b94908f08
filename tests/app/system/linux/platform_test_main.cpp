// Runs the tests with an application object and a private trash (HOME and
// XDG_DATA_HOME inside one temporary folder), so no test touches the user's.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toLocal8Bit());
    QDir().mkpath(home.path() + QStringLiteral("/.local/share"));
    return RUN_ALL_TESTS();
}
