#include "trash.h"

#include <sys/stat.h>

#include <cerrno>

// Kept apart from every Qt header: GIO's headers use names Qt defines as
// macros.
#include <gio/gio.h>

namespace rastrex {

namespace {

// What GIO's error means for the user; GIO's own words follow on a line of
// their own.
std::string reasonFor(const GError* error)
{
    std::string reason;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND))
        reason = "ファイルが見つかりません。";
    else if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED))
        reason = "このファイルのあるボリュームではごみ箱が使えません。";
    else if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED))
        reason = "ごみ箱に移動する権限がありません。";
    else
        reason = "ごみ箱に移動できません。";
    if (error != nullptr && error->message != nullptr && *error->message != '\0')
        reason += std::string("\r") + error->message;
    return reason;
}

}  // namespace

RecycleBin::Outcome DesktopTrash::moveToTrash(const std::string& path, NativeHandle)
{
    // A zero byte would cut the name short and name another file.
    if (path.empty() || path.find('\0') != std::string::npos)
        return {false, "ファイル名が正しくありません。"};
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {false, errno == ENOENT || errno == ENOTDIR ? "ファイルが見つかりません。"
                                                          : "ファイルの情報を読めません。"};
    // Exactly the one file: a folder would take everything in it along.
    if (S_ISDIR(st.st_mode))
        return {false, "フォルダーはごみ箱に移動できません。"};

    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error) != FALSE;
    g_object_unref(file);
    if (moved)
        return {true, {}};
    Outcome out{false, reasonFor(error)};
    g_clear_error(&error);
    return out;
}

}  // namespace rastrex
