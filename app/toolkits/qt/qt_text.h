// The read-only text box, labels, frames and lines (qt_text.cpp).
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <string>

#include "qt_controls.h"

namespace rastrex::qt {

// A read-only text box: the keyboard moves through it and selects, Tab
// leaves it, and Enter stays in it without pressing the default button.
class TextBox final : public Bound<QPlainTextEdit, rastrex::TextBox> {
public:
    explicit TextBox(QWidget* parent = nullptr);
    std::string text() const override { return bytesOf(toPlainText()); }
    void setText(const std::string& text) override { setPlainText(shown(text)); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A label; a frame's caption is read through the same interface.
class Label final : public Bound<QLabel, rastrex::Label> {
public:
    using Bound::Bound;
    std::string caption() const override { return bytesOf(text()); }
};

class Frame final : public Bound<QGroupBox, rastrex::Label> {
public:
    using Bound::Bound;
    std::string caption() const override { return bytesOf(title()); }
};

// A line drawn in one palette colour.
class Line final : public QWidget {
public:
    Line(QPalette::ColorRole role, QWidget* parent = nullptr);
    QPalette::ColorRole role() const { return role_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPalette::ColorRole role_;
};

// The makers: a control of `layout` in `parent`, placed by `window`
// (QtWindow::place) and set up from its layout.
TextBox* makeTextBox(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Label* makeLabel(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Frame* makeFrame(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Line* makeLine(QtWindow& window, const ControlLayout& layout, QWidget* parent);

}  // namespace rastrex::qt
