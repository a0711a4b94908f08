// The interface font: every caption fits its control, and the font has a
// glyph for every character of both windows.
#include <QFontMetrics>
#include <QRawFont>

#include "ui_test_support.h"

namespace rastrex::uitest {
namespace {

// Every text of a layout: captions, tooltips, menus and the window title.
QStringList textsOf(const FormLayout& layout)
{
    const auto text = [](std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); };
    QStringList out{text(layout.caption)};
    for (const ControlLayout& c : layout.controls)
        out << text(c.caption) << text(c.tooltip);
    for (const MenuLayout& m : layout.menus) {
        out << text(m.caption);
        for (const MenuItemLayout& i : m.items)
            out << text(i.caption);
    }
    return out;
}

using FontTest = FormInFolder;

// Check boxes and buttons keep their laid-out size, so their caption must
// fit it; labels sized to their text grow with it.
TEST_F(FontTest, NoCaptionIsWiderThanItsControl)
{
    open({"a.xwd"});
    form->menuVersion_Click();
    for (qt::QtWindow* w : {&window(), &static_cast<qt::QtWindow&>(form->aboutForm()->window())}) {
        for (const ControlLayout& c : w->layout().controls) {
            QWidget* made = w->control(c.name);
            SCOPED_TRACE(made->objectName().toStdString());
            if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::CommandButton)
                EXPECT_LE(made->sizeHint().width(), made->width());
            else if (c.kind == ControlKind::Label && !c.caption.empty()) {
                auto* label = static_cast<QLabel*>(made);
                EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width());
            }
        }
    }
}

TEST_F(FontTest, TheInterfaceFontHasAGlyphForEveryCharacterOfBothWindows)
{
    if (!qt::japaneseFontInstalled())
        GTEST_SKIP() << "no Japanese font is installed (e.g. fonts-ipafont-gothic): the texts would show as boxes";
    const QFont font = toolkit.interfaceFont();
    RecordProperty("font", QStringLiteral("%1 %2 pt").arg(font.family()).arg(font.pointSizeF()).toStdString());
    const QFontMetrics metrics(font);
    const QRawFont raw = QRawFont::fromFont(font);
    for (const FormLayout* layout : {&mainFormLayout(), &aboutFormLayout()})
        for (const QString& text : textsOf(*layout))
            for (const QChar ch : text) {
                if (ch.isSpace() || ch == u'&')
                    continue;
                EXPECT_TRUE(metrics.inFont(ch) && raw.supportsCharacter(ch))
                    << font.family().toStdString() << " lacks U+" << std::hex << static_cast<unsigned>(ch.unicode()) << " of "
                    << text.toStdString();
            }
}

}  // namespace
}  // namespace rastrex::uitest
