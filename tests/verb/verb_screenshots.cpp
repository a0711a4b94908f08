// Takes rastrex-convert's screenshots of docs/: its progress window, the
// overwrite question and the summary, each grabbed as the screen shows it.
// Run under a display with the Japanese fonts installed
// (scripts/screenshots.sh):
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bin/verb_screenshots docs
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "progress_window.h"
#include "qt_verb_ui.h"
#include "summary.h"
#include "verb_texts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: verb_screenshots OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const std::string folder = "/home/user/shots/";
    rastrex::verb::qt::ProgressWindow window;
    window.setProgress({412, 1000, folder + "frame00413.xwd"});
    window.show();
    QApplication::processEvents();
    bool ok = window.grab().save(out + QStringLiteral("/convert-progress.png"));

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
    grabBox(QStringLiteral("convert-question.png"));
    rastrex::verb::qt::askQuestion(&window, QString::fromStdString(rastrex::verb::overwriteQuestion(37)));

    rastrex::verb::Tally tally;
    tally.converted = 996;
    tally.cutShort = 1;
    tally.notConverted = 3;
    tally.lines = {folder + "frame00017.xwd は途中で切れているぞ。480 行のうち 211 行しかない。残りは黒になった。",
                   folder + "frame00230.xwd を変換できなかったぞ。XWD ファイルが壊れているか、空っぽだ。",
                   folder + "frame00561.xwd を変換しなかったぞ。途中で切れていて、640×480 の画素が 1% も残っていない。"
                            "BMP ファイルはほとんど真っ黒になる。",
                   folder + "frame00999.xwd は 存在しねえぞ。"};
    window.hide();
    grabBox(QStringLiteral("convert-summary.png"));
    rastrex::verb::qt::showMessage(&window, QString::fromStdString(rastrex::verb::summarize(tally).text), true);
    return ok ? 0 : 1;
}
