#include "form_layout.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <algorithm>

#include "toolkit.h"

namespace rastrex {

using K = ControlKind;

const FormLayout& mainFormLayout()
{
    static const FormLayout layout{
        " rastrex -- XWD Image Format Converter",
        6405, 3600, 4155, 3840,
        {
            {"Command1", K::CommandButton, "", 3510, 2900, 1400, 350, 0, "変 換(&C)",
             "選択されている xwdファイルをすべて変換します。"},
            {"Command2", K::CommandButton, "", 4950, 2900, 1400, 350, 1, "終 了(&Q)",
             "Vellicorを終了します。"},
            {"Check2", K::CheckBox, "", 1845, 2250, 1770, 200, 2, "xwd だけ表示する",
             "xwdファイルしか表示しません。"},
            {"Check3", K::CheckBox, "", 1845, 2475, 1725, 200, 3, "変換後、削除する",
             "変換後、xwdファイルをごみ箱に移動します。"},
            {"Check4", K::CheckBox, "", 4230, 2250, 1815, 200, 4, "bmp だけ表示する",
             "bmpファイルしか表示しません。"},
            {"StatusBar1", K::StatusBar, "", 0, 3315, 6405, 285, 5, "", ""},
            {"Check1", K::CheckBox, "", 4230, 2475, 1920, 200, 6, "上書きを確認する",
             "bmpファイルを上書きするときに確認メッセージを出します。"},
            {"ProgressBar1", K::ProgressBar, "", 45, 3375, 1470, 195, 7, "", ""},
            {"Drive1", K::DriveList, "", 45, 180, 1500, 300, 8, "",
             "準備できていないドライブを選択すると死にます。"},
            {"File1", K::FileList, "", 1800, 495, 2000, 1710, 9, "", "D&D でファイル追加できます。"},
            {"Dir1", K::DirList, "", 45, 495, 1500, 2190, 10, "", ""},
            {"Frame1", K::Frame, "", 1620, 45, 4740, 2715, 11, "", ""},
            {"File2", K::FileList, "", 4185, 495, 2000, 1710, 12, "", "右クリックで削除できます。"},
            {"Label1", K::Label, "Frame1", 180, 225, 990, 180, 13, "変換元： xwd", "", true},
            {"Label2", K::Label, "Frame1", 2565, 225, 1005, 180, 14, "変換後： bmp", "", true},
            {"Check5", K::CheckBox, "", 90, 3020, 1500, 200, 15, "おとなしくする", "？？"},
            {"Check6", K::CheckBox, "", 90, 2790, 1500, 200, 16, "弱点を補強する",
             "より信頼性の高い処理を目指します。"},
            {"Image1", K::Picture, "Frame1", 2250, 1170, 240, 240, -1, "", ""},
            // The two lines of the etched separator under the menu bar, one
            // pixel high: from (0, 1) and from (0, 22) to x = 6390.
            {"Line1", K::Line, "", 0, 1, 6390, 15, -1, "", ""},
            {"Line2", K::Line, "", 0, 22, 6390, 15, -1, "", ""},
        }};
    return layout;
}

const FormLayout& aboutFormLayout()
{
    static const FormLayout layout{
        " rastrex のバージョン情報",
        5730, 3945, 1995, 2160,
        {
            {"Label1", K::Label, "", 1080, 270, 2355, 195, 0, "XWD -- Image Format Converter", "", true, true},
            {"Command2", K::CommandButton, "", 4320, 1620, 1335, 350, 1, "OK", "「おごってくれる？」"},
            {"Label3", K::Label, "", 1260, 540, 1995, 255, 2, "rastrex", "", false, true},
            {"Label2", K::Label, "", 1545, 765, 1425, 195, 3, "version 2001.04.01", "", true, true},
            {"Frame1", K::Frame, "", 90, 1935, 5565, 1920, 4, "詳 細", ""},
            {"Label4", K::Label, "", 930, 1125, 2625, 195, 5, "Copyright (C) 2001-2026 the rastrex authors", "", true, true},
            {"Label5", K::Label, "", 945, 1305, 2595, 195, 6, "https://rastrex.example.org/", "", true, true},
            {"Label6", K::Label, "Frame1", 3350, 1620, 1755, 195, 7, "rastrex@example.org", "", true},
            {"Text2", K::TextBox, "", 270, 2205, 5145, 1140, 8,
             "rastrex は X11 XWD 形式 → Windows BMP 形式に特化した画像フォーマット変換ソフトです。"
             "シンプルで分かりやすいインタフェースを装備し、大量の xwd ファイルを一括して bmp "
             "ファイルに変換することが可能です。普段は Windows ユーザだけど、計算機シミュレーション"
             "だけ UNIX で回す人向け。 Windows 98 / Me / 2000 上で動作します。フリーソフトウェア。\n",
             ""},
            {"Image1", K::Picture, "", 4320, 225, 1335, 1335, -1, "", "「ぶじ卒業したいねぇ。」"},
            {"Image2", K::Picture, "Frame1", 3555, 1395, 1275, 225, -1, "", ""},
        }};
    return layout;
}

QRect pixelRect(const ControlLayout& c)
{
    const int left = twipsToPixels(c.left);
    const int top = twipsToPixels(c.top);
    // Right and bottom edges are rounded as the left and top are, so that
    // neighbours that touch in twips touch in pixels; a control is at least
    // one pixel in each direction.
    const int right = twipsToPixels(c.left + c.width);
    const int bottom = twipsToPixels(c.top + c.height);
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

void fitToText(QWidget* label, const ControlLayout& c)
{
    if (!c.autoSize)
        return;
    const QRect stored = pixelRect(c);
    const QSize needed = label->sizeHint();
    const int width = std::max(stored.width(), needed.width());
    const int height = std::max(stored.height(), needed.height());
    const int left = c.centred ? stored.left() - (width - stored.width()) / 2 : stored.left();
    label->setGeometry(left, stored.top(), width, height);
}

void buildLayout(const FormLayout& layout, QWidget* client, ControlFactory make)
{
    QMap<QString, QWidget*> made;
    // Containers first, so that the controls inside them have their parent;
    // the frames stay below the controls drawn over them.
    QList<const ControlLayout*> order;
    for (const ControlLayout& c : layout.controls)
        if (c.kind == ControlKind::Frame)
            order.append(&c);
    for (const ControlLayout& c : layout.controls)
        if (c.kind != ControlKind::Frame)
            order.append(&c);

    for (const ControlLayout* c : order) {
        const QString container = QString::fromUtf8(c->container);
        QWidget* parent = container.isEmpty() ? client : made.value(container, client);
        QWidget* w = make(*c, parent);
        w->setObjectName(QString::fromUtf8(c->name));
        w->setGeometry(pixelRect(*c));
        const QString caption = QString::fromUtf8(c->caption);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(caption);
        else if (auto* l = qobject_cast<QLabel*>(w); l && !caption.isEmpty())
            l->setText(caption);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            g->setTitle(caption);
        else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
            t->setPlainText(caption);
        const QString tooltip = QString::fromUtf8(c->tooltip);
        if (!tooltip.isEmpty())
            w->setToolTip(tooltip);
        made.insert(w->objectName(), w);
    }
    for (const ControlLayout& c : layout.controls) {
        if (auto* label = qobject_cast<QLabel*>(made.value(QString::fromUtf8(c.name)))) {
            if (c.centred)
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            else if (c.kind == ControlKind::Label)
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    // Frames and lines lie beneath everything else.
    for (const ControlLayout& c : layout.controls)
        if (c.kind == ControlKind::Frame)
            made.value(QString::fromUtf8(c.name))->lower();

    // The focus order of the table, among the controls that can take focus.
    QList<const ControlLayout*> tabbed;
    for (const ControlLayout& c : layout.controls)
        if (c.tab >= 0)
            tabbed.append(&c);
    std::sort(tabbed.begin(), tabbed.end(),
              [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    QWidget* previous = nullptr;
    for (const ControlLayout* c : tabbed) {
        QWidget* w = made.value(QString::fromUtf8(c->name));
        if (!w || w->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace rastrex
