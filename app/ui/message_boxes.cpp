#include "message_boxes.h"

#include <QMessageBox>

namespace rastrex {

QString applicationTitle()
{
    return QStringLiteral("Vellicor");
}

QString messageBoxText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

namespace {

int runBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons, QWidget* owner)
{
    QMessageBox box(icon, applicationTitle(), messageBoxText(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    return box.exec();
}

}  // namespace

void MessageBoxDialogs::report(const QString& text)
{
    runBox(QMessageBox::Critical, text, QMessageBox::Ok, owner_);
}

Dialogs::Answer MessageBoxDialogs::ask(const QString& text)
{
    const int pressed = runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, owner_);
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace rastrex
