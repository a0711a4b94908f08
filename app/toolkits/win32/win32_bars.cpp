// The progress bar and the status bar of the common controls.
#include <algorithm>
#include <string>
#include <vector>

#include "win32_controls.h"

namespace rastrex::win32 {

namespace {

// ------------------------------------------------------------ progress bar

class W32ProgressBar final : public W32Control<ProgressBar> {
public:
    W32ProgressBar(W32Window& w, const ControlLayout& l)
        : W32Control(w, l), min_(l.rangeMin), max_(l.rangeMax)
    {
    }
    void setMin(ItemIndex v) override
    {
        min_ = v;
        if (max_ < min_)
            max_ = min_;
        value_ = std::clamp(value_, min_, max_);
        apply();
    }
    void setMax(ItemIndex v) override
    {
        max_ = v;
        if (min_ > max_)
            min_ = max_;
        value_ = std::clamp(value_, min_, max_);
        apply();
    }
    void setValue(ItemIndex v) override
    {
        value_ = std::clamp(v, min_, max_);
        apply();
    }
    ItemIndex min() const override { return min_; }
    ItemIndex max() const override { return max_; }
    ItemIndex value() const override { return value_; }
    int pixelWidth() const override
    {
        RECT r{};
        if (hwnd != nullptr && GetClientRect(hwnd, &r))
            return r.right - r.left;
        return window_.px(layout->width);
    }
    void paintNow() override
    {
        if (hwnd != nullptr)
            UpdateWindow(hwnd);
    }
    void created() override { apply(); }

private:
    // The control counts in int; a longer range is shown in proportion.
    static constexpr ItemIndex kNativeSpan = 1'000'000;
    void apply()
    {
        if (hwnd == nullptr)
            return;
        const ItemIndex span = max_ - min_;
        int nativeMax = 0, nativePos = 0;
        if (span <= kNativeSpan) {
            nativeMax = static_cast<int>(span);
            nativePos = static_cast<int>(value_ - min_);
        } else {
            nativeMax = static_cast<int>(kNativeSpan);
            nativePos = static_cast<int>(static_cast<long double>(value_ - min_) / span * kNativeSpan);
        }
        SendMessageW(hwnd, PBM_SETRANGE32, 0, nativeMax);
        SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(nativePos), 0);
    }

    ItemIndex min_, max_, value_ = 0;
};

// -------------------------------------------------------------- status bar

class W32StatusBar final : public W32Control<StatusBar> {
public:
    W32StatusBar(W32Window& w, const ControlLayout& l) : W32Control(w, l), texts_(std::max<std::size_t>(l.panels.size(), 1))
    {
    }
    int panelCount() const override { return static_cast<int>(texts_.size()); }
    std::string panelText(int n) const override
    {
        return n >= 1 && n <= panelCount() ? texts_[static_cast<std::size_t>(n - 1)] : std::string();
    }
    void setPanelText(int n, const std::string& text) override
    {
        if (n < 1 || n > panelCount())
            return;
        texts_[static_cast<std::size_t>(n - 1)] = text;
        if (hwnd == nullptr)
            return;
        SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(widen(text).c_str()));
        // The first panel tells how the work stands: a screen reader hears
        // that part's name change.
        if (n == 1)
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, 1);  // the first part
    }
    void paintNow(int) override
    {
        if (hwnd != nullptr)
            UpdateWindow(hwnd);
    }
    void created() override
    {
        // Each panel's right edge; the last takes the rest of the bar.
        std::vector<int> edges;
        int right = 0;
        for (std::size_t i = 0; i < layout->panels.size(); ++i) {
            right += window_.px(layout->panels[i].width);
            edges.push_back(i + 1 == layout->panels.size() ? -1 : right);
        }
        if (edges.empty())
            edges.push_back(-1);
        SendMessageW(hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        for (int n = 1; n <= panelCount(); ++n)
            setPanelText(n, panelText(n));
    }

private:
    std::vector<std::string> texts_;
};

}  // namespace

std::unique_ptr<Dispatch> makeProgressBar(W32Window& window, const ControlLayout& layout)
{
    auto bar = std::make_unique<W32ProgressBar>(window, layout);
    bar->native = {PROGRESS_CLASSW, PBS_SMOOTH};
    return bar;
}

std::unique_ptr<Dispatch> makeStatusBar(W32Window& window, const ControlLayout& layout)
{
    auto bar = std::make_unique<W32StatusBar>(window, layout);
    bar->native = {.windowClass = STATUSCLASSNAMEW,
                   .style = CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                   .showsCaption = false};
    return bar;
}

}  // namespace rastrex::win32
