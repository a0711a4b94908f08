// The Qt toolkit: builds the windows of the logic from their layouts
// (qt_window.h), owns the message boxes and the clock, and runs Qt's event
// loop until no window is loaded.
#pragma once

#include <QFont>
#include <QPointer>
#include <memory>
#include <string>

#include "controls.h"
#include "layouts.h"
#include "progress_painter.h"
#include "qt_fonts.h"
#include "qt_message_boxes.h"
#include "qt_window.h"

namespace rastrex::qt {

// The steady clock of the machine.
class SteadyClock final : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

// The folder holding the running program, as the file system's bytes;
// needs the QApplication.
std::string programFolder();

class QtToolkit final : public Toolkit {
public:
    // Needs the QApplication. Chooses the interface font once.
    QtToolkit();

    std::unique_ptr<Window> buildWindow(const FormLayout& layout, WindowRole role) override;
    rastrex::MessageBoxes& messageBox() override { return boxes_; }
    Clock& clock() override { return *clock_; }
    int run() override;
    BatchRequest betweenFiles() override;

    // Tests step time by hand.
    void setClock(Clock& clock) { clock_ = &clock; }
    const QFont& interfaceFont() const { return font_; }

private:
    friend class QtWindow;
    void loadedCountChanged(int delta);

    QtMessageBoxes boxes_;
    SteadyClock steady_;
    Clock* clock_ = &steady_;
    QFont font_;
    int loaded_ = 0;
    QPointer<FormWidget> main_;
    // How often a batch lets the windows repaint.
    PaintPacing batchPaints_;
};

}  // namespace rastrex::qt
