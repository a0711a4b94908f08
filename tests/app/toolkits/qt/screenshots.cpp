// Takes the screenshots of docs/: the main window opened on a folder, its
// version window and the question asked before a move to the trash, each
// grabbed as the screen shows it. Run under a
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

    QTimer::singleShot(0, [&ok, &out] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ok = false;
            return;
        }
        ok = box->grab().save(out + QStringLiteral("/question-box.png")) && ok;
        box->button(QMessageBox::No)->click();
    });
    const std::string file = form.Dir1->path() + "/" + form.File1->list(0);
    toolkit.messageBox().ask(file + " を\rごみ箱に移動するよ？");
    return ok ? 0 : 1;
}
