#include "progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rastrex::cli {

namespace {

// Below this many columns the bar itself is left out.
constexpr int kMinColumnsForBar = 60;
constexpr int kBarCells = 20;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr double kBytesPerMegabyte = 1e6;
// The speed of the first moments says little (a few small or failed files),
// so it is shown only after this long.
constexpr double kSecondsBeforeSpeed = 0.5;

// Columns a piece of UTF-8 text takes; any character outside ASCII is
// counted as two, which over-counts some but never lets a line wrap.
std::size_t columnsOf(const std::string& s)
{
    std::size_t n = 0;
    for (const char byte : s) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80)
            n += 1;
        else if ((c & 0xC0) != 0x80)  // first byte of a character
            n += 2;
    }
    return n;
}

// The end of `s` that fits in `width` columns, cut at a character boundary.
std::string tailFitting(const std::string& s, std::size_t width)
{
    std::size_t start = s.size();
    std::size_t used = 0;
    while (start > 0) {
        std::size_t begin = start - 1;
        while (begin > 0 && (static_cast<unsigned char>(s[begin]) & 0xC0) == 0x80)
            --begin;
        const std::size_t w = columnsOf(s.substr(begin, start - begin));
        if (used + w > width)
            break;
        used += w;
        start = begin;
    }
    return s.substr(start);
}

std::string clockText(double seconds)
{
    const auto total = static_cast<std::uint64_t>(std::llround(seconds));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                      static_cast<unsigned long long>(total / 3600),
                      static_cast<unsigned>(total / 60 % 60), static_cast<unsigned>(total % 60));
    else
        std::snprintf(text, sizeof text, "%u:%02u", static_cast<unsigned>(total / 60),
                      static_cast<unsigned>(total % 60));
    return text;
}

}  // namespace

std::string progressLine(const ProgressState& s, int columns)
{
    std::string line = std::to_string(s.filesDone) + "/" + std::to_string(s.files);
    if (columns >= kMinColumnsForBar) {
        const std::size_t filled =
            s.files == 0 ? kBarCells : s.filesDone * kBarCells / s.files;
        line.append(" [").append(filled, '#').append(kBarCells - filled, '.').append("]");
    }
    const bool measured = s.bytesDone > 0 && s.seconds >= kSecondsBeforeSpeed;
    const double rate = measured ? static_cast<double>(s.bytesDone) / s.seconds : 0;
    char speed[32];
    std::snprintf(speed, sizeof speed, " %.1f MB/s", rate / kBytesPerMegabyte);
    line += measured ? speed : " -- MB/s";
    line.append(" ")
        .append(measured ? clockText(static_cast<double>(s.bytes - std::min(s.bytesDone, s.bytes)) / rate) : "-:--")
        .append(" left");

    const std::size_t width = columns > 0 ? static_cast<std::size_t>(columns) : 0;
    // One column stays free: a full last column makes some terminals wrap.
    if (columnsOf(line) + 1 >= width)
        return tailFitting(line, width > 0 ? width - 1 : 0);
    const std::size_t room = width - 1 - columnsOf(line);
    const std::string gap = "  ";
    if (!s.current.empty() && room > gap.size() + 3) {
        if (columnsOf(s.current) <= room - gap.size())
            line.append(gap).append(s.current);
        else
            line.append(gap).append("...").append(tailFitting(s.current, room - gap.size() - 3));
    }
    return line;
}

ProgressBar::ProgressBar(std::ostream& terminal, int columns, std::size_t files,
                         std::uint64_t bytes, bool escapes)
    : terminal_(terminal), columns_(columns), escapes_(escapes)
{
    state_.files = files;
    state_.bytes = bytes;
}

void ProgressBar::started(const std::string& dump)
{
    state_.current = dump;
}

void ProgressBar::finished(std::uint64_t bytes)
{
    ++state_.filesDone;
    state_.bytesDone += bytes;
}

void ProgressBar::draw(bool force)
{
    const Clock::time_point now = Clock::now();
    if (!force && shown_ && now - lastDraw_ < kRedrawInterval)
        return;
    lastDraw_ = now;
    state_.seconds = std::chrono::duration<double>(now - begin_).count();
    const std::string line = progressLine(state_, columns_);
    if (!escapes_ && shown_)
        terminal_ << '\r' << std::string(shownColumns_, ' ');  // as many as it may take
    terminal_ << '\r' << line;
    if (escapes_)
        terminal_ << "\x1b[K";  // erases the end of a longer bar before
    terminal_ << std::flush;
    shownColumns_ = columnsOf(line);
    shown_ = true;
}

void ProgressBar::clear()
{
    if (shown_ && escapes_)
        terminal_ << "\r\x1b[K" << std::flush;
    else if (shown_)
        terminal_ << '\r' << std::string(shownColumns_, ' ') << '\r' << std::flush;
    shown_ = false;
}

}  // namespace rastrex::cli
