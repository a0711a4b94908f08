#include "batch.h"

#include <sys/stat.h>

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
#include "progress.h"
#include "rastrex.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "xwd2bmp";
constexpr std::string_view kDumpExtension = ".xwd";  // matched in any case

using FileId = std::pair<dev_t, ino_t>;

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
    fs::directory_iterator it(root / relative, ec);
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
        if (isDumpName(entry.path().filename().string()) &&
            fs::is_regular_file(entry.status(statusError)))
            found.push_back({name, {}});
    }
    if (ec)
        found.push_back({relative, "cannot read the folder: " + ec.message()});
}

std::string bitmapPath(const Options& options, const std::string& dump, const fs::path& relative)
{
    if (!options.outputDir)
        return bmpPathFor(dump);
    return (fs::path(*options.outputDir) / relative.parent_path() /
            bmpPathFor(relative.filename().string()))
        .string();
}

void look(Candidate& c)
{
    struct stat st {};
    if (::stat(c.dump.c_str(), &st) != 0) {
        c.failure = systemMessage(errno);
        return;
    }
    c.id = {st.st_dev, st.st_ino};
    c.bytes = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::vector<Candidate> collect(const Options& options)
{
    std::vector<Candidate> candidates;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            const int error = ec ? ec.value() : ENOENT;
            Candidate c;
            c.dump = path;
            c.failure = systemMessage(error);
            candidates.push_back(std::move(c));
            continue;
        }
        if (!fs::is_directory(status)) {
            Candidate c;
            c.dump = path;
            c.bitmap = bitmapPath(options, path, fs::path(path).filename());
            look(c);
            candidates.push_back(std::move(c));
            continue;
        }
        std::vector<Found> found;
        listFolder(path, {}, options.recursive, found);
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.relative < b.relative; });
        for (const Found& f : found) {
            Candidate c;
            c.dump = f.relative.empty() ? path : (fs::path(path) / f.relative).string();
            if (!f.failure.empty()) {
                c.failure = f.failure;
            } else {
                c.bitmap = bitmapPath(options, c.dump, f.relative);
                look(c);
            }
            candidates.push_back(std::move(c));
        }
    }
    return candidates;
}

// Names one bitmap file whatever path leads to it: the file itself when it
// exists, else its absolute path with links and dot parts resolved.
std::string bitmapKey(const std::string& bitmap, const struct stat* existing)
{
    if (existing != nullptr)
        return "file " + std::to_string(existing->st_dev) + ":" + std::to_string(existing->st_ino);
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(bitmap, ec), ec);
    if (ec)
        full = fs::absolute(bitmap, ec).lexically_normal();
    return "path " + full.string();
}

// Creates the folders the bitmaps go into below the output folder; an item
// whose folder cannot be made fails.
void makeOutputFolders(std::vector<Item>& items)
{
    std::map<fs::path, std::string> made;  // folder -> failure, empty when made
    for (Item& item : items) {
        if (item.action != Item::Action::Convert)
            continue;
        const fs::path folder = fs::path(item.bitmap).parent_path();
        if (folder.empty())
            continue;
        auto it = made.find(folder);
        if (it == made.end()) {
            std::error_code ec;
            fs::create_directories(folder, ec);
            std::string failure;
            if (ec)
                failure = "cannot create the folder " + folder.string() + ": " + ec.message();
            else if (!fs::is_directory(folder, ec))
                failure = "cannot create the folder " + folder.string() + ": " +
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
        struct stat st {};
        const bool exists = ::stat(c.bitmap.c_str(), &st) == 0;
        const std::string key = bitmapKey(c.bitmap, exists ? &st : nullptr);
        if (auto w = writers.find(key); w != writers.end()) {
            const Candidate& first = candidates[w->second];
            if (first.id == c.id)
                continue;  // the same dump named twice: converted once
            item.action = Item::Action::Fail;
            item.reason = "not converted: " + first.dump + " has the same bitmap " + c.bitmap;
        } else if (exists && dumps.count({st.st_dev, st.st_ino}) != 0) {
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
        fs::create_directories(*options.outputDir, ec);
        if (!ec && !fs::is_directory(*options.outputDir, ec))
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
