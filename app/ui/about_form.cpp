#include "about_form.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "form_layout.h"
#include "pictures.h"

namespace rastrex {

namespace {

QWidget* makeAboutControl(const ControlLayout& c, QWidget* container)
{
    switch (c.kind) {
    case ControlKind::CommandButton:
        return new CommandButton(container);
    case ControlKind::Frame:
        return new QGroupBox(container);
    case ControlKind::Label:
    case ControlKind::Picture:
        return new QLabel(container);
    case ControlKind::TextBox:
        return new QPlainTextEdit(container);
    default:
        break;
    }
    return new QWidget(container);
}

QFont labelFont(double points, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));  // Qt falls back where it is missing
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

AboutForm::AboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const FormLayout& layout = aboutFormLayout();
    setObjectName(QStringLiteral("AboutForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(layout.caption));
    setWindowIcon(programIcon());
    setFixedSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    buildLayout(layout, this, makeAboutControl);

    Label1 = findChild<QLabel*>(QStringLiteral("Label1"));
    Label2 = findChild<QLabel*>(QStringLiteral("Label2"));
    Label3 = findChild<QLabel*>(QStringLiteral("Label3"));
    Label4 = findChild<QLabel*>(QStringLiteral("Label4"));
    Label5 = findChild<QLabel*>(QStringLiteral("Label5"));
    Label6 = findChild<QLabel*>(QStringLiteral("Label6"));
    Command2 = findChild<CommandButton*>(QStringLiteral("Command2"));
    Frame1 = findChild<QGroupBox*>(QStringLiteral("Frame1"));
    Text2 = findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    Image1 = findChild<QLabel*>(QStringLiteral("Image1"));
    Image2 = findChild<QLabel*>(QStringLiteral("Image2"));

    for (QLabel* label : {Label1, Label2, Label4, Label5, Label6})
        label->setFont(labelFont(8.25, false));
    Label3->setFont(labelFont(9, true));
    for (const ControlLayout& c : layout.controls)
        if (c.autoSize)
            fitToText(findChild<QLabel*>(QString::fromUtf8(c.name)), c);

    Image1->setPixmap(aboutIcon().pixmap(32, 32));
    Image1->setScaledContents(true);
    Image2->setPixmap(bannerPicture());

    Text2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = Text2->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    Text2->setPalette(p);

    Command2->setDefault(true);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); }, Qt::DirectConnection);

    move(twipsToPixels(layout.left), twipsToPixels(layout.top));
    Form_Load();
    Command2->setFocus();
}

void AboutForm::Form_Load() {}

void AboutForm::Command2_Click()
{
    close();
}

void AboutForm::closeEvent(QCloseEvent* event)
{
    emit unloaded();
    event->accept();
    QDialog::closeEvent(event);
}

void AboutForm::keyPressEvent(QKeyEvent* event)
{
    // There is no cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace rastrex
