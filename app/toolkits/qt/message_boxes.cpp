#include "message_boxes.h"

#include <QMessageBox>

#include "qt_controls.h"

namespace rastrex::qt {

QString applicationTitle()
{
    return QStringLiteral("Vellicor");
}

QString messageBoxText(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
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

void MessageBoxes::report(const std::string& text)
{
    runBox(QMessageBox::Critical, shown(text), QMessageBox::Ok, owner_);
}

rastrex::MessageBox::Answer MessageBoxes::ask(const std::string& text)
{
    const int pressed = runBox(QMessageBox::Question, shown(text), QMessageBox::Yes | QMessageBox::No, owner_);
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace rastrex::qt
