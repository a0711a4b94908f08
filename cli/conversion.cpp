#include "conversion.h"

#include "rastrex.h"
#include "write_refusal.h"

namespace rastrex::cli {

namespace {

using State = DumpProbe::State;

std::string size(const DumpProbe& p)
{
    return std::to_string(p.width) + "x" + std::to_string(p.height);
}

}  // namespace

Conversion convertDump(const std::string& dump, const std::string& bitmap)
{
    Conversion c;
    c.probe = probeDump(dump.c_str());
    if (c.probe.state == State::MostlyMissing)
        return c;
    c.attempted = true;
    c.code = fnRastrex(dump.c_str(), bitmap.c_str());
    // Read at once: the library leaves the reason in the thread's last error.
    if (c.code == RASTREX_ERR_OPEN_INPUT)
        c.cause = lastSystemFailure();
    else if (c.code == RASTREX_ERR_WRITE_OUTPUT)
        c.cause = writeFailureAt(lastSystemFailure(), bitmap.c_str());
    return c;
}

bool convertedWhole(const Conversion& c)
{
    return c.attempted && c.code == RASTREX_OK && c.probe.state != State::EndsEarly;
}

std::string describeResult(std::int32_t code, const std::string& bitmap, const SystemFailure& cause,
                           const HeaderRefusal& refusal)
{
    return resultText(code, cause, refusal, bitmap);
}

std::string failureText(const Conversion& c, const std::string& bitmap)
{
    const DumpProbe& p = c.probe;
    if (!c.attempted)
        return "not converted: the dump ends early and holds less than 1% of the pixels its header "
               "announces (" + std::to_string(p.presentBytes) + " of " + std::to_string(p.announcedBytes) +
               " bytes for " + size(p) + "); its bitmap would be almost all black";
    if (c.code == RASTREX_ERR_READ_INPUT && p.state == State::NotADump)
        return refusesDump(p.refusal.fault) ? "not an XWD dump: " + refusalText(p.refusal) : "not an XWD dump";
    if (c.code != RASTREX_OK)
        return describeResult(c.code, bitmap, c.cause, p.refusal);
    if (p.state != State::EndsEarly)
        return {};
    const auto rows = [&](std::uint32_t n) { return std::to_string(n) + " of " + std::to_string(p.height) + " rows"; };
    if (p.planes == 1)
        return "the dump ends early: " + rows(p.wholeRows) + "; the rest of the bitmap is black";
    // Stored plane by plane: the planes there give their bits, and only
    // pixels with none of them are black.
    const std::string planes = std::to_string(p.planes) + " bit planes";
    if (p.wholePlanes == 0)
        return "the dump ends early: of its " + planes + " it holds " + rows(p.planeRows) +
               " of the first; those rows lack the other planes' bits and the rest of the bitmap is black";
    return "the dump ends early: it holds " + std::to_string(p.wholePlanes) + " of its " + planes + " and " + rows(p.planeRows) +
           " of the next; the bitmap lacks the other bits (taken as 0), so its colours are off";
}

}  // namespace rastrex::cli
