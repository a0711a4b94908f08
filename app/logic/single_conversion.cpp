#include "single_conversion.h"

#include "bmp_name.h"
#include "dump_probe.h"
#include "dump_texts.h"
#include "header_texts.h"
#include "file_uti.h"
#include "rastrex.h"

namespace rastrex {

namespace {

// The system's reason for a failed open (`writing` false) or write.
std::string japaneseCause(const SystemFailure& cause, bool writing)
{
    switch (cause.kind) {
    case FileFailure::None: return {};
    case FileFailure::NoSpace: return "ディスクがいっぱいだ。";
    case FileFailure::Quota: return "ディスクの割り当てを使い切った。";
    case FileFailure::NoPermission: return writing ? "書き込む権限がない。" : "読む権限がない。";
    case FileFailure::ReadOnlyDisk: return "ディスクが書き込み禁止だ。";
    case FileFailure::ReadOnlyFile: return "読み取り専用のファイルだ。";
    case FileFailure::InUse: return "ほかのプログラムが使っている。";
    case FileFailure::NotFound: return writing ? "フォルダーがない。" : "ファイルがない。";
    case FileFailure::FolderInTheWay: return writing ? "同じ名前のフォルダーがある。" : "フォルダーだ。";
    case FileFailure::NotAFile: return "ファイルではない。";
    case FileFailure::Other: break;
    }
    return cause.error != 0 ? "（" + systemErrorText(cause.error, false) + "）" : std::string();
}

}  // namespace

std::string conversionFailureReason(std::int32_t code, const SystemFailure& cause, const HeaderRefusal& refusal)
{
    switch (resultOf(code)) {
    case ConversionResult::Ok:
        return {};
    case ConversionResult::OpenInput:
        return "XWD ファイルを開けない。" + japaneseCause(cause, false);
    case ConversionResult::WriteOutput:
        return "BMP ファイルを書き込めない。" + japaneseCause(cause, true);
    case ConversionResult::ReadInput:
        return refusesDump(refusal.fault) ? japaneseRefusal(refusal) : "XWD ファイルが壊れているか、空っぽだ。";
    case ConversionResult::NoMemory:
        return refusesDump(refusal.fault) ? japaneseRefusal(refusal) : "画像が大きすぎる。";
    case ConversionResult::Unexpected:
        break;
    }
    return "不明なエラー（" + std::to_string(code) + "）。";
}

std::string cannotOpenText(const std::string& path, const SystemFailure& cause)
{
    if (cause.kind == FileFailure::NotFound || cause.kind == FileFailure::None)
        return path + " は \r存在しねえぞ。";
    return path + " を\r開けないぞ。" + japaneseCause(cause, false);
}

std::string conversionFailedText(const std::string& path, const std::string& reason)
{
    return path + " を\r変換できなかったぞ。" + reason;
}

std::string mostlyMissingText(const std::string& path, const DumpProbe& probe)
{
    return path + " を\r変換しなかったぞ。途中で切れていて、" + std::to_string(probe.width) + "×" +
           std::to_string(probe.height) + " の画素が 1% も残っていない。BMP ファイルはほとんど真っ黒になる。";
}

std::string endsEarlyText(const std::string& path, const DumpProbe& probe)
{
    const auto rows = [&](std::uint32_t n) { return std::to_string(probe.height) + " 行のうち " + std::to_string(n) + " 行"; };
    const std::string told = path + " は\r途中で切れているぞ。";
    if (probe.planes == 1)
        return told + rows(probe.wholeRows) + "しかない。残りは黒になった。";
    // Stored plane by plane: the planes there give their bits, and only
    // pixels with none of them are black.
    const std::string planes = "ビット面ごとの XWD で、" + std::to_string(probe.planes) + " 面のうち ";
    if (probe.wholePlanes == 0)
        return told + planes + "1 面目の " + rows(probe.planeRows) + "しかない。その行はほかの面のビットが欠けていて、残りは黒になった。";
    return told + planes + std::to_string(probe.wholePlanes) + " 面と、次の面の " + rows(probe.planeRows) +
           "しかない。欠けたビットは 0 にしたので、色が正しくない。";
}

ConversionOutcome doMain(std::string path, ConversionContext& context)
{
    FileSystem& files = context.services.files;
    std::string target = bmpPathFor(path);

    const SystemFailure source = FileUti::ProbeFile(path, files);
    if (source.kind != FileFailure::None) {
        context.boxes.report(cannotOpenText(path, source));
        return ConversionOutcome::SourceMissing;
    }

    if (context.confirmOverwrite() == kCheckOn && FileUti::FileExists(target, files)) {
        if (context.boxes.ask(target + " を\r上書きするよ？") != MessageBoxes::Answer::Yes)
            return ConversionOutcome::Declined;
    }

    std::string reason;
    if (!context.services.library.bind(&reason)) {
        context.boxes.report(reason);
        return ConversionOutcome::LibraryMissing;
    }

    // A dump cut short gives a bitmap of its full size, black where it ends;
    // one that holds almost nothing is not worth such a bitmap.
    const DumpProbe probe = probeDump(path.c_str());
    if (probe.state == DumpProbe::State::MostlyMissing) {
        context.boxes.report(mostlyMissingText(path, probe));
        return ConversionOutcome::Failed;
    }
    const std::int32_t result = context.services.library.convert(path, target);
    if (result != RASTREX_OK) {
        // No bitmap was written: the source stays where it is.
        context.boxes.report(conversionFailedText(
            path, conversionFailureReason(result, context.services.library.failureCause(), probe.refusal)));
        return ConversionOutcome::Failed;
    }
    if (probe.state == DumpProbe::State::EndsEarly) {
        // The bitmap lacks part of the picture: the source is kept.
        context.boxes.report(endsEarlyText(path, probe));
        return ConversionOutcome::Incomplete;
    }

    if (context.deleteAfterwards() == kCheckOn && FileUti::FileExists(path, files))
        FileUti::MoveToRecycleBin(path, context.boxes, context.services.trash, context.owner);
    return ConversionOutcome::Converted;
}

}  // namespace rastrex
