#include "thumbnail.h"

#include <algorithm>
#include <new>

#include "pixel_rows.h"
#include "rastrex.h"
#include "xwd_decoder.h"
#include "xwd_plan.h"

namespace rastrex {

namespace {

// Pixels decoded at a time: the row goes through one small buffer, however
// wide the dump is.
constexpr std::size_t kChunkPixels = 4096;

// The area average of a W x H picture at w x h (w <= W, h <= H), fed its
// rows bottom row first or top row first. Along each axis the picture's
// pixel k covers units [k * w, k * w + w) and the thumbnail's pixel i units
// [i * W, i * W + W), so every thumbnail pixel sums its sources' values
// weighted by the units they share, W * H of them in all. A source pixel
// shares with at most two thumbnail pixels each way. Only two rows of sums
// are kept: the thumbnail row being finished (the lead) and the one after
// it in the order the rows come.
class AreaScaler {
public:
    AreaScaler(std::uint32_t W, std::uint32_t H, Thumbnail& out, bool topDown)
        : W_(W), H_(H), w_(out.width), h_(out.height), out_(out), topDown_(topDown),
          rowSum_(std::size_t{w_} * 3), lead_(std::size_t{w_} * 3), next_(std::size_t{w_} * 3),
          leadRow_(topDown ? 0 : h_ - 1)
    {
    }

    void beginRow() { std::fill(rowSum_.begin(), rowSum_.end(), 0); }

    // Adds `n` decoded pixels (blue, green, red) from column x0 on to the
    // row begun.
    void addPixels(std::uint32_t x0, const unsigned char* bgr, std::size_t n)
    {
        std::uint64_t pos = std::uint64_t{x0} * w_;
        std::uint32_t i = static_cast<std::uint32_t>(pos / W_);
        std::uint64_t boundary = (std::uint64_t{i} + 1) * W_;
        for (std::size_t k = 0; k < n;) {
            // The run of pixels wholly inside thumbnail column i: plain sums,
            // weighted once.
            const std::size_t whole =
                static_cast<std::size_t>(std::min<std::uint64_t>((boundary - pos) / w_, n - k));
            std::uint32_t b = 0, g = 0, r = 0;  // at most 255 * kChunkPixels
            for (const unsigned char* p = bgr + 3 * k; p != bgr + 3 * (k + whole); p += 3) {
                b += p[0];
                g += p[1];
                r += p[2];
            }
            add(i, w_, b, g, r);
            pos += std::uint64_t{whole} * w_;
            k += whole;
            if (k == n)
                break;
            if (pos < boundary) {
                // A pixel across the boundary, shared by columns i and i + 1.
                const unsigned char* p = bgr + 3 * k;
                const std::uint64_t part = boundary - pos;
                add(i, part, p[0], p[1], p[2]);
                add(i + 1, w_ - part, p[0], p[1], p[2]);
                pos += w_;
                ++k;
            }
            ++i;
            boundary += W_;
        }
    }

    // Ends the row begun, the picture's row y.
    void endRow(std::uint32_t y)
    {
        const std::uint64_t top = std::uint64_t{y} * h_;  // the row's first unit
        const std::uint32_t rowTop = static_cast<std::uint32_t>(top / H_);
        const std::uint32_t rowBottom = static_cast<std::uint32_t>((top + h_ - 1) / H_);
        while (topDown_ ? leadRow_ < rowTop : leadRow_ > rowBottom)
            moveOn();
        if (rowTop == rowBottom) {
            spread(lead_, h_);
        } else {
            // The units of the row in thumbnail row rowTop, the rest in rowBottom.
            const std::uint64_t inTop = std::uint64_t{rowBottom} * H_ - top;
            spread(topDown_ ? lead_ : next_, inTop);
            spread(topDown_ ? next_ : lead_, h_ - inTop);
        }
    }

    // Writes the rows still held; rows past them had no source and stay black.
    void finish()
    {
        put(leadRow_, lead_);
        if (topDown_ ? leadRow_ + 1 < h_ : leadRow_ > 0)
            put(topDown_ ? leadRow_ + 1 : leadRow_ - 1, next_);
    }

private:
    void add(std::uint32_t i, std::uint64_t weight, std::uint64_t b, std::uint64_t g, std::uint64_t r)
    {
        std::uint64_t* s = &rowSum_[std::size_t{i} * 3];
        s[0] += weight * b;
        s[1] += weight * g;
        s[2] += weight * r;
    }

