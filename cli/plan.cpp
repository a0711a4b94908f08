// Planning a batch: the dumps of every PATH, where their bitmaps go, and
// which of them cannot be converted before the run starts.
#include "batch.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "bmp_name.h"
#include "case_fold.h"
#include "path_names.h"
#include "platform.h"
#include "shown_name.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDumpExtension = ".xwd";  // matched in any case

// A dump as found on the command line or in a folder, before planning: an
// item to convert, or one that already failed or is a note.
using Candidate = Item;

void fail(Candidate& c, std::string reason)
{
    c.action = Item::Action::Fail;
    c.reason = std::move(reason);
}

std::string systemMessage(int error)
{
    return std::generic_category().message(error);
}

// A file found under a folder PATH, relative to it; or a path below it that
// could not be reached.
struct Found {
    fs::path relative;
    std::string failure;
};

// The system refuses a path this long or longer; such a path is reported
// rather than tried.
bool tooLong(const fs::path& path)
{
    return path.native().size() >= kPathLimit;
}

std::string tooLongMessage()
{
    return "cannot reach it: the path is longer than the " + std::to_string(kPathLimit - 1) + " " +
           kPathUnits + " the system allows";
}

// The dumps of one folder, and with `recursive` of its subfolders. Links to
// folders are not followed, so a link loop cannot make the walk endless.
// Every path that may hold a dump and cannot be reached is reported: a
// folder that cannot be read, an entry that vanished or cannot be looked at,
// a path too long for the system.
void listFolder(const fs::path& root, const fs::path& relative, bool recursive,
                std::vector<Found>& found)
{
    if (tooLong(root / relative)) {
        found.push_back({relative, tooLongMessage()});
        return;
    }
    std::error_code ec;
    for (const Listed& entry : listEntries(relative.empty() ? root : root / relative, ec)) {
        const fs::path name = relative / entry.name;
        const bool dumpName = isDumpName(entry.name.string());
        if (tooLong(root / name)) {
            // Only the type the folder listing gave is known; a path this
            // long cannot be looked at.
            if (dumpName || (recursive && (entry.folder || entry.typeUnknown)))
                found.push_back({name, tooLongMessage()});
            continue;
        }
        std::error_code statusError;
        const fs::path at = systemPath(root / name);
        const fs::file_status own = fs::symlink_status(at, statusError);
        if (statusError) {
            // Vanished since the folder was read, or refused: it may have
            // been a dump or a folder of dumps.
            if (dumpName || recursive)
                found.push_back({name, "cannot reach it: " + statusError.message()});
            continue;
        }
        if (fs::is_directory(own)) {
            if (recursive)
                listFolder(root, name, recursive, found);
            continue;
        }
        if (!dumpName)
            continue;
        if (!fromPath(entry.name)) {
            found.push_back({name, "the name cannot be spelled in the system's code page"});
            continue;
        }
        // A link is followed to its file; one that leads nowhere is
        // reported like a vanished file. Anything else that is not a file
        // (a FIFO, a device) is no dump.
        const fs::file_status target = fs::status(at, statusError);
        if (statusError)
            found.push_back({name, "cannot reach it: " + statusError.message()});
        else if (fs::is_regular_file(target))
            found.push_back({name, {}});
    }
    if (ec)
        found.push_back({relative, "cannot read the folder: " + ec.message()});
}

// The bitmap of a dump; `name` is the dump's file name.
std::string bitmapPath(const Options& options, const std::string& dump, const fs::path& relative,
                       const std::string& name)
{
    if (!options.outputDir)
        return bmpPathFor(dump);
    // Spelled from parts that each were spelled in the code page already.
    return fromPath(toPath(*options.outputDir) / relative.parent_path() / toPath(bmpPathFor(name)))
        .value_or(std::string());
}

void look(Candidate& c)
{
    const Looked looked = lookAt(c.dump);
    if (!looked.info) {
        fail(c, systemMessage(looked.error));
        return;
    }
    c.id = looked.info->id;
    c.bytes = looked.info->bytes;
}

