#include "progress_painter.h"

#include <algorithm>

namespace rastrex {

namespace {

// Status panel 2 shows the file last touched.
constexpr int kFilePanel = 2;

}  // namespace

ProgressPainter::ProgressPainter(ProgressBar& bar, StatusBar& status, Clock& clock)
    : bar_(bar), status_(status), clock_(clock)
{
}

void ProgressPainter::start(ItemIndex count)
{
    bar_.setMin(0);
    bar_.setMax(count);
    bar_.setVisible(true);
    pacing_.reset();
    paintedFill_ = -1;
    paintedText_.clear();
}

int ProgressPainter::filledPixels(ItemIndex value) const
{
    const ItemIndex span = bar_.max() - bar_.min();
    if (span <= 0)
        return 0;
    const ItemIndex done = std::min(std::max<ItemIndex>(value - bar_.min(), 0), span);
    // A share, so that no product of a count and a width can overflow.
    const long double share = static_cast<long double>(done) / static_cast<long double>(span);
    return static_cast<int>(share * bar_.pixelWidth());
}

void ProgressPainter::step(ItemIndex value, const std::string& text)
{
    bar_.setValue(value);
    status_.setPanelText(kFilePanel, text);
    const int fill = filledPixels(value);
    const bool changed = fill != paintedFill_ || text != paintedText_;
    if (!changed)
        return;
    if (!pacing_.due(clock_.now()))
        return;
    bar_.paintNow();
    status_.paintNow(kFilePanel);
    paintedFill_ = fill;
    paintedText_ = text;
}

void ProgressPainter::finish()
{
    bar_.setValue(0);
    bar_.setVisible(false);
}

}  // namespace rastrex
