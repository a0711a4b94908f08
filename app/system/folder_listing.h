// Folders as this platform spells and lists them, in plain bytes: every
// name exactly as the file system holds it.
#pragma once

#include <string>
#include <vector>

#include "path_names.h"
#include "services.h"

namespace rastrex {

enum class EntryKind { Files, Folders };

// The names (without folder) of the entries of `folder` of one kind, in no
// particular order; hidden entries (a leading dot) are left out. Files are
// regular files and links to them; folders likewise. An unreadable folder
// gives none.
std::vector<std::string> listFolder(const std::string& folder, EntryKind kind);

// Whether `folder` is a folder whose entries can be listed and opened.
bool canListFolder(const std::string& folder);

// `path` in one spelling: absolute (from the current folder), without "."
// or "..", without a trailing separator except for a root.
std::string cleanFolderPath(const std::string& path);

// The root of the file system tree holding `path` ("/").
std::string rootFolderOf(const std::string& path);

// The folders from the root down to `folder` (clean), both included.
std::vector<std::string> folderChain(const std::string& folder);

// Whether the volume whose root is `root` holds the clean path `path`.
bool folderHolds(const std::string& root, const std::string& path);

// The machine's files as the window's logic probes them.
class SystemFileSystem final : public FileSystem {
public:
    SystemFailure openForReading(const std::string& path) override;
};

}  // namespace rastrex
