#include "file_uti.h"

#include "file_paths.h"

namespace rastrex::FileUti {

bool FileExists(QString& path)
{
    if (path.isEmpty())
        return false;
    if (endsWithPathSeparator(path))
        path.chop(1);
    return opensAsRegularFile(path);
}

std::int32_t MoveToRecycleBin(const QString& path, Dialogs& dialogs, Trash& trash)
{
#if !defined(_WIN32)
    // On Windows the shell asks this question itself.
    if (dialogs.ask(path + QStringLiteral(" を\rごみ箱に移動するよ？")) != Dialogs::Answer::Yes)
        return kMoveDeclined;
#endif
    const Trash::Outcome outcome = trash.moveToTrash(path);
    if (outcome.moved)
        return kMovedToTrash;
    if (!outcome.reason.isEmpty())
        dialogs.report(path + QStringLiteral(" を\rごみ箱に移動できなかったぞ。\r") + outcome.reason);
    return kMoveFailed;
}

}  // namespace rastrex::FileUti
