// Takes the screenshots of docs/: the main window opened on a folder and
// its version window, each grabbed as the screen shows it. Run under a
// display with the Japanese fonts installed, e.g.
//   cd samples && xvfb-run -a -s "-screen 0 1024x768x24" ../build/bin/ui_screenshots ../docs
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <cstdio>

#include "main_form.h"
#include "ui_test_support.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: ui_screenshots OUTPUT-FOLDER (run in the folder to show)\n", stderr);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    rastrex::uitest::RecordingDialogs dialogs;
    rastrex::uitest::RecordingLibrary library;
    rastrex::uitest::RecordingTrash trash;
    rastrex::MainForm form(rastrex::AppServices{dialogs, library, trash});
    form.show();
    form.StatusBar1->setPanelText(2, form.File1->itemText(0));
    QApplication::processEvents();
    bool ok = form.grab().save(out + QStringLiteral("/main-window.png"));

    form.menuVersion_Click();
    QApplication::processEvents();
    ok = form.aboutForm()->grab().save(out + QStringLiteral("/version-window.png")) && ok;
    return ok ? 0 : 1;
}
