// The thumbnail a dump should have, made the slow and plain way from the
// library's full bitmap: the picture that fits a box x box square keeping
// its proportions, each pixel the mean of the picture's pixels under it,
// weighted by the area they share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "xwd_recipe.h"

namespace rastrex::test {

inline void fitInBox(std::uint32_t w, std::uint32_t h, std::uint32_t box, std::uint32_t& tw,
                     std::uint32_t& th)
{
    const bool wide = w >= h;
    const double longSide = wide ? w : h, shortSide = wide ? h : w;
    const double longOut = std::min<double>(longSide, box);
    const auto shortOut = static_cast<std::uint32_t>(std::max(1.0, std::floor(shortSide * longOut / longSide + 0.5)));
    tw = wide ? static_cast<std::uint32_t>(longOut) : shortOut;
    th = wide ? shortOut : static_cast<std::uint32_t>(longOut);
}

inline Bitmap areaAverage(const Bitmap& src, std::uint32_t box)
{
    Bitmap out;
    fitInBox(src.width, src.height, box, out.width, out.height);
    const double sx = double(src.width) / out.width, sy = double(src.height) / out.height;
    for (std::uint32_t j = 0; j < out.height; ++j)
        for (std::uint32_t i = 0; i < out.width; ++i) {
            double sum[3] = {}, area = 0;
            const double x0 = i * sx, x1 = x0 + sx, y0 = j * sy, y1 = y0 + sy;
            for (auto y = static_cast<std::uint32_t>(y0); y < src.height && y < y1; ++y)
                for (auto x = static_cast<std::uint32_t>(x0); x < src.width && x < x1; ++x) {
                    const double a = (std::min<double>(x + 1, x1) - std::max<double>(x, x0)) *
                                     (std::min<double>(y + 1, y1) - std::max<double>(y, y0));
                    const Rgb c = src.at(x, y);
                    sum[0] += a * c.r, sum[1] += a * c.g, sum[2] += a * c.b, area += a;
                }
            out.pixels.push_back({static_cast<std::uint8_t>(std::lround(sum[0] / area)),
                                  static_cast<std::uint8_t>(std::lround(sum[1] / area)),
                                  static_cast<std::uint8_t>(std::lround(sum[2] / area))});
        }
    return out;
}

// "" when the two pictures have one size and no channel differs by more
// than `tolerance`; otherwise what differs first.
inline std::string compareWithin(const Bitmap& want, const Bitmap& got, int tolerance)
{
    if (want.width != got.width || want.height != got.height)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + ", want " +
               std::to_string(want.width) + "x" + std::to_string(want.height);
    for (std::uint32_t y = 0; y < want.height; ++y)
        for (std::uint32_t x = 0; x < want.width; ++x) {
            const Rgb a = want.at(x, y), b = got.at(x, y);
            if (std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance || std::abs(a.b - b.b) > tolerance)
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " + std::to_string(b.r) + "/" +
                       std::to_string(b.g) + "/" + std::to_string(b.b) + ", want " + std::to_string(a.r) + "/" +
                       std::to_string(a.g) + "/" + std::to_string(a.b);
        }
    return "";
}

}  // namespace rastrex::test
