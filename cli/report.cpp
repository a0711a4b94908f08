#include "report.h"

#include <cstdio>
#include <utility>

#include "shown_name.h"

namespace rastrex::cli {

BatchReport::BatchReport(const std::vector<Item>& items, const Options& options, const Reporting& reporting)
    : items_(items), options_(options), reporting_(reporting),
      listing_(options.toStdout ? reporting.err : reporting.out), done_(items.size(), false),
      outcomes_(items.size())
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
        bar_ = std::make_unique<ProgressBar>(reporting.err, *reporting.terminalColumns, todo_.size(), bytes);
}

void BatchReport::begin()
{
    printReady();
    if (bar_)
        bar_->draw(true);
}

void BatchReport::started(std::size_t i)
{
    if (!bar_)
        return;
    bar_->started(shownName(items_[i].dump));
    bar_->draw();
}

void BatchReport::finished(std::size_t i, Conversion outcome, std::string streamFailure)
{
    if (!streamFailure.empty())
        streamFailure_ = std::move(streamFailure);
    outcomes_[i] = std::move(outcome);
    done_[i] = true;
    if (bar_)
        bar_->finished(items_[i].bytes);
    printReady();
    if (bar_)
        bar_->draw();
}

ExitStatus BatchReport::end()
{
    clearBar();
    listing_.flush();
    if (printed_ == items_.size()) {
        printSummary();
        return failures_ > 0 ? ExitStatus::Failure : ExitStatus::Success;
    }
    // Stopped from outside before every file was started: what was done is
    // still reported.
    std::size_t left = 0;
    for (std::size_t i = printed_; i < items_.size(); ++i)
        if (done_[i])
            printItem(i);
        else
            ++left;
    printSummary();
    reporting_.err << kProgram << ": interrupted; " << left << (left == 1 ? " dump was" : " dumps were")
                   << " not converted\n";
    return ExitStatus::Failure;
}

void BatchReport::clearBar()
{
    if (bar_)
        bar_->clear();
}

// Prints every finished item that no unfinished one precedes.
void BatchReport::printReady()
{
    for (; printed_ < items_.size() && done_[printed_]; ++printed_)
        printItem(printed_);
}

void BatchReport::printItem(std::size_t i)
{
    const Item& item = items_[i];
    // Names as the user may read them, whatever bytes they hold.
    const std::string dump = shownName(item.dump), bitmap = shownName(item.bitmap);
    std::string failure;
    if (item.action == Item::Action::Fail)
        failure = item.reason;
    else if (item.action == Item::Action::Convert && !streamFailure_.empty())
        failure = streamFailure_;
    else if (item.action == Item::Action::Convert)
        failure = failureText(outcomes_[i], bitmap);
    if (item.action == Item::Action::Note) {
        clearBar();
        reporting_.err << dump << ": " << item.reason << '\n';
    } else if (!failure.empty()) {
        ++failures_;
        clearBar();
        reporting_.err << dump << ": " << failure << '\n';
    } else if (options_.verbose) {
        clearBar();
        if (item.action == Item::Action::Skip)
            listing_ << dump << ": skipped, " << bitmap << " exists\n";
        else
            listing_ << dump << " -> " << bitmap << '\n';
        if (bar_)
            listing_.flush();
    }
}

// On a terminal, one line after a run of more than one file: what came of
// the files reported so far, and how long the run took.
void BatchReport::printSummary()
{
    if (!reporting_.terminalColumns || options_.quiet)
        return;
    std::size_t files = 0, converted = 0, skipped = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].action == Item::Action::Note)
            continue;
        ++files;
        if (items_[i].action == Item::Action::Skip)
            ++skipped;
        else if (items_[i].action == Item::Action::Convert && done_[i] && convertedWhole(outcomes_[i]))
            ++converted;
    }
    if (files <= 1)
        return;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin_).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f", seconds);
    reporting_.err << kProgram << ": " << converted << " converted, ";
    if (skipped > 0)
        reporting_.err << skipped << " skipped, ";
    reporting_.err << failures_ << " failed, " << elapsed << " seconds\n";
}

}  // namespace rastrex::cli
