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
    const std::string rows = std::to_string(p.wholeRows) + " of " + std::to_string(p.height) + " rows";
    return p.planar ? "the dump ends early: " + rows + " are whole; the rest of the bitmap lacks some of its colours"
                    : "the dump ends early: " + rows + "; the rest of the bitmap is black";
}

}  // namespace rastrex::cli
