#include "batch.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "bmp_name.h"
#include "platform.h"
#include "progress.h"
#include "rastrex.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "xwd2bmp";
constexpr std::string_view kDumpExtension = ".xwd";  // matched in any case

// A dump as found on the command line or in a folder, before planning.
struct Candidate {
    std::string dump;
    std::string bitmap;
    std::string failure;  // empty when the dump could be looked at
    FileId id{};
    std::uint64_t bytes = 0;
};

std::string systemMessage(int error)
{
    return std::generic_category().message(error);
}

bool isDumpName(const std::string& name)
{
    if (name.size() < kDumpExtension.size())
        return false;
    const std::string_view ext = std::string_view(name).substr(name.size() - kDumpExtension.size());
    return std::equal(ext.begin(), ext.end(), kDumpExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

// A file found under a folder PATH, relative to it; or a subfolder that
// could not be read.
struct Found {
    fs::path relative;
    std::string failure;
};

// The dumps of one folder, and with `recursive` of its subfolders. Links to
// folders are not followed, so a link loop cannot make the walk endless.
void listFolder(const fs::path& root, const fs::path& relative, bool recursive,
                std::vector<Found>& found)
{
    std::error_code ec;
    fs::directory_iterator it(relative.empty() ? root : root / relative, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const fs::path name = relative / entry.path().filename();
        std::error_code statusError;
        const fs::file_status own = entry.symlink_status(statusError);
        if (statusError)
            continue;  // vanished since the folder was read
        if (fs::is_directory(own)) {
            if (recursive)
                listFolder(root, name, recursive, found);
            continue;
        }
        const std::optional<std::string> fileName = fromPath(entry.path().filename());
        if (!fileName) {
            found.push_back({name, "the name cannot be spelled in the system's code page"});
            continue;
        }
        if (isDumpName(*fileName) && fs::is_regular_file(entry.status(statusError)))
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
        c.failure = systemMessage(looked.error);
        return;
    }
    c.id = looked.info->id;
    c.bytes = looked.info->bytes;
}

// The file-name part of a PATH as the user spelled it.
std::string fileNameOf(const std::string& path)
{
    const std::size_t sep = path.find_last_of(kPathSeparators);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::vector<Candidate> collect(const Options& options)
{
    std::vector<Candidate> candidates;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(toPath(path), ec);
        if (ec || !fs::exists(status)) {
            const Looked looked = lookAt(path);
            const int error = looked.error != 0 ? looked.error : ENOENT;
            Candidate c;
            c.dump = path;
            c.failure = systemMessage(error);
            candidates.push_back(std::move(c));
            continue;
        }
        if (!fs::is_directory(status)) {
            Candidate c;
            c.dump = path;
            c.bitmap = bitmapPath(options, path, {}, fileNameOf(path));
            look(c);
            candidates.push_back(std::move(c));
            continue;
        }
        std::vector<Found> found;
        listFolder(toPath(path), {}, options.recursive, found);
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.relative < b.relative; });
        for (const Found& f : found) {
            Candidate c;
            // Joined from parts spelled in the code page, so always spelled.
            c.dump = f.relative.empty() ? path
                                        : fromPath(toPath(path) / f.relative).value_or(path);
            if (!f.failure.empty()) {
                c.failure = f.failure;
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
    return "path " + caseFolded(full).string();
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
            std::error_code ec;
            fs::create_directories(folder, ec);
            std::string failure;
            if (ec)
                failure = "cannot create the folder " + fromPath(folder).value_or("") + ": " +
                          ec.message();
            else if (!fs::is_directory(folder, ec))
                failure = "cannot create the folder " + fromPath(folder).value_or("") + ": " +
                          systemMessage(ENOTDIR);
            it = made.emplace(folder, std::move(failure)).first;
        }
        if (!it->second.empty()) {
            item.action = Item::Action::Fail;
            item.reason = it->second;
        }
    }
}

}  // namespace

std::vector<Item> planBatch(const Options& options)
{
    const std::vector<Candidate> candidates = collect(options);

    std::set<FileId> dumps;
    for (const Candidate& c : candidates)
        if (c.failure.empty())
            dumps.insert(c.id);

    std::vector<Item> items;
    std::map<std::string, std::size_t> writers;  // bitmap key -> candidate writing it
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        Item item;
        item.dump = c.dump;
        item.bitmap = c.bitmap;
        item.bytes = c.bytes;
        if (!c.failure.empty()) {
            item.action = Item::Action::Fail;
            item.reason = c.failure;
            items.push_back(std::move(item));
            continue;
        }
        const std::optional<FileInfo> existing = lookAt(c.bitmap).info;
        const bool exists = existing.has_value();
        const std::string key = bitmapKey(c.bitmap, existing);
        if (auto w = writers.find(key); w != writers.end()) {
            const Candidate& first = candidates[w->second];
            if (first.id == c.id)
                continue;  // the same dump named twice: converted once
            item.action = Item::Action::Fail;
            item.reason = "not converted: " + first.dump + " has the same bitmap " + c.bitmap;
        } else if (exists && dumps.count(existing->id) != 0) {
            item.action = Item::Action::Fail;
            item.reason = "not converted: its bitmap " + c.bitmap + " is a dump of this batch";
        } else {
            writers.emplace(key, i);
            if (options.noClobber && exists)
                item.action = Item::Action::Skip;
        }
        items.push_back(std::move(item));
    }
    if (options.outputDir)
        makeOutputFolders(items);
    return items;
}

