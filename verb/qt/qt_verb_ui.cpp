#include "qt_verb_ui.h"

#include <cstdlib>
#include <string_view>

#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "verb_texts.h"

namespace rastrex::verb::qt {

namespace {

// Runs `call` on the window's thread and waits for it.
template <typename Call>
void onUiThread(QObject* window, Call call)
{
    if (QThread::currentThread() == window->thread())
        call();
    else
        QMetaObject::invokeMethod(window, call, Qt::BlockingQueuedConnection);
}

QMessageBox* makeBox(QWidget* owner, QMessageBox::Icon icon, const QString& text)
{
    auto* box = new QMessageBox(icon, QString::fromUtf8(kWindowTitle), text, QMessageBox::NoButton, owner);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    return box;
}

}  // namespace

std::optional<bool> scriptedAnswer()
{
    const char* value = std::getenv("RASTREX_CONVERT_ANSWER");
    if (value == nullptr)
        return std::nullopt;
    return std::string_view(value) == "yes";
}

bool askQuestion(QWidget* owner, const QString& text)
{
    QMessageBox* box = makeBox(owner, QMessageBox::Question, text);
    QPushButton* yes = box->addButton(QStringLiteral("はい"), QMessageBox::YesRole);
    QPushButton* no = box->addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
    yes->setAccessibleName(QStringLiteral("はい、上書きする"));
    no->setAccessibleName(QStringLiteral("いいえ、残りだけ変換する"));
    box->setDefaultButton(no);
    box->setEscapeButton(no);
    box->exec();
    const bool replace = box->clickedButton() == yes;
    delete box;
    return replace;
}

std::pair<QString, QString> summaryBox(const std::string& text)
{
    const QString all = QString::fromStdString(text);
    const qsizetype counts = all.indexOf(QStringLiteral("\n\n"));
    if (counts < 0 || all.mid(counts + 2).count(QLatin1Char('\n')) < kShownCauses)
        return {all, {}};
    return {all.left(counts), all.mid(counts + 2)};
}

void showMessage(QWidget* owner, const QString& text, bool warning, const QString& details)
{
    QMessageBox* box = makeBox(owner, warning ? QMessageBox::Warning : QMessageBox::Information, text);
    box->setDetailedText(details);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole)->setAccessibleName(QStringLiteral("閉じる"));
    box->exec();
    delete box;
}

void QtVerbUi::showProgress(const Progress& progress)
{
    onUiThread(&window_, [this, &progress] { window_.setProgress(progress); });
}

bool QtVerbUi::askOverwrite(std::size_t existing)
{
    if (answer_)
        return *answer_;
    bool replace = false;
    onUiThread(&window_, [this, existing, &replace] {
        replace = askQuestion(&window_, QString::fromStdString(overwriteQuestion(existing)));
    });
    return replace;
}

void QtVerbUi::showSummary(const Summary& summary)
{
    if (answer_) {
        out_ << summary.text << '\n';
        return;
    }
    const bool failed = summary.cutShort + summary.notConverted + summary.notStarted != 0;
    onUiThread(&window_, [this, &summary, failed] {
        window_.hide();
        const auto [text, details] = summaryBox(summary.text);
        showMessage(&window_, text, failed, details);
    });
}

void QtVerbUi::tell(const std::string& text)
{
    if (answer_) {
        out_ << text << '\n';
        return;
    }
    onUiThread(&window_, [this, &text] {
        window_.hide();
        showMessage(&window_, QString::fromStdString(text), true);
    });
}

}  // namespace rastrex::verb::qt
