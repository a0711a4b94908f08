// rastrex-convert's Qt front end: its window's controls, its message boxes'
// answers, and a whole run on a thread of its own while the UI thread turns
// its event loop. Runs offscreen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <sstream>
#include <thread>

#include "batch_fixture.h"
#include "progress_window.h"
#include "qt_verb_ui.h"
#include "verb_texts.h"

namespace rastrex::test {
namespace {

using verb::qt::ProgressWindow;

TEST(VerbWindow, ShowsTheFileAndTheBar)
{
    ProgressWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("BMP に変換"));
    w.setProgress({3, 7, "/a/b.xwd"});
    EXPECT_EQ(w.fileLabel()->text(), QStringLiteral("/a/b.xwd\n3 / 7"));
    EXPECT_EQ(w.bar()->maximum(), 7);
    EXPECT_EQ(w.bar()->value(), 3);
    // A selection past the bar's range counts in thousandths.
    w.setProgress({1500000, 3000000, "/a/c.xwd"});
    EXPECT_EQ(w.bar()->maximum(), 1000);
    EXPECT_EQ(w.bar()->value(), 500);
    // A long path keeps its ends and the window its width.
    const std::string longPath = "/start" + std::string(600, 'x') + "/end.xwd";
    w.setProgress({1, 2, longPath});
    const QString shown = w.fileLabel()->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/start"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/end.xwd\n1 / 2"))) << shown.toStdString();
    EXPECT_LT(shown.size(), 300);
}

TEST(VerbWindow, EveryControlHasAnAccessibleName)
{
    ProgressWindow w;
    for (QWidget* control : {static_cast<QWidget*>(w.fileLabel()), static_cast<QWidget*>(w.bar()),
                             static_cast<QWidget*>(w.cancelButton())})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
    EXPECT_EQ(w.cancelButton()->text(), QStringLiteral("中止"));
}

struct CancelCase {
    const char* name;
    bool click;  // the button, else the window closed (Escape)
};

class VerbWindowCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(VerbWindowCancel, StopsOnce)
{
    ProgressWindow w;
    w.show();
    EXPECT_FALSE(w.cancelRequested());
    if (GetParam().click)
        w.cancelButton()->click();
    else
        w.reject();
    EXPECT_TRUE(w.cancelRequested());
    EXPECT_FALSE(w.cancelButton()->isEnabled());
    EXPECT_TRUE(w.isVisible()) << "the window stays until the files in hand are done";
}

INSTANTIATE_TEST_SUITE_P(Ways, VerbWindowCancel,
                         ::testing::Values(CancelCase{"button", true}, CancelCase{"close", false}),
                         [](const auto& p) { return std::string(p.param.name); });

// The question's answer is the button pressed; Escape is "no".
struct AnswerCase {
    const char* name;
    int button;  // index of the box's buttons: 0 はい, 1 いいえ; -1 Escape
    bool replace;
};

class VerbQuestion : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(VerbQuestion, AnswerIsTheButtonPressed)
{
    const AnswerCase& c = GetParam();
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        if (c.button < 0)
            box->reject();
        else
            box->buttons().at(c.button)->click();
    });
    EXPECT_EQ(verb::qt::askQuestion(nullptr, QStringLiteral("2 個の BMP ファイルがすでにある。上書きするか?")), c.replace);
    EXPECT_EQ(shown, QStringLiteral("2 個の BMP ファイルがすでにある。上書きするか?"));
}

INSTANTIATE_TEST_SUITE_P(Answers, VerbQuestion,
                         ::testing::Values(AnswerCase{"yes", 0, true}, AnswerCase{"no", 1, false},
                                           AnswerCase{"escape", -1, false}),
                         [](const auto& p) { return std::string(p.param.name); });

// A long list of causes goes behind the details button.
struct BoxCase {
    const char* name;
    int causes;
    bool details;
};

class VerbSummaryBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(VerbSummaryBox, CausesFitOnTheScreen)
{
    std::string text = "変換した: 0 個";
    if (GetParam().causes > 0)
        text += "\n";
    for (int i = 0; i < GetParam().causes; ++i)
        text += "\nline " + std::to_string(i);
    const auto [shown, details] = verb::qt::summaryBox(text);
    if (GetParam().details) {
        EXPECT_EQ(shown, QStringLiteral("変換した: 0 個"));
        EXPECT_TRUE(details.startsWith(QStringLiteral("line 0\n")));
        EXPECT_TRUE(details.endsWith(QStringLiteral("line ") + QString::number(GetParam().causes - 1)));
    } else {
        EXPECT_EQ(shown, QString::fromStdString(text));
        EXPECT_TRUE(details.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Causes, VerbSummaryBox,
                         ::testing::Values(BoxCase{"none", 0, false}, BoxCase{"one", 1, false},
                                           BoxCase{"as_many_as_shown", 15, false},
                                           BoxCase{"one_more_than_shown", 16, true}),
                         [](const auto& p) { return std::string(p.param.name); });

// A whole run through the front end: runVerb on a thread, every call to
// the window carried to the UI thread, whose event loop turns meanwhile.
TEST(VerbQtRun, RunsOffTheUiThread)
{
    TempDir dir;
    TempDir scratch;
    makeDumps(dir.path(), {"a.xwd", "b.xwd", "c.xwd"});
    writeFile(dir.path() / "a.bmp", {'o', 'l', 'd'});
    ProgressWindow window;
    std::ostringstream out;
    verb::qt::QtVerbUi ui(window, true, out);
    window.show();
    QEventLoop loop;
    verb::VerbStatus status = verb::VerbStatus::Usage;
    std::jthread run([&] {
        status = verb::runVerb({nativePath(dir.path() / "a.xwd"), nativePath(dir.path() / "b.xwd"),
                                nativePath(dir.path() / "c.xwd")},
                               nullptr, ui, {2});
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    run.join();
    EXPECT_EQ(status, verb::VerbStatus::Success);
    EXPECT_EQ(window.bar()->value(), 3);
    EXPECT_EQ(window.bar()->maximum(), 3);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "変換した: 3 個");
    for (const char* name : {"a", "b", "c"})
        EXPECT_EQ(readFile(dir.path() / (std::string(name) + ".bmp")),
                  converted(dir.path() / (std::string(name) + ".xwd"), scratch.path() / "ref.bmp"));
}

}  // namespace
}  // namespace rastrex::test

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
