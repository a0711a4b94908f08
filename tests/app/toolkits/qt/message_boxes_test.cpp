// The real message boxes: title, icon, buttons, owner and line breaks. Each
// box is answered from inside its own event loop as soon as it runs, so no
// test waits on a box.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "qt_message_boxes.h"
#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

TEST(MessageBoxTextTest, LoneCarriageReturnsBecomeLineBreaks)
{
    struct Case {
        const char* given;
        const char* shown;
    };
    const Case cases[] = {
        {"/a/b.xwd\rが見つかりません。", "/a/b.xwd\nが見つかりません。"},
        {"one\r\rtwo", "one\n\ntwo"},
        {"crlf\r\nstays one break", "crlf\nstays one break"},
        {"no break", "no break"},
        {"\r", "\n"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qt::messageBoxText(QString::fromUtf8(c.given)), QString::fromUtf8(c.shown)) << c.given;
}

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* owner = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    QStringList yesNoTexts;  // the texts of Yes and No, when shown
};

// Arranges for the next modal box to be read and answered with `press`.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.owner = box->parentWidget();
        seen.modality = box->windowModality();
        seen.yesNoTexts.clear();
        for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No})
            if (QAbstractButton* button = box->button(b))
                seen.yesNoTexts << button->text();
        box->button(press)->click();
    });
}

TEST(MessageBoxDialogsTest, ReportAndQuestionCarryTheTitleAndAreModalToTheOwner)
{
    QWidget owner;
    owner.show();
    qt::QtMessageBoxes dialogs(&owner);

    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    dialogs.report("/x/a.xwd\rが見つかりません。");
    EXPECT_EQ(seen.title, QStringLiteral("Vellicor"));
    EXPECT_EQ(seen.text, QStringLiteral("/x/a.xwd\nが見つかりません。"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.owner, &owner);
    EXPECT_EQ(seen.modality, Qt::WindowModal);

    struct Case {
        QMessageBox::StandardButton press;
        MessageBoxes::Answer answer;
    };
    for (const Case c : {Case{QMessageBox::Yes, MessageBoxes::Answer::Yes}, Case{QMessageBox::No, MessageBoxes::Answer::No}}) {
        answerNextBox(seen, c.press);
        EXPECT_EQ(dialogs.ask("上書きしますか？"), c.answer);
        EXPECT_EQ(seen.title, QStringLiteral("Vellicor"));
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(seen.owner, &owner);
    }
}

// The window speaks Japanese whatever the system's language, its question
// boxes too.
TEST(MessageBoxDialogsTest, QuestionButtonsAreJapaneseWhenQtsTranslationsAreInstalled)
{
    if (!qt::useJapaneseStandardButtons())
        GTEST_SKIP() << "Qt's translations (qtbase_ja.qm) are not installed";
    qt::QtMessageBoxes dialogs;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::No);
    dialogs.ask("a.xwd を\rごみ箱に移動するよ？");
    EXPECT_EQ(seen.yesNoTexts, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
}

}  // namespace
}  // namespace rastrex::uitest
