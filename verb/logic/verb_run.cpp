// Running rastrex-convert's selection: the question, the conversions on
// worker threads while the calling thread tells the front end where they
// are, and the summary.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "conversion.h"
#include "selection.h"
#include "single_conversion.h"
#include "summary.h"
#include "verb_texts.h"
#include "verb_ui.h"

namespace rastrex::verb {

namespace {

class Run {
public:
    Run(const Selection& selection, VerbUi& ui, std::vector<std::size_t> todo)
        : selection_(selection), ui_(ui), todo_(std::move(todo)), outcomes_(todo_.size())
    {
        progress_.total = todo_.size();
    }

    // Converts the files on `jobs` threads; returns how many were started.
    std::size_t operator()(unsigned jobs)
    {
        const std::size_t threads = std::min<std::size_t>(std::max(jobs, 1u), todo_.size());
        {
            std::vector<std::jthread> workers;
            for (std::size_t t = 0; t < threads; ++t) {
                {
                    std::lock_guard lock(mutex_);
                    ++working_;
                }
                try {
                    workers.emplace_back([this] { work(); });
                } catch (const std::system_error&) {
                    // No more threads: those running do the whole selection.
                    std::lock_guard lock(mutex_);
                    --working_;
                    break;
                }
            }
            if (workers.empty()) {
                {
                    std::lock_guard lock(mutex_);
                    ++working_;
                }
                work();
            }
            tell();
        }
        return std::min(next_.load(), todo_.size());
    }

    const std::vector<Outcome>& outcomes() const { return outcomes_; }

private:
    void work()
    {
        for (;;) {
            if (ui_.cancelRequested())
                break;
            const std::size_t n = next_.fetch_add(1);
            if (n >= todo_.size())
                break;
            const cli::Item& item = selection_.items[todo_[n]];
            {
                std::lock_guard lock(mutex_);
                progress_.current = item.dump;
                changed_ = true;
            }
            changed_cv_.notify_one();
            Outcome outcome = outcomeOf(item.dump, cli::convertDump(item.dump, item.bitmap));
            {
                std::lock_guard lock(mutex_);
                outcomes_[n] = std::move(outcome);
                ++progress_.done;
                changed_ = true;
            }
            changed_cv_.notify_one();
        }
        {
            std::lock_guard lock(mutex_);
            --working_;
            changed_ = true;
        }
        changed_cv_.notify_one();
    }

    // Tells the front end of every change until the workers are done.
    void tell()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_cv_.wait(lock, [this] { return changed_; });
            changed_ = false;
            const Progress shown = progress_;
            const bool over = working_ == 0;
            lock.unlock();
            ui_.showProgress(shown);
            lock.lock();
            if (over)
                return;
        }
    }

    const Selection& selection_;
    VerbUi& ui_;
    const std::vector<std::size_t> todo_;  // the items to convert
    std::vector<Outcome> outcomes_;        // of todo_, by index
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;  // guards what follows
    std::condition_variable changed_cv_;
    Progress progress_;
    std::size_t working_ = 0;  // workers not yet done
    bool changed_ = true;      // progress_ or working_ changed since last told
};

}  // namespace

VerbStatus runVerb(const std::vector<std::string>& args, std::istream* in, VerbUi& ui,
                   const VerbSettings& settings)
{
    Selection selection = gatherSelection(args, in);
    if (!selection.listFailure.empty()) {
        ui.tell(selection.listFailure);
        return VerbStatus::Usage;
    }
    if (selection.dumps == 0) {
        ui.tell(kNoDumpText);
        return VerbStatus::Failure;
    }
    const bool replace = selection.existing > 0 && ui.askOverwrite(selection.existing);
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < selection.items.size(); ++i) {
        const cli::Item::Action action = selection.items[i].action;
        if (action == cli::Item::Action::Convert || (replace && action == cli::Item::Action::Skip))
            todo.push_back(i);
    }
    Run run(selection, ui, todo);
    const std::size_t started = run(settings.jobs != 0 ? settings.jobs : cli::defaultJobs());

    Tally tally;
    tally.kept = replace ? 0 : selection.existing;
    tally.notStarted = todo.size() - started;
    std::size_t next = 0;  // into todo
    for (std::size_t i = 0; i < selection.items.size(); ++i) {
        if (next < todo.size() && todo[next] == i) {
            if (next < started)
                tally.add(run.outcomes()[next]);
            ++next;
        } else if (!selection.failures[i].empty()) {
            tally.add(Outcome{Outcome::Kind::NotConverted, selection.failures[i]});
        }
    }
    const Summary summary = summarize(tally);
    ui.showSummary(summary);
    return summary.converted + summary.kept == selection.items.size() ? VerbStatus::Success
                                                                        : VerbStatus::Failure;
}

}  // namespace rastrex::verb
