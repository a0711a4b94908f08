// Command buttons and three-state check boxes (qt_buttons.cpp).
#pragma once

#include <QCheckBox>
#include <QPushButton>

#include "qt_controls.h"

namespace rastrex::qt {

// Check box with the values 0 (off), 1 (on) and 2 (greyed). A user click and
// a setValue that changes the value both raise click before they return.
class CheckBox final : public Bound<QCheckBox, rastrex::CheckBox> {
public:
    explicit CheckBox(QWidget* parent = nullptr);
    int value() const override;
    void setValue(int value) override;

protected:
    void nextCheckState() override;
};

class CommandButton final : public Bound<QPushButton, rastrex::CommandButton> {
public:
    explicit CommandButton(QWidget* parent = nullptr);
};

// The makers: a control of `layout` in `parent`, placed by `window`
// (QtWindow::place) and set up from its layout.
CommandButton* makeCommandButton(QtWindow& window, const ControlLayout& layout, QWidget* parent);
CheckBox* makeCheckBox(QtWindow& window, const ControlLayout& layout, QWidget* parent);

}  // namespace rastrex::qt