std::string describeResult(std::int32_t code, const std::string& bitmap)
{
    switch (code) {
    case RASTREX_OK:
        return "converted";
    case RASTREX_ERR_OPEN_INPUT:
        return "cannot open the dump for reading";
    case RASTREX_ERR_WRITE_OUTPUT:
        return "cannot write the bitmap " + bitmap;
    case RASTREX_ERR_READ_INPUT:
        return "not a complete dump: its header, window name or first pixel is missing";
    case RASTREX_ERR_NO_MEMORY:
        return "not enough memory for its pixels, or its width and height are too large";
    default:
        return "unexpected result " + std::to_string(code) + " from the converter";
    }
}

namespace {

// Runs the conversions and prints their outcome in item order: an item's
// messages wait until every item before it is done.
class Run {
public:
    Run(const std::vector<Item>& items, const Options& options, const Reporting& reporting)
        : items_(items), options_(options), reporting_(reporting), done_(items.size(), false),
          codes_(items.size(), RASTREX_OK)
    {
        std::uint64_t bytes = 0;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].action == Item::Action::Convert) {
                todo_.push_back(i);
                bytes += items[i].bytes;
            } else {
                done_[i] = true;
            }
        if (reporting.terminalColumns && !options.quiet)
            bar_ = std::make_unique<ProgressBar>(reporting.err, *reporting.terminalColumns,
                                                 todo_.size(), bytes);
    }

    ExitStatus operator()()
    {
        {
            std::lock_guard lock(mutex_);
            printReady();
            if (bar_)
                bar_->draw(true);
        }
        const std::size_t threads =
            std::min<std::size_t>(std::max(options_.jobs, 1u), todo_.size());
        {
            std::vector<std::jthread> helpers;
            try {
                for (std::size_t t = 1; t < threads; ++t)
                    helpers.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                // The system gives no more threads: the ones running, and
                // this one, do the whole batch.
            }
            work();
        }
        std::lock_guard lock(mutex_);
        if (bar_)
            bar_->clear();
        reporting_.out.flush();
        if (printed_ < items_.size()) {
            // Stopped from outside before every file was started: what was
            // done is still reported.
            std::size_t left = 0;
            for (std::size_t i = printed_; i < items_.size(); ++i)
                if (done_[i])
                    printItem(i);
                else
                    ++left;
            reporting_.err << kProgram << ": interrupted; " << left
                           << (left == 1 ? " dump was" : " dumps were") << " not converted\n";
            return ExitStatus::Failure;
        }
        return failed_ ? ExitStatus::Failure : ExitStatus::Success;
    }

private:
    void work()
    {
        for (;;) {
            if (reporting_.stop != nullptr && reporting_.stop->load())
                return;
            const std::size_t n = next_.fetch_add(1);
            if (n >= todo_.size())
                return;
            const std::size_t i = todo_[n];
            if (bar_) {
                std::lock_guard lock(mutex_);
                bar_->started(items_[i].dump);
                bar_->draw();
            }
            const std::int32_t code = fnRastrex(items_[i].dump.c_str(), items_[i].bitmap.c_str());
            std::lock_guard lock(mutex_);
            codes_[i] = code;
            done_[i] = true;
            if (bar_)
                bar_->finished(items_[i].bytes);
            printReady();
            if (bar_)
                bar_->draw();
        }
    }

    // Prints every finished item that no unfinished one precedes.
    void printReady()
    {
        for (; printed_ < items_.size() && done_[printed_]; ++printed_)
            printItem(printed_);
    }

    void printItem(std::size_t i)
    {
        const Item& item = items_[i];
        std::string failure;
        if (item.action == Item::Action::Fail)
            failure = item.reason;
        else if (item.action == Item::Action::Convert && codes_[i] != RASTREX_OK)
            failure = describeResult(codes_[i], item.bitmap);
        if (!failure.empty()) {
            failed_ = true;
            if (bar_)
                bar_->clear();
            reporting_.err << item.dump << ": " << failure << '\n';
        } else if (options_.verbose) {
            if (bar_)
                bar_->clear();
            if (item.action == Item::Action::Skip)
                reporting_.out << item.dump << ": skipped, " << item.bitmap << " exists\n";
            else
                reporting_.out << item.dump << " -> " << item.bitmap << '\n';
            if (bar_)
                reporting_.out.flush();
        }
    }

    const std::vector<Item>& items_;
    const Options& options_;
    const Reporting& reporting_;
    std::vector<std::size_t> todo_;  // items to convert
    std::atomic<std::size_t> next_{0};

    std::mutex mutex_;  // guards what follows and both streams
    std::vector<bool> done_;
    std::vector<std::int32_t> codes_;
    std::size_t printed_ = 0;
    bool failed_ = false;
    std::unique_ptr<ProgressBar> bar_;
};

}  // namespace

ExitStatus runBatch(const std::vector<Item>& items, const Options& options,
                    const Reporting& reporting)
{
    return Run(items, options, reporting)();
}

ExitStatus runProgram(int argc, const char* const* argv, const Reporting& reporting)
{
    const ParseOutcome parsed = parseCommandLine(argc, argv, reporting.out, reporting.err);
    if (!parsed.options)
        return parsed.status;
    const Options& options = *parsed.options;
    if (options.outputDir) {
        std::error_code ec;
        fs::create_directories(toPath(*options.outputDir), ec);
        if (!ec && !fs::is_directory(toPath(*options.outputDir), ec))
            ec = std::make_error_code(std::errc::not_a_directory);
        if (ec) {
            reporting.err << kProgram << ": cannot create the folder " << *options.outputDir
                          << ": " << ec.message() << '\n';
            return ExitStatus::Failure;
        }
    }
    return runBatch(planBatch(options), options, reporting);
}

}  // namespace rastrex::cli