// The bitmap's place when it goes to standard output, as listings say it.
constexpr const char* kStandardOutput = "standard output";

std::vector<Candidate> collect(const Options& options)
{
    std::vector<Candidate> candidates;
    if (options.fromStdin) {
        Candidate c;
        c.dump = "-";
        c.bitmap = kStandardOutput;
        candidates.push_back(std::move(c));
        return candidates;
    }
    candidates.reserve(options.paths.size());
    auto refused = options.refused.begin();
    for (std::size_t i = 0; i < options.paths.size(); ++i) {
        const std::string& path = options.paths[i];
        if (refused != options.refused.end() && refused->first == i) {
            Candidate c;
            c.dump = path;
            fail(c, (refused++)->second);
            candidates.push_back(std::move(c));
            continue;
        }
        std::error_code ec;
        const fs::file_status status = fs::status(systemPath(toPath(path)), ec);
        if (ec || !fs::exists(status)) {
            const Looked looked = lookAt(path);
            const int error = looked.error != 0 ? looked.error : ENOENT;
            Candidate c;
            c.dump = path;
            fail(c, systemMessage(error));
            candidates.push_back(std::move(c));
            continue;
        }
        if (!fs::is_directory(status)) {
            Candidate c;
            c.dump = path;
            if (options.toStdout) {
                // Any file that can be read, a pipe or a device too.
                c.bitmap = kStandardOutput;
                c.bytes = fs::is_regular_file(status) ? lookAt(path).info.value_or(FileInfo{}).bytes : 0;
            } else if (!fs::is_regular_file(status) || namesNoFile(path)) {
                // A bitmap beside a device or a pipe (/dev/stdin.BMP) is
                // never wanted, even where a file stands behind it.
                c.dump = path;
                fail(c, "not a regular file; use - to read standard input");
            } else {
                c.bitmap = bitmapPath(options, path, {}, lastName(path));
                look(c);
            }
            candidates.push_back(std::move(c));
            continue;
        }
        std::vector<Found> found;
        listFolder(toPath(path), {}, options.recursive, found);
        if (found.empty()) {
            Candidate c;
            c.dump = path;
            c.action = Item::Action::Note;
            c.reason = options.recursive
                           ? "no dump in this folder or its subfolders (no file named *.xwd)"
                           : "no dump in this folder (no file named *.xwd)";
            candidates.push_back(std::move(c));
            continue;
        }
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.relative < b.relative; });
        for (const Found& f : found) {
            Candidate c;
            // Joined from parts spelled in the code page, so always spelled.
            c.dump = f.relative.empty() ? path
                                        : fromPath(toPath(path) / f.relative).value_or(path);
            if (!f.failure.empty()) {
                fail(c, f.failure);
            } else {
                c.bitmap = bitmapPath(options, c.dump, f.relative,
                                      fromPath(f.relative.filename()).value_or(std::string()));
                look(c);
            }
            candidates.push_back(std::move(c));
        }
    }
    return candidates;
}

// Names one bitmap file whatever path leads to it: the file itself when it
// exists, else its absolute path with links and dot parts resolved.
std::string bitmapKey(const std::string& bitmap, const std::optional<FileInfo>& existing)
{
    if (existing)
        return "file " + std::to_string(existing->id.first) + ":" +
               std::to_string(existing->id.second);
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(toPath(bitmap), ec), ec);
    if (ec)
        full = fs::absolute(toPath(bitmap), ec).lexically_normal();
    const std::u8string utf8 = full.u8string();
    const std::string name(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    return "path " + nameKey(name);
}

