#include "dump_texts.h"

#include "rastrex.h"
#include "xwd_limits.h"

namespace rastrex {

namespace {

std::string size(const HeaderRefusal& r)
{
    return std::to_string(r.value) + "x" + std::to_string(r.other) + " pixels";
}

std::string masks(const HeaderRefusal& r)
{
    return "the header's colour masks " + hexText(r.value) + ", " + hexText(r.other) + " and " + hexText(r.third);
}

}  // namespace

ConversionResult resultOf(std::int32_t code)
{
    switch (code) {
    case RASTREX_OK: return ConversionResult::Ok;
    case RASTREX_ERR_OPEN_INPUT: return ConversionResult::OpenInput;
    case RASTREX_ERR_WRITE_OUTPUT: return ConversionResult::WriteOutput;
    case RASTREX_ERR_READ_INPUT: return ConversionResult::ReadInput;
    case RASTREX_ERR_NO_MEMORY: return ConversionResult::NoMemory;
    default: return ConversionResult::Unexpected;  // an int: any other value
    }
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
    case FileFailure::NotAFile: return "not a file: a pipe or a device";
    case FileFailure::None:
    case FileFailure::Other: break;
    }
    return systemErrorText(cause.error, true);
}

std::string refusalText(const HeaderRefusal& r)
{
    const std::string says = "the header says ";
    const std::string v = std::to_string(r.value);
    switch (r.fault) {
    case HeaderFault::None: return {};
    case HeaderFault::ShortHeader: return "the file ends inside the 100-byte header";
    case HeaderFault::HeaderSize: return says + "it is " + v + " bytes long; a header has at least 100";
    case HeaderFault::LongName:
        return says + "a window name of " + v + " bytes; at most " + std::to_string(kMaxWindowNameBytes) +
               " are read";
    case HeaderFault::NoName: return "the file ends before the window name its header announces";
    case HeaderFault::LongSide:
        return says + size(r) + "; a side has at most " + std::to_string(kMaxDimension);
    case HeaderFault::TooManyPixels:
        return says + size(r) + "; at most " + std::to_string(kMaxPixels) + " pixels are read";
    case HeaderFault::BitmapTooLarge: return says + size(r) + "; their bitmap would pass 4 GiB";
    case HeaderFault::Empty: return says + size(r) + ": there is no picture";
    case HeaderFault::NoWholePixel: return "the file ends before its first whole pixel";
    case HeaderFault::Version: return says + "file version " + v + "; its layout is read in version 7 only";
    case HeaderFault::ByteOrder: return says + "byte order " + v + "; 0 and 1 are known";
    case HeaderFault::Format: return says + "pixmap format " + v + "; 0, 1 and 2 are known";
    case HeaderFault::Depth: return says + "a depth of " + v + " bits; a pixel value has 1 to 32";
    case HeaderFault::PixelSize: return says + v + " bits per pixel; a dump has 1, 4, 8, 16, 24 or 32";
    case HeaderFault::DepthAbovePixel:
        return says + "a depth of " + v + " bits in " + std::to_string(r.other) + " bits per pixel";
    case HeaderFault::BitmapDepth: return says + "a bitmap of depth " + v + "; a bitmap has depth 1";
    case HeaderFault::BitmapUnit: return says + "bitmap units of " + v + " bits; 8, 16 and 32 are known";
    case HeaderFault::BitOrder: return says + "bit order " + v + "; 0 and 1 are known";
    case HeaderFault::ShortRows:
        return says + v + " bytes a row; its pixels need " + std::to_string(r.other);
    case HeaderFault::VisualClass: return says + "visual class " + v + "; 0 to 5 are known";
    case HeaderFault::BrokenMask: return masks(r) + " are not each one run of bits within a pixel";
    case HeaderFault::MasksOverlap: return masks(r) + " share bits";
    case HeaderFault::ColourEntries:
        return says + v + " colour entries; at most " + std::to_string(kMaxColourEntries) + " are read";
    case HeaderFault::ColourMapPastEnd: return says + v + " colour entries; the file ends inside them";
    }
    return {};
}

std::string resultText(std::int32_t code, const SystemFailure& cause, const HeaderRefusal& refusal,
                       const std::string& bitmap)
{
    const std::string why = refusesDump(refusal.fault) ? refusalText(refusal) : std::string();
    switch (resultOf(code)) {
    case ConversionResult::Ok: return "converted";
    case ConversionResult::OpenInput: return "cannot open the dump: " + causeText(cause, false);
    case ConversionResult::WriteOutput:
        return "cannot write the bitmap" + (bitmap.empty() ? "" : " " + bitmap) + ": " + causeText(cause, true);
    case ConversionResult::ReadInput:
        return why.empty() ? "not a complete dump: its header, window name or first pixel is missing"
                           : "not converted: " + why;
    case ConversionResult::NoMemory:
        return why.empty() ? "not enough memory for its pixels" : "not converted: " + why;
    case ConversionResult::Unexpected: break;
    }
    return "unexpected result " + std::to_string(code) + " from the converter";
}

}  // namespace rastrex
