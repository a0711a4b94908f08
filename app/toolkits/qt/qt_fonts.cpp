#include "qt_fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QTextLayout>

#include "qt_controls.h"

namespace rastrex::qt {

namespace {

// The layouts were made for a 9-point Japanese font.
constexpr double kLayoutPoints = 9.0;
// Below this the texts grow hard to read; the captions are cut instead.
constexpr double kSmallestPoints = 7.0;
constexpr double kPointStep = 0.5;

// Installed Japanese fonts, the ones that render every text first.
const char* const kJapaneseFamilies[] = {
    "IPAGothic", "IPAPGothic", "Noto Sans CJK JP", "Noto Sans JP", "VL Gothic", "TakaoGothic", "IPAexGothic",
};

QString preferredFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kJapaneseFamilies)
        if (installed.contains(QString::fromUtf8(family)))
            return QString::fromUtf8(family);
    return {};
}

// Whether every caption of a check box or a button of `layout` fits its
// control in `font`.
bool captionsFit(const FormLayout& layout, const QFont& font)
{
    for (const ControlLayout& c : layout.controls) {
        if (c.caption.empty())
            continue;
        QWidget* probe = nullptr;
        if (c.kind == ControlKind::CheckBox)
            probe = new QCheckBox(shown(c.caption));
        else if (c.kind == ControlKind::CommandButton)
            probe = new QPushButton(shown(c.caption));
        else
            continue;
        probe->setFont(controlFont(c, font));
        const bool fits = probe->sizeHint().width() <= pixelRect(c).width();
        delete probe;
        if (!fits)
            return false;
    }
    return true;
}

// Whether `box` shows its whole text (line ends at its end aside) in
// `font` without scrolling: its lines laid out as the box lays them out,
// wrapped at its width inside the document's margins, leading included.
bool showsWholeText(const QPlainTextEdit& box, const QFont& font)
{
    QString shownText = box.toPlainText();
    while (shownText.endsWith(QLatin1Char('\n')))
        shownText.chop(1);
    const qreal margin = box.document()->documentMargin();
    const QRect room = box.contentsRect();
    const qreal width = room.width() - 2 * margin;
    qreal height = 2 * margin;
    QTextOption option = box.document()->defaultTextOption();
    option.setWrapMode(box.wordWrapMode());
    for (const QString& paragraph : shownText.split(QLatin1Char('\n'))) {
        QTextLayout lines(paragraph, font);
        lines.setTextOption(option);
        lines.beginLayout();
        for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(width);
            height += line.height();
        }
        lines.endLayout();
    }
    return height <= room.height();
}

}  // namespace

bool japaneseFontInstalled()
{
    return !preferredFamily().isEmpty();
}

QFont chooseInterfaceFont()
{
    QFont font = QApplication::font();
    const QString family = preferredFamily();
    if (!family.isEmpty())
        font.setFamilies({family});
    for (double points = kLayoutPoints; points >= kSmallestPoints; points -= kPointStep) {
        font.setPointSizeF(points);
        if (captionsFit(mainFormLayout(), font) && captionsFit(aboutFormLayout(), font))
            return font;
    }
    font.setPointSizeF(kSmallestPoints);
    return font;
}

QFont controlFont(const ControlLayout& control, const QFont& windowFont)
{
    if (control.font.points <= 0)
        return windowFont;
    QFont font = windowFont;
    // Tahoma where it is installed; the window's family for what it lacks.
    font.setFamilies(QStringList{QStringLiteral("Tahoma")} + windowFont.families());
    font.setPointSizeF(control.font.points);
    font.setBold(control.font.bold);
    return font;
}

void fitTextBox(QPlainTextEdit& box, const QFont& windowFont)
{
    QFont font = windowFont;
    for (double points = kLayoutPoints; points >= kSmallestPoints; points -= kPointStep) {
        font.setPointSizeF(points);
        if (showsWholeText(box, font)) {
            box.setFont(font);
            return;
        }
    }
    font.setPointSizeF(kSmallestPoints);
    box.setFont(font);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

}  // namespace rastrex::qt
