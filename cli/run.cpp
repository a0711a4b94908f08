// Running a batch: its conversions on several threads, each reported as
// the report's order allows.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "batch.h"
#include "report.h"
#include "stream.h"

namespace rastrex::cli {

namespace {

class Run {
public:
    Run(const std::vector<Item>& items, const Options& options, const Reporting& reporting)
        : items_(items), options_(options), reporting_(reporting), report_(items, options, reporting)
    {
    }

    ExitStatus operator()()
    {
        {
            std::lock_guard lock(mutex_);
            report_.begin();
        }
        const std::size_t threads = std::min<std::size_t>(std::max(options_.jobs, 1u), report_.todo().size());
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
        return report_.end();
    }

private:
    void work()
    {
        for (;;) {
            if (reporting_.stop != nullptr && reporting_.stop->load())
                return;
            const std::size_t n = next_.fetch_add(1);
            if (n >= report_.todo().size())
                return;
            const std::size_t i = report_.todo()[n];
            {
                std::lock_guard lock(mutex_);
                report_.started(i);
            }
            Conversion outcome;
            std::string streamFailure;
            if (options_.toStdout) {
                StreamOutcome o = convertForStream(items_[i].dump, reporting_.in, reporting_.out, reporting_.binary);
                outcome = o.conversion;
                streamFailure = std::move(o.failure);
            } else {
                outcome = convertDump(items_[i].dump, items_[i].bitmap);
            }
            std::lock_guard lock(mutex_);
            report_.finished(i, std::move(outcome), std::move(streamFailure));
        }
    }

    const std::vector<Item>& items_;
    const Options& options_;
    const Reporting& reporting_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;  // guards the report and both streams
    BatchReport report_;
};

}  // namespace

ExitStatus runBatch(const std::vector<Item>& items, const Options& options, const Reporting& reporting)
{
    return Run(items, options, reporting)();
}

}  // namespace rastrex::cli
