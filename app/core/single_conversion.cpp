#include "single_conversion.h"

#include <QFile>

#include "bmp_name.h"
#include "file_uti.h"
#include "rastrex.h"

namespace rastrex {

namespace {

// A check box counts as on only with this value; 2 (greyed) is off.
constexpr int kCheckOn = 1;

QString reasonFor(std::int32_t code)
{
    switch (code) {
    case RASTREX_ERR_OPEN_INPUT:
        return QStringLiteral("XWD ファイルを開けない。");
    case RASTREX_ERR_WRITE_OUTPUT:
        return QStringLiteral("BMP ファイルを書き込めない。");
    case RASTREX_ERR_READ_INPUT:
        return QStringLiteral("XWD ファイルが壊れているか、空っぽだ。");
    case RASTREX_ERR_NO_MEMORY:
        return QStringLiteral("画像が大きすぎる。");
    default:
        return QStringLiteral("不明なエラー（%1）。").arg(code);
    }
}

}  // namespace

QString bmpPathFor(const QString& xwdPath)
{
    // UTF-8 never puts the bytes of "/", "\", ":" or ".xwd" inside a
    // multi-byte character, so the byte-wise rule gives the same answer.
    return QString::fromStdString(rastrex::bmpPathFor(std::string_view(xwdPath.toStdString())));
}

ConversionOutcome doMain(QString path, ConversionContext& context)
{
    QString target = bmpPathFor(path);

    if (!FileUti::FileExists(path)) {
        context.dialogs.report(path + QStringLiteral(" は \r存在しねえぞ。"));
        return ConversionOutcome::SourceMissing;
    }

    if (context.confirmOverwrite() == kCheckOn && FileUti::FileExists(target)) {
        if (context.dialogs.ask(target + QStringLiteral(" を\r上書きするよ？")) != Dialogs::Answer::Yes)
            return ConversionOutcome::Declined;
    }

    QString reason;
    if (!context.library.bind(&reason)) {
        context.dialogs.report(reason);
        return ConversionOutcome::LibraryMissing;
    }

    const std::int32_t result = context.library.convert(QFile::encodeName(path), QFile::encodeName(target));
    if (result != RASTREX_OK) {
        // No bitmap was written: the source stays where it is.
        context.dialogs.report(path + QStringLiteral(" を\r変換できなかったぞ。") + reasonFor(result));
        return ConversionOutcome::Failed;
    }

    if (context.deleteAfterwards() == kCheckOn && FileUti::FileExists(path))
        FileUti::MoveToRecycleBin(path, context.dialogs, context.trash);
    return ConversionOutcome::Converted;
}

}  // namespace rastrex
