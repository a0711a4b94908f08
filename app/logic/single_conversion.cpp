#include "single_conversion.h"

#include "bmp_name.h"
#include "file_uti.h"
#include "rastrex.h"

namespace rastrex {

namespace {

std::string reasonFor(std::int32_t code)
{
    switch (code) {
    case RASTREX_ERR_OPEN_INPUT:
        return "XWD ファイルを開けない。";
    case RASTREX_ERR_WRITE_OUTPUT:
        return "BMP ファイルを書き込めない。";
    case RASTREX_ERR_READ_INPUT:
        return "XWD ファイルが壊れているか、空っぽだ。";
    case RASTREX_ERR_NO_MEMORY:
        return "画像が大きすぎる。";
    default:
        return "不明なエラー（" + std::to_string(code) + "）。";
    }
}

}  // namespace

std::string bmpPathFor(const std::string& xwdPath)
{
    return rastrex::bmpPathFor(std::string_view(xwdPath));
}

std::string cannotOpenText(const std::string& path, FileState state)
{
    switch (state) {
    case FileState::Missing:
    case FileState::Readable:
        return path + " は \r存在しねえぞ。";
    case FileState::InUse:
        return path + " を\r開けないぞ。ほかのプログラムが使っている。";
    case FileState::NoPermission:
        return path + " を\r開けないぞ。読む権限がない。";
    case FileState::NotAFile:
        return path + " を\r開けないぞ。ファイルではない。";
    case FileState::Unreadable:
        break;
    }
    return path + " を\r開けないぞ。";
}

std::string conversionFailedText(const std::string& path, const std::string& reason)
{
    return path + " を\r変換できなかったぞ。" + reason;
}

ConversionOutcome doMain(std::string path, ConversionContext& context)
{
    FileSystem& files = context.services.files;
    std::string target = bmpPathFor(path);

    const FileState source = FileUti::ProbeFile(path, files);
    if (source != FileState::Readable) {
        context.boxes.report(cannotOpenText(path, source));
        return ConversionOutcome::SourceMissing;
    }

    if (context.confirmOverwrite() == kCheckOn && FileUti::FileExists(target, files)) {
        if (context.boxes.ask(target + " を\r上書きするよ？") != MessageBox::Answer::Yes)
            return ConversionOutcome::Declined;
    }

    std::string reason;
    if (!context.services.library.bind(&reason)) {
        context.boxes.report(reason);
        return ConversionOutcome::LibraryMissing;
    }

    const std::int32_t result = context.services.library.convert(path, target);
    if (result != RASTREX_OK) {
        // No bitmap was written: the source stays where it is.
        context.boxes.report(conversionFailedText(path, reasonFor(result)));
        return ConversionOutcome::Failed;
    }

    if (context.deleteAfterwards() == kCheckOn && FileUti::FileExists(path, files))
        FileUti::MoveToRecycleBin(path, context.boxes, context.services.trash, context.owner);
    return ConversionOutcome::Converted;
}

}  // namespace rastrex