// Creates the folders the bitmaps go into below the output folder; an item
// whose folder cannot be made fails.
void makeOutputFolders(std::vector<Item>& items)
{
    std::map<fs::path, std::string> made;  // folder -> failure, empty when made
    for (Item& item : items) {
        if (item.action != Item::Action::Convert)
            continue;
        const fs::path folder = toPath(item.bitmap).parent_path();
        if (folder.empty())
            continue;
        auto it = made.find(folder);
        if (it == made.end()) {
            std::string failure = makeFolders(folder);
            if (!failure.empty())
                failure = "cannot create the folder " + shownName(fromPath(folder).value_or("")) + ": " + failure;
            it = made.emplace(folder, std::move(failure)).first;
        }
        if (!it->second.empty()) {
            item.action = Item::Action::Fail;
            item.reason = it->second;
        }
    }
}

// An item whose bitmap would lie among devices or processes (/dev, /proc,
// /sys) fails.
void refuseDeviceFolders(std::vector<Item>& items)
{
    std::map<fs::path, std::string> kinds;  // folder -> its kind of file system there
    for (Item& item : items) {
        if (item.action != Item::Action::Convert)
            continue;
        const fs::path folder = toPath(item.bitmap).parent_path();
        auto it = kinds.find(folder);
        if (it == kinds.end())
            it = kinds.emplace(folder, deviceFileSystem(fromPath(folder).value_or(""))).first;
        if (!it->second.empty())
            fail(item, "not converted: its bitmap " + shownName(item.bitmap) +
                           " would lie in a file system of devices or processes (" + it->second +
                           "); choose another folder with -o");
    }
}

}  // namespace

bool isDumpName(const std::string& name)
{
    if (name.size() < kDumpExtension.size())
        return false;
    const std::string_view ext = std::string_view(name).substr(name.size() - kDumpExtension.size());
    return std::equal(ext.begin(), ext.end(), kDumpExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::vector<Item> planBatch(const Options& options)
{
    std::vector<Item> items = collect(options);
    if (options.toStdout)
        return items;
    refuseDeviceFolders(items);

    // The files of the dumps, sorted, to find a bitmap path that names one.
    std::vector<FileId> dumps;
    for (const Item& item : items)
        if (item.action == Item::Action::Convert)
            dumps.push_back(item.id);
    std::sort(dumps.begin(), dumps.end());
    dumps.erase(std::unique(dumps.begin(), dumps.end()), dumps.end());

    // Each bitmap's writer, by the hash of the bitmap's key: only a hash is
    // kept for each, and a match is confirmed on the keys themselves.
    std::unordered_multimap<std::size_t, std::size_t> writers;  // -> index in items
    const auto keyOf = [](const std::string& bitmap) {
        const std::optional<FileInfo> existing = lookAt(bitmap).info;
        return std::pair(bitmapKey(bitmap, existing), existing);
    };
    std::size_t kept = 0;  // items are kept in place, but for a dump named twice
    for (std::size_t i = 0; i < items.size(); ++i) {
        Item item = std::move(items[i]);
        if (item.action != Item::Action::Convert) {
            items[kept++] = std::move(item);
            continue;
        }
        const auto [key, existing] = keyOf(item.bitmap);
        const bool exists = existing.has_value();
        const std::size_t hash = std::hash<std::string>{}(key);
        const Item* first = nullptr;
        for (auto [w, end] = writers.equal_range(hash); w != end && first == nullptr; ++w)
            if (keyOf(items[w->second].bitmap).first == key)
                first = &items[w->second];
        if (first != nullptr) {
            if (first->id == item.id)
                continue;  // the same dump named twice: converted once
            fail(item, "not converted: " + shownName(first->dump) + " has the same bitmap " +
                           shownName(item.bitmap));
        } else if (exists && std::binary_search(dumps.begin(), dumps.end(), existing->id)) {
            fail(item, "not converted: its bitmap " + shownName(item.bitmap) + " is a dump of this batch");
        } else {
            writers.emplace(hash, kept);
            if (options.noClobber && exists)
                item.action = Item::Action::Skip;
        }
        items[kept++] = std::move(item);
    }
    items.resize(kept);
    if (options.outputDir)
        makeOutputFolders(items);
    return items;
}

}  // namespace rastrex::cli
