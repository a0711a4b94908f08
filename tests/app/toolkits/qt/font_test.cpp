// The interface font: every caption fits its control, and the font has a
// glyph for every character of both windows.
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QScrollBar>
#include <QTextCursor>

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

// Text2 shows the whole description at its laid-out size, down to its last
// character, in a readable size of the window's face and without a scroll
// bar; its background is the palette's counterpart of Active Border.
TEST_F(FontTest, TheVersionWindowShowsItsWholeDescriptionInAReadableSize)
{
    open();
    form->menuVersion_Click();
    auto& about = static_cast<qt::QtWindow&>(form->aboutForm()->window());
    auto* text2 = dynamic_cast<QPlainTextEdit*>(about.control("Text2"));
    ASSERT_NE(text2, nullptr);
    QApplication::processEvents();
    RecordProperty("Text2", QString::number(text2->font().pointSizeF()).toStdString());
    EXPECT_GE(text2->font().pointSizeF(), 7.0);
    EXPECT_EQ(text2->font().families(), toolkit.interfaceFont().families());
    EXPECT_FALSE(text2->verticalScrollBar()->isVisible());
    QTextCursor last(text2->document());
    last.movePosition(QTextCursor::End);
    while (text2->document()->characterAt(last.position() - 1) == QChar::ParagraphSeparator)
        last.movePosition(QTextCursor::PreviousCharacter);
    EXPECT_LE(text2->cursorRect(last).bottom(), text2->viewport()->height());
    EXPECT_EQ(text2->palette().color(QPalette::Base), text2->palette().color(QPalette::Button));
}

}  // namespace
}  // namespace rastrex::uitest
