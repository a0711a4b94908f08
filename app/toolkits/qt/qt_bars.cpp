// The progress bar and the status bar.
#include <QAccessible>
#include <QLabel>
#include <algorithm>
#include <limits>

#include "form_geometry.h"
#include "qt_bars.h"
#include "qt_window.h"

namespace rastrex::qt {

// ------------------------------------------------------------- ProgressBar

ProgressBar::ProgressBar(QWidget* parent) : Bound(parent)
{
    setTextVisible(false);
    apply();
}

void ProgressBar::setMin(ItemIndex value)
{
    min_ = value;
    max_ = std::max(max_, min_);
    value_ = std::clamp(value_, min_, max_);
    apply();
}

void ProgressBar::setMax(ItemIndex value)
{
    max_ = value;
    min_ = std::min(min_, max_);
    value_ = std::clamp(value_, min_, max_);
    apply();
}

void ProgressBar::setValue(ItemIndex value)
{
    value_ = std::clamp(value, min_, max_);
    apply();
}

void ProgressBar::apply()
{
    // The widget counts in int: the range is shown as 0..span, scaled down
    // when the span is wider than int.
    constexpr ItemIndex kWidest = std::numeric_limits<int>::max();
    const ItemIndex span = max_ - min_;
    const ItemIndex scale = span > kWidest ? span / kWidest + 1 : 1;
    QProgressBar::setRange(0, static_cast<int>(span / scale));
    QProgressBar::setValue(static_cast<int>((value_ - min_) / scale));
}

// --------------------------------------------------------------- StatusBar

StatusBar::StatusBar(const std::vector<int>& panelWidthsTwips, QWidget* parent)
    : Bound(parent), widths_(panelWidthsTwips)
{
    int left = 0;
    for (int width : panelWidthsTwips) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setIndent(2);
        panel->move(twipsToPixels(left), 0);
        panels_.append(panel);
        texts_.append(std::string());
        left += width;
    }
}

QLabel* StatusBar::panel(int n) const
{
    if (n < 1 || n > panels_.size())
        return nullptr;
    return panels_[n - 1];
}

std::string StatusBar::panelText(int n) const
{
    return panel(n) ? texts_[n - 1] : std::string();
}

void StatusBar::setPanelText(int n, const std::string& text)
{
    QLabel* p = panel(n);
    if (p == nullptr || texts_[n - 1] == text)
        return;
    texts_[n - 1] = text;
    p->setText(shown(text));
    // The first panel tells how the work stands ("レディ", "完了", "中断"):
    // assistive technology hears it as the bar's description changing.
    if (n == 1) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void StatusBar::paintNow(int n)
{
    if (QLabel* p = panel(n))
        p->repaint();
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    for (int i = 0; i < panels_.size(); ++i) {
        QLabel* p = panels_[i];
        const int right = i + 1 == panels_.size() ? width() : p->x() + twipsToPixels(widths_[static_cast<std::size_t>(i)]);
        p->setGeometry(p->x(), 0, right - p->x(), height());
    }
}

ProgressBar* makeProgressBar(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* bar = window.place(new ProgressBar(parent), layout);
    bar->setMin(layout.rangeMin);
    bar->setMax(layout.rangeMax);
    return bar;
}

StatusBar* makeStatusBar(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    std::vector<int> widths;
    for (const PanelLayout& p : layout.panels)
        widths.push_back(p.width);
    return window.place(new StatusBar(widths, parent), layout);
}

}  // namespace rastrex::qt
