// The read-only text box, labels, frames and lines.
#include <QKeyEvent>
#include <QPainter>

#include "qt_text.h"
#include "qt_fonts.h"
#include "qt_window.h"

namespace rastrex::qt {

TextBox::TextBox(QWidget* parent) : Bound(parent)
{
    // Read-only (no flag lets it edit): the keyboard moves and selects,
    // and Tab is left to move the focus.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

Line::Line(QPalette::ColorRole role, QWidget* parent) : QWidget(parent), role_(role)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(role_));
}

TextBox* makeTextBox(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* box = window.place(new TextBox(parent), layout);
    box->setPlainText(shown(layout.caption).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The box is drawn in the scheme's Active Border colour, as on
    // Windows. A palette has no such role; in the scheme the layout was
    // made in, Active Border is the colour of the 3D face, which a palette
    // holds as Button, with ButtonText on it.
    QPalette p = box->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    p.setColor(QPalette::Text, p.color(QPalette::ButtonText));
    box->setPalette(p);
    fitTextBox(*box, window.font());
    return box;
}

Label* makeLabel(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* label = window.place(new Label(parent), layout);
    label->setText(shown(layout.caption));
    label->setAlignment(layout.centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    if (layout.colour != SystemColour::Default) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, p.color(roleOf(layout.colour)));
        label->setPalette(p);
    }
    return label;
}

Frame* makeFrame(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* frame = window.place(new Frame(parent), layout);
    frame->setTitle(shown(layout.caption));
    return frame;
}

Line* makeLine(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    return window.place(new Line(roleOf(layout.colour), parent), layout);
}

}  // namespace rastrex::qt
