// Takes the screenshots of docs/: the main window opened on a folder, its
// version window, the question asked before a move to the trash and the
// report of a dump cut short, each grabbed as the screen shows it. Run under a
// display with the Japanese fonts installed, e.g.
//   cd samples && xvfb-run -a -s "-screen 0 1024x768x24" ../build/bin/ui_screenshots ../docs
// With a NAME after the folder it takes instead NAME.png, the whole screen
// with the main window where it opened, and NAME-version.png, its version
// window (scripts/screenshots.sh, at QT_SCALE_FACTOR=2).
#include <QApplication>
#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "dump_probe.h"
#include "single_conversion.h"
#include "ui_test_support.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: ui_screenshots OUTPUT-FOLDER [NAME] (run in the folder to show)\n", stderr);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString screenName = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    rastrex::qt::QtToolkit toolkit;
    rastrex::test::RecordingLibrary library;
    rastrex::test::FolderRecycleBin trash((QDir::tempPath() + QStringLiteral("/rastrex-screenshot-trash")).toStdString());
    rastrex::SystemFileSystem files;
    rastrex::MainForm form(toolkit, rastrex::AppServices{library, trash, files});
    form.show();
    form.StatusBar1->setPanelText(2, form.File1->list(0));
    QApplication::processEvents();
    auto& main = static_cast<rastrex::qt::QtWindow&>(form.window());
    if (!screenName.isEmpty()) {
        bool ok = main.widget()->screen()->grabWindow(0).save(out + QLatin1Char('/') + screenName + QStringLiteral(".png"));
        form.menuVersion_Click();
        QApplication::processEvents();
        auto& about = static_cast<rastrex::qt::QtWindow&>(form.aboutForm()->window());
        ok = about.widget()->grab().save(out + QLatin1Char('/') + screenName + QStringLiteral("-version.png")) && ok;
        return ok ? 0 : 1;
    }
    bool ok = main.widget()->grab().save(out + QStringLiteral("/main-window.png"));

    form.menuVersion_Click();
    QApplication::processEvents();
    auto& about = static_cast<rastrex::qt::QtWindow&>(form.aboutForm()->window());
    ok = about.widget()->grab().save(out + QStringLiteral("/version-window.png")) && ok;

    // Grabs the box the next call shows, as `name`, and closes it.
    const auto grabBox = [&ok, &out](const QString& name) {
        QTimer::singleShot(0, [&ok, &out, name] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                ok = false;
                return;
            }
            ok = box->grab().save(out + QLatin1Char('/') + name) && ok;
            box->buttons().front()->click();
        });
    };
    const std::string file = form.Dir1->path() + "/" + form.File1->list(0);
    grabBox(QStringLiteral("question-box.png"));
    toolkit.messageBox().ask(file + " を\rごみ箱に移動するよ？");

    rastrex::DumpProbe cut;
    cut.state = rastrex::DumpProbe::State::EndsEarly;
    cut.width = 1280;
    cut.height = 1024;
    cut.wholeRows = 531;
    grabBox(QStringLiteral("short-dump-box.png"));
    toolkit.messageBox().report(rastrex::endsEarlyText(file, cut));
    return ok ? 0 : 1;
}
