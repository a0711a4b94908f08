// A window's layout turned into what a toolkit creates: the places of its
// controls in pixels, the room a label sized to its text grows to, and the
// order the focus visits the controls in. Worked out here once; a toolkit
// only creates the controls where it is told.
#pragma once

#include <vector>

#include "layouts.h"

namespace rastrex {

// Twips are 1/1440 inch; the layouts were made on a screen of 96 dots per
// inch, where 15 of them make one pixel.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kLayoutDpi = 96;

// Pixels for `twips` at `dpi` dots per inch, rounded to the nearest, halves
// away from zero. The product is taken in 64 bits: a stored place is not
// trusted to be small.
int twipsToPixels(int twips, int dpi = kLayoutDpi);

struct PixelSize {
    int width = 0, height = 0;
};

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The place of `c` in its container, in pixels: right and bottom edges are
// rounded as the left and top are, so that neighbours that touch in twips
// touch in pixels; at least one pixel each way.
PixelRect containerRect(const ControlLayout& c, int dpi = kLayoutDpi);

// The place of `c` in the window's client area, for a toolkit whose
// controls are all children of the window: a control inside a frame is
// offset by the frame's place, summed in twips before rounding.
PixelRect clientRect(const FormLayout& layout, const ControlLayout& c, int dpi = kLayoutDpi);

// Where a label sized to its text lies once its text, in its font, needs
// `needed`: never smaller than `stored`; wider to the right, or about its
// centre for a centred label; taller downwards. Other controls, and a
// label that is not sized to its text, keep `stored`.
PixelRect fittedToText(const PixelRect& stored, const ControlLayout& c, PixelSize needed);

// Where a control lies among its siblings: frames beneath everything else,
// the progress bar over the status bar it shares its place with.
enum class Stacking { Bottom, AsMade, Top };
Stacking stackingOf(ControlKind kind);

// The controls that take part in the focus order, in that order.
std::vector<const ControlLayout*> focusOrder(const FormLayout& layout);

// Every control in the order a toolkit whose focus follows creation makes
// them: the focus order, then the controls outside it as the layout lists
// them.
std::vector<const ControlLayout*> creationOrder(const FormLayout& layout);

}  // namespace rastrex
