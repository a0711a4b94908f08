// A VerbUi that answers from a script at once and records what it is told,
// for the tests of rastrex-convert's logic.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "verb_ui.h"

namespace rastrex::test {

class ScriptedVerbUi : public verb::VerbUi {
public:
    // The answer to the question; a question asked without one fails.
    std::optional<bool> answer;
    // 中止 is pressed once cancelRequested() has been called this often:
    // with one worker, after this many files.
    std::size_t cancelAfter = std::numeric_limits<std::size_t>::max();

    std::vector<std::size_t> asked;  // the n of each question
    std::size_t progressBeforeAsk = 0;
    std::vector<verb::Progress> progress;
    std::vector<verb::Summary> summaries;
    std::vector<std::string> told;

    void showProgress(const verb::Progress& p) override { progress.push_back(p); }
    bool cancelRequested() override { return calls_.fetch_add(1) >= cancelAfter; }
    bool askOverwrite(std::size_t existing) override
    {
        asked.push_back(existing);
        progressBeforeAsk = progress.size();
        if (!answer)
            ADD_FAILURE() << "asked whether to overwrite " << existing << " bitmaps";
        return answer.value_or(false);
    }
    void showSummary(const verb::Summary& summary) override { summaries.push_back(summary); }
    void tell(const std::string& text) override { told.push_back(text); }

private:
    std::atomic<std::size_t> calls_{0};
};

}  // namespace rastrex::test
