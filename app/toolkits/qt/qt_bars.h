// The progress bar and the status bar (qt_bars.cpp).
#pragma once

#include <QFrame>
#include <QList>
#include <QProgressBar>
#include <string>
#include <vector>

class QLabel;

#include "qt_controls.h"

namespace rastrex::qt {

class ProgressBar final : public Bound<QProgressBar, rastrex::ProgressBar> {
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    void setMin(ItemIndex value) override;
    void setMax(ItemIndex value) override;
    void setValue(ItemIndex value) override;
    ItemIndex min() const override { return min_; }
    ItemIndex max() const override { return max_; }
    ItemIndex value() const override { return value_; }
    int pixelWidth() const override { return width(); }
    void paintNow() override { repaint(); }

private:
    // QProgressBar holds int; counts beyond it are shown scaled.
    void apply();
    ItemIndex min_ = 0, max_ = 100, value_ = 0;
};

// Status bar with text panels numbered from 1.
class StatusBar final : public Bound<QFrame, rastrex::StatusBar> {
public:
    // Panel widths in twips, left to right; the last one takes the rest.
    StatusBar(const std::vector<int>& panelWidthsTwips, QWidget* parent = nullptr);

    int panelCount() const override { return static_cast<int>(panels_.size()); }
    std::string panelText(int n) const override;
    void setPanelText(int n, const std::string& text) override;
    void paintNow(int n) override;
    QLabel* panel(int n) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QLabel*> panels_;
    QList<std::string> texts_;
    std::vector<int> widths_;
};

// The makers: a control of `layout` in `parent`, placed by `window`
// (QtWindow::place) and set up from its layout.
ProgressBar* makeProgressBar(QtWindow& window, const ControlLayout& layout, QWidget* parent);
StatusBar* makeStatusBar(QtWindow& window, const ControlLayout& layout, QWidget* parent);

}  // namespace rastrex::qt
