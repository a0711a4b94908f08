// The real message boxes: QMessageBox, modal to the main window, with the
// application's title.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "dialogs.h"

namespace rastrex {

// The title every message box carries.
QString applicationTitle();

// The text as shown: a lone carriage return is a line break.
QString messageBoxText(const QString& text);

class MessageBoxDialogs : public Dialogs {
public:
    explicit MessageBoxDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    // The window the boxes are modal to (the main window).
    void setOwner(QWidget* owner) { owner_ = owner; }

    void report(const QString& text) override;
    Answer ask(const QString& text) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace rastrex