    void spread(std::vector<std::uint64_t>& into, std::uint64_t weight)
    {
        for (std::size_t k = 0; k < into.size(); ++k)
            into[k] += weight * rowSum_[k];
    }

    void moveOn()
    {
        put(leadRow_, lead_);
        lead_.swap(next_);
        std::fill(next_.begin(), next_.end(), 0);
        topDown_ ? ++leadRow_ : --leadRow_;
    }

    void put(std::uint32_t row, const std::vector<std::uint64_t>& sums)
    {
        const std::uint64_t units = std::uint64_t{W_} * H_;  // at most kMaxPixels
        unsigned char* dst = out_.bgr.data() + std::size_t{row} * w_ * 3;
        for (std::size_t k = 0; k < sums.size(); ++k)
            dst[k] = static_cast<unsigned char>((sums[k] + units / 2) / units);
    }

    std::uint32_t W_, H_, w_, h_;
    Thumbnail& out_;
    bool topDown_;
    std::vector<std::uint64_t> rowSum_;  // the row begun, by thumbnail column
    std::vector<std::uint64_t> lead_, next_;
    std::uint32_t leadRow_;  // the thumbnail row of lead_
};

// Rows of the picture that have a byte of their pixels in the file, in
// the first plane (which comes first); the rest, at the bottom, are black.
// The caller has found a pixel: `available` is more than the skipped bytes.
std::uint32_t rowsWithBytes(const DumpPlan& plan, std::uint64_t available)
{
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(plan.layout.height, (available - plan.span.skip - 1) / plan.layout.bytesPerLine + 1));
}

// Columns that may have bytes among the first `present` of their row; every
// pixel past them needs a byte the row lacks, so is black. (A pixel's bits
// lie in the bitmap unit of at most 4 bytes that holds its first bit.)
std::uint32_t columnsWithBytes(const PixelLayout& l, std::uint64_t present)
{
    const std::uint64_t bits = std::max<std::uint32_t>(l.bitsPerPixel, 1);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(l.width, ((present + 4) * 8 + bits - 1) / bits));
}

// The thumbnail's size and black pixels for a picture of layout `l`.
Thumbnail& sized(const PixelLayout& l, std::uint32_t box, Thumbnail& out)
{
    out.sourceWidth = l.width;
    out.sourceHeight = l.height;
    thumbnailSize(l.width, l.height, box, out.width, out.height);
    out.bgr.assign(std::size_t{out.width} * out.height * 3, 0);
    return out;
}

// Rows decoded a chunk at a time and shrunk into the thumbnail as they come.
class Shrinker {
public:
    Shrinker(const PixelLayout& l, const PixelDecoder& decoder, std::uint32_t box, Thumbnail& out, bool topDown)
        : l_(l), decoder_(decoder), scaler_(l.width, l.height, sized(l, box, out), topDown), chunk_(kChunkPixels * 3)
    {
    }

    void add(const RowView& row, std::uint32_t y)
    {
        scaler_.beginRow();
        const std::uint32_t columns = columnsWithBytes(l_, row.present[0]);
        for (std::uint32_t x = 0; x < columns;) {
            const std::size_t n = std::min<std::size_t>(kChunkPixels, columns - x);
            decoder_.decodeRow(row, x, n, chunk_.data());
            scaler_.addPixels(x, chunk_.data(), n);
            x += static_cast<std::uint32_t>(n);
        }
        scaler_.endRow(y);
    }

    void finish() { scaler_.finish(); }

private:
    const PixelLayout& l_;
    const PixelDecoder& decoder_;
    AreaScaler scaler_;
    std::vector<unsigned char> chunk_;
};

// Whether the first pixel lies within the first `available` bytes of the
// pixel area.
bool firstPixelArrived(const DumpPlan& plan, const PixelDecoder& decoder, std::uint64_t available)
{
    return available >= plan.span.skip && decoder.firstPixelPresent(available - plan.span.skip);
}

// Rows that can be read in any order, shrunk bottom row first.
template <class Rows>
std::int32_t shrink(const DumpPlan& plan, const PixelDecoder& decoder, Rows& rows, std::uint32_t box,
                    Thumbnail& out, HeaderRefusal& why)
{
    if (!rows.isReady())
        return RASTREX_ERR_NO_MEMORY;
    const std::uint64_t available = rows.available();
    if (!firstPixelArrived(plan, decoder, available)) {
        why = {HeaderFault::NoWholePixel, 0, 0, 0};
        return RASTREX_ERR_READ_INPUT;
    }
    // What the front ends would not convert gets no thumbnail either: the
    // file manager shows its plain icon, not a black square.
    if (holdsTooLittle(plan.mapCut ? 0 : available, plan.announcedArea))
        return kThumbnailTooLittle;
    Shrinker shrinker(plan.layout, decoder, box, out, false);
    for (std::uint32_t y = rowsWithBytes(plan, available); y-- > 0;) {
        const RowView row = rows.row(y);
        if (row.present[0] != 0)
            shrinker.add(row, y);
    }
    shrinker.finish();
    return RASTREX_OK;
}

