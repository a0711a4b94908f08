#include "form_geometry.h"

#include <algorithm>
#include <climits>

namespace rastrex {

int twipsToPixels(int twips, int dpi)
{
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    const long long pixels = scaled < 0 ? -((-scaled + half) / kTwipsPerInch) : (scaled + half) / kTwipsPerInch;
    return static_cast<int>(pixels);
}

namespace {

PixelRect pixelsOf(long long left, long long top, long long width, long long height, int dpi)
{
    // Edges are sums of stored fields: they are made in 64 bits and kept
    // within int before they are scaled.
    const auto edge = [dpi](long long twips) {
        return twipsToPixels(static_cast<int>(std::clamp<long long>(twips, INT_MIN, INT_MAX)), dpi);
    };
    const int l = edge(left), t = edge(top), r = edge(left + width), b = edge(top + height);
    return {l, t, std::max(1, r - l), std::max(1, b - t)};
}

}  // namespace

PixelRect containerRect(const ControlLayout& c, int dpi)
{
    return pixelsOf(c.left, c.top, c.width, c.height, dpi);
}

PixelRect clientRect(const FormLayout& layout, const ControlLayout& c, int dpi)
{
    long long left = c.left, top = c.top;
    if (!c.container.empty())
        if (const ControlLayout* frame = findControl(layout, c.container)) {
            left += frame->left;
            top += frame->top;
        }
    return pixelsOf(left, top, c.width, c.height, dpi);
}

PixelRect fittedToText(const PixelRect& stored, const ControlLayout& c, PixelSize needed)
{
    if (!c.autoSize)
        return stored;
    PixelRect fitted = stored;
    if (needed.width > stored.width) {
        fitted.width = needed.width;
        if (c.centred)
            fitted.left -= (needed.width - stored.width) / 2;
    }
    fitted.height = std::max(stored.height, needed.height);
    return fitted;
}

Stacking stackingOf(ControlKind kind)
{
    if (kind == ControlKind::Frame)
        return Stacking::Bottom;
    if (kind == ControlKind::ProgressBar)
        return Stacking::Top;
    return Stacking::AsMade;
}

std::vector<const ControlLayout*> focusOrder(const FormLayout& layout)
{
    std::vector<const ControlLayout*> tabbed;
    for (const ControlLayout& c : layout.controls)
        if (c.tab >= 0)
            tabbed.push_back(&c);
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    return tabbed;
}

std::vector<const ControlLayout*> creationOrder(const FormLayout& layout)
{
    std::vector<const ControlLayout*> order = focusOrder(layout);
    for (const ControlLayout& c : layout.controls)
        if (c.tab < 0)
            order.push_back(&c);
    return order;
}

}  // namespace rastrex
