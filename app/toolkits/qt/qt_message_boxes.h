// The message boxes of the Qt toolkit: QMessageBox, modal to the main
// window, with the application's title.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "controls.h"

namespace rastrex::qt {

// The title every message box carries.
QString applicationTitle();

// The text as shown: a lone carriage return is a line break.
QString messageBoxText(const QString& text);

// Gives the standard buttons (Yes, No, OK) Qt's own Japanese texts, the
// window's language whatever the system's, for as long as the application
// runs. False when Qt's translations are not installed: the buttons then
// keep Qt's English texts.
bool useJapaneseStandardButtons();

class QtMessageBoxes final : public rastrex::MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    // The window the boxes are modal to (the main window).
    void setOwner(QWidget* owner) { owner_ = owner; }

    void report(const std::string& text) override;
    Answer ask(const std::string& text) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace rastrex::qt
