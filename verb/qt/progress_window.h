// rastrex-convert's window on Linux: the file in hand, a bar, and 中止,
// which stops the run after the files in hand.
#pragma once

#include <atomic>

#include <QDialog>

#include "verb_ui.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace rastrex::verb::qt {

class ProgressWindow : public QDialog {
public:
    ProgressWindow();

    // Shows where the run is. On the UI thread.
    void setProgress(const Progress& progress);
    // Whether 中止 was pressed (or the window closed); on any thread.
    bool cancelRequested() const { return cancelled_.load(); }

    QLabel* fileLabel() const { return file_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Closing the window (Escape, its close button) is 中止.
    void reject() override;

private:
    QLabel* file_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace rastrex::verb::qt
