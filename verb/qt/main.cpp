// rastrex-convert on Linux: converts the dumps a file manager hands over
// ("Open With", Exec=rastrex-convert %F), with a Qt progress window, one
// question before any bitmap is replaced and one summary. The run goes on
// a thread of its own; the UI thread only answers the window system.
#include <iostream>
#include <thread>

#include <QApplication>
#include <QMetaObject>

#include "no_display.h"
#include "qt_verb_ui.h"
#include "stream.h"

int main(int argc, char** argv)
{
    if (!rastrex::qt::displayAvailable()) {
        rastrex::qt::sayNoDisplay(argc > 0 ? argv[0] : nullptr, "rastrex-convert");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rastrex-convert"));
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> args(argv + 1, argv + argc);

    rastrex::verb::qt::ProgressWindow window;
    rastrex::verb::qt::QtVerbUi ui(window, rastrex::verb::qt::scriptedAnswer(), std::cout);
    window.show();
    int status = 0;
    std::jthread run([&] {
        status = static_cast<int>(rastrex::verb::runVerb(args, &rastrex::cli::standardInput(), ui));
        QMetaObject::invokeMethod(&app, [] { QApplication::exit(); }, Qt::QueuedConnection);
    });
    app.exec();
    run.join();
    std::cout.flush();
    return status;
}
