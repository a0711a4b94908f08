#include "file_uti.h"

#include "path_rules.h"

namespace rastrex::FileUti {

SystemFailure ProbeFile(std::string& path, FileSystem& files)
{
    if (path.empty())
        return {FileFailure::NotFound, 0};
    if (isFolderSeparator(path.back()))
        path.pop_back();
    if (path.empty())
        return {FileFailure::NotFound, 0};
    // A zero byte would cut the path short at the open call.
    if (path.find('\0') != std::string::npos)
        return {FileFailure::Other, 0};
    return files.openForReading(path);
}

bool FileExists(std::string& path, FileSystem& files)
{
    return ProbeFile(path, files).kind == FileFailure::None;
}

std::int32_t MoveToRecycleBin(const std::string& path, MessageBoxes& boxes, RecycleBin& trash, NativeHandle owner)
{
    if (!trash.asksItself() && boxes.ask(path + " を\rごみ箱に移動するよ？") != MessageBoxes::Answer::Yes)
        return kMoveDeclined;
    const RecycleBin::Outcome outcome = trash.moveToTrash(path, owner);
    if (outcome.moved)
        return kMovedToTrash;
    // An empty reason: the user declined in the platform's own question.
    if (outcome.reason.empty())
        return kMoveDeclined;
    if (outcome.toldUser)
        return kMoveFailed;
    boxes.report(path + " を\rごみ箱に移動できなかったぞ。\r" + outcome.reason);
    return kMoveFailed;
}

}  // namespace rastrex::FileUti