// The rows of a one-plane stream that cannot be read by offset, shrunk as
// they are read, top row first, up to the first row the stream ended before.
std::int32_t shrinkForward(const DumpPlan& plan, const PixelDecoder& decoder, InputFile& in, std::uint32_t box,
                           Thumbnail& out, HeaderRefusal& why)
{
    ForwardRows rows(plan);
    RowView row = rows.next(in);
    if (!firstPixelArrived(plan, decoder, rows.available())) {
        why = {HeaderFault::NoWholePixel, 0, 0, 0};
        return RASTREX_ERR_READ_INPUT;
    }
    Shrinker shrinker(plan.layout, decoder, box, out, true);
    for (std::uint32_t y = 0; row.present[0] != 0;) {
        shrinker.add(row, y);
        if (++y == plan.layout.height)
            break;
        row = rows.next(in);
    }
    // Only at the end of the stream is it known how much of the area came.
    if (holdsTooLittle(plan.mapCut ? 0 : rows.available(), plan.announcedArea))
        return kThumbnailTooLittle;
    shrinker.finish();
    return RASTREX_OK;
}

std::int32_t thumbnailOf(InputFile& in, std::uint32_t box, Thumbnail& out, HeaderRefusal& why)
{
    DumpPlan plan;
    const std::int32_t planned = planDump(in, plan);
    why = plan.refusal;
    if (planned != RASTREX_OK)
        return planned;
    const PixelDecoder decoder(plan.layout, plan.colourMap.data.get());
    plan.colourMap = {};
    if (plan.areaInFile) {
        StreamRows rows(in, plan);
        return shrink(plan, decoder, rows, box, out, why);
    }
    if (plan.layout.planes == 1)
        return shrinkForward(plan, decoder, in, box, out, why);
    // A pixel's bits lie in every plane, one plane after another: the
    // planes are held until the last one arrives.
    if (plan.layout.areaBytes() > kMaxHeldThumbnailBytes)
        return RASTREX_ERR_NO_MEMORY;
    HeldRows rows(plan);
    if (!rows.fill(in))
        return RASTREX_ERR_NO_MEMORY;
    return shrink(plan, decoder, rows, box, out, why);
}

}  // namespace

void thumbnailSize(std::uint32_t width, std::uint32_t height, std::uint32_t box,
                   std::uint32_t& outWidth, std::uint32_t& outHeight)
{
    box = std::max<std::uint32_t>(box, 1);
    const bool wide = width >= height;
    const std::uint32_t longSide = wide ? width : height;
    const std::uint32_t shortSide = wide ? height : width;
    const std::uint32_t longOut = std::min(longSide, box);
    // shortSide * longOut / longSide, rounded: at most shortSide.
    const std::uint64_t shortOut = (std::uint64_t{shortSide} * longOut * 2 + longSide) / (2 * std::uint64_t{longSide});
    const std::uint32_t shortKept = static_cast<std::uint32_t>(std::max<std::uint64_t>(shortOut, 1));
    outWidth = wide ? longOut : shortKept;
    outHeight = wide ? shortKept : longOut;
}

std::int32_t makeThumbnail(InputFile& in, std::uint32_t box, Thumbnail& out, HeaderRefusal* why)
{
    out = {};
    HeaderRefusal refusal;
    try {
        const std::int32_t result = thumbnailOf(in, box, out, refusal);
        if (why != nullptr)
            *why = refusal;
        if (result != RASTREX_OK)
            out = {};
        return result;
    } catch (const std::bad_alloc&) {
        out = {};
        return RASTREX_ERR_NO_MEMORY;
    }
}

std::int32_t makeThumbnail(const char* path, std::uint32_t box, Thumbnail& out, int& error, HeaderRefusal* why)
{
    InputFile in(path);
    if (!in.isOpen()) {
        error = in.openError();
        out = {};
        return RASTREX_ERR_OPEN_INPUT;
    }
    return makeThumbnail(in, box, out, why);
}

}  // namespace rastrex
