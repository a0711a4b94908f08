#include "dump_probe.h"

#include <algorithm>

#include "byte_order.h"
#include "input_file.h"
#include "rastrex.h"
#include "xwd_header.h"
#include "xwd_layout.h"
#include "xwd_plan.h"

namespace rastrex {

namespace {

// Rows of one plane whose bytes are all among the first `bytes` of it.
std::uint32_t rowsWithin(std::uint64_t bytes, const DumpPlan& plan)
{
    const std::uint64_t firstRow = plan.span.skip + plan.span.used;
    if (bytes < firstRow)
        return 0;
    const std::uint64_t rows = (bytes - firstRow) / plan.layout.bytesPerLine + 1;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(rows, plan.layout.height));
}

// Bytes at the start of a dump that tell whether it can be one: the header
// size and the file version.
constexpr std::size_t kLeadingBytes = 8;
constexpr std::size_t kWordBytes = 4;

// Whether the `n` bytes present of the first two words fit a dump in one
// order: a whole header-size word must be 100 or more, and each byte present
// of the version word must be that of the file version. Dumps are
// big-endian, but some writers store their native order.
bool couldStartADump(const unsigned char* b, std::size_t n, bool bigEndian)
{
    if (n >= kWordBytes && load32(b, bigEndian) < kXwdHeaderBytes)
        return false;
    for (std::size_t i = kWordBytes; i < n; ++i) {
        const std::size_t shift = 8 * (bigEndian ? kLeadingBytes - 1 - i : i - kWordBytes);
        if (b[i] != static_cast<unsigned char>(kXwdFileVersion >> shift))
            return false;
    }
    return true;
}

bool plainlyNotADump(InputFile& in)
{
    if (!in.regularSize())
        return false;
    unsigned char start[kLeadingBytes] = {};
    const auto n = static_cast<std::size_t>(in.readAt(0, start, kLeadingBytes));
    return n == 0 || (!couldStartADump(start, n, true) && !couldStartADump(start, n, false));
}

}  // namespace

DumpProbe probeDump(const char* path)
{
    DumpProbe probe;
    InputFile in(path);
    if (!in.isOpen())
        return probe;
    DumpPlan plan;
    const std::int32_t planned = planDump(in, plan);
    probe.refusal = plan.refusal;
    if (planned != RASTREX_OK) {
        if (plainlyNotADump(in))
            probe.state = DumpProbe::State::NotADump;
        return probe;
    }
    if (!plan.areaInFile)
        return probe;

    const PixelLayout& l = plan.layout;
    probe.width = l.width;
    probe.height = l.height;
    probe.announcedBytes = plan.announcedArea;
    // A cut colour map leaves the header's pixel area without a byte, and
    // its other words with no reading of their own to tell.
    probe.presentBytes = plan.mapCut ? 0 : *plan.areaInFile;
    if (!plan.mapCut && probe.presentBytes >= neededAreaBytes(plan)) {
        probe.state = DumpProbe::State::Whole;
        probe.wholeRows = l.height;
        return probe;
    }
    if (holdsTooLittle(probe.presentBytes, probe.announcedBytes)) {
        probe.state = DumpProbe::State::MostlyMissing;
        return probe;
    }
    probe.state = DumpProbe::State::EndsEarly;
    // Planes follow one another: the plane the dump ends in holds its first
    // rows, and a row is whole once the last plane holds it.
    probe.planes = l.planes;
    probe.wholePlanes = static_cast<std::uint32_t>(probe.presentBytes / l.planeBytes());
    probe.planeRows = rowsWithin(probe.presentBytes - l.planeBytes() * probe.wholePlanes, plan);
    probe.wholeRows = probe.wholePlanes + 1 == l.planes ? probe.planeRows : 0;
    return probe;
}

}  // namespace rastrex
