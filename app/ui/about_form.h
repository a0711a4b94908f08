// AboutForm: the version window, built from its layout table.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

#include "toolkit.h"

namespace rastrex {

class AboutForm : public QDialog {
    Q_OBJECT
public:
    // A top-level window without an owner; it destroys itself when unloaded.
    explicit AboutForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    CommandButton* Command2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;

    void Form_Load();
    void Command2_Click();

signals:
    // The window is being unloaded (its button, its close box, or the main
    // window closing); it is destroyed right after.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace rastrex
