// Command buttons and three-state check boxes.
#include "qt_buttons.h"
#include "qt_window.h"

namespace rastrex::qt {

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget* parent) : Bound(parent)
{
    connect(this, &QCheckBox::stateChanged, this, [this] {
        if (rastrex::CheckBox::click)
            rastrex::CheckBox::click();
    }, Qt::DirectConnection);
}

int CheckBox::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return kCheckOn;
    case Qt::PartiallyChecked:
        return kCheckGreyed;
    case Qt::Unchecked:
        break;
    }
    return kCheckOff;
}

void CheckBox::setValue(int value)
{
    switch (value) {
    case kCheckOff:
        setCheckState(Qt::Unchecked);
        break;
    case kCheckOn:
        setCheckState(Qt::Checked);
        break;
    case kCheckGreyed:
        setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break;  // not a value of a check box: nothing changes
    }
}

// A click turns an unchecked box on and a checked or greyed one off; only a
// program sets the greyed value.
void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

// ----------------------------------------------------------- CommandButton

CommandButton::CommandButton(QWidget* parent) : Bound(parent)
{
    // Enter presses the button that has the focus; the window presses its
    // default button otherwise.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this, [this] {
        if (rastrex::CommandButton::click)
            rastrex::CommandButton::click();
    }, Qt::DirectConnection);
}

CommandButton* makeCommandButton(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* button = window.place(new CommandButton(parent), layout);
    button->setText(shown(layout.caption));
    if (layout.isDefault) {
        button->setDefault(true);
        window.setDefaultButton(button);
    }
    return button;
}

CheckBox* makeCheckBox(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* box = window.place(new CheckBox(parent), layout);
    box->setText(shown(layout.caption));
    return box;
}

}  // namespace rastrex::qt
