#include "qt_message_boxes.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

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

bool useJapaneseStandardButtons()
{
    static QPointer<QTranslator> installed;
    if (installed)
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
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

void QtMessageBoxes::report(const std::string& text)
{
    runBox(QMessageBox::Critical, shown(text), QMessageBox::Ok, owner_);
}

rastrex::MessageBoxes::Answer QtMessageBoxes::ask(const std::string& text)
{
    const int pressed = runBox(QMessageBox::Question, shown(text), QMessageBox::Yes | QMessageBox::No, owner_);
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace rastrex::qt
