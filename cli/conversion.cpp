#include "conversion.h"

#include "rastrex.h"

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
    if (c.code == RASTREX_ERR_OPEN_INPUT || c.code == RASTREX_ERR_WRITE_OUTPUT)
        c.cause = lastSystemFailure();
    return c;
}

bool convertedWhole(const Conversion& c)
{
    return c.attempted && c.code == RASTREX_OK && c.probe.state != State::EndsEarly;
}

std::string causeText(const SystemFailure& cause, bool writing)
{
    switch (cause.kind) {
    case FileFailure::NoSpace: return "no space left on the disk";
    case FileFailure::Quota: return "the disk quota is used up";
    case FileFailure::NoPermission: return "permission denied";
    case FileFailure::ReadOnlyDisk: return "the disk is read-only";
    case FileFailure::ReadOnlyFile: return "the file is read-only";
    case FileFailure::InUse: return "another program is using the file";
    case FileFailure::NotFound: return writing ? "its folder does not exist" : "no such file";
    case FileFailure::FolderInTheWay: return writing ? "a folder has that name" : "it is a folder";
    case FileFailure::None:
    case FileFailure::Other: break;
    }
    return systemErrorText(cause.error, true);
}

std::string describeResult(std::int32_t code, const std::string& bitmap, const SystemFailure& cause)
{
    switch (code) {
    case RASTREX_OK:
        return "converted";
    case RASTREX_ERR_OPEN_INPUT:
        return "cannot open the dump: " + causeText(cause, false);
    case RASTREX_ERR_WRITE_OUTPUT:
        return "cannot write the bitmap " + bitmap + ": " + causeText(cause, true);
    case RASTREX_ERR_READ_INPUT:
        return "not a complete dump: its header, window name or first pixel is missing";
    case RASTREX_ERR_NO_MEMORY:
        return "not enough memory for its pixels, or its width and height are too large";
    default:
        return "unexpected result " + std::to_string(code) + " from the converter";
    }
}

std::string failureText(const Conversion& c, const std::string& bitmap)
{
    const DumpProbe& p = c.probe;
    if (!c.attempted)
        return "not converted: the dump ends early and holds less than 1% of the pixels its header "
               "announces (" + std::to_string(p.presentBytes) + " of " + std::to_string(p.announcedBytes) +
               " bytes for " + size(p) + "); its bitmap would be almost all black";
    if (c.code == RASTREX_ERR_READ_INPUT && p.state == State::NotADump)
        return "not an XWD dump";
    if (c.code != RASTREX_OK)
        return describeResult(c.code, bitmap, c.cause);
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
