// The VerbUi of the Qt front end: each call made on runVerb's thread is
// carried out on the UI thread, which waits for nothing meanwhile.
#pragma once

#include <optional>
#include <utility>

#include <QString>
#include <ostream>

#include "progress_window.h"
#include "verb_ui.h"

namespace rastrex::verb::qt {

// The test answers: with RASTREX_CONVERT_ANSWER=yes or =no in the
// environment, the question is answered so without being shown, and the
// summary and messages are written to standard output instead of shown,
// so that a test can run the program to its end without a user.
std::optional<bool> scriptedAnswer();

class QtVerbUi : public VerbUi {
public:
    // `answer`: see scriptedAnswer(); `out` takes the texts not shown.
    QtVerbUi(ProgressWindow& window, std::optional<bool> answer, std::ostream& out)
        : window_(window), answer_(answer), out_(out)
    {
    }

    void showProgress(const Progress& progress) override;
    bool cancelRequested() override { return window_.cancelRequested(); }
    bool askOverwrite(std::size_t existing) override;
    void showSummary(const Summary& summary) override;
    void tell(const std::string& text) override;

private:
    ProgressWindow& window_;
    std::optional<bool> answer_;
    std::ostream& out_;
};

// The message boxes, on the UI thread: the question (true: yes) and a
// message with OK (`warning`: a warning's icon, else information's), with
// `details` behind the box's button for them when not empty.
bool askQuestion(QWidget* owner, const QString& text);
void showMessage(QWidget* owner, const QString& text, bool warning, const QString& details = {});

// A summary with more lines of causes than this shows its counts, and the
// causes behind the button for details, so the box fits on the screen.
inline constexpr qsizetype kShownCauses = 15;

// The summary's text in its box, and its details (empty when the causes are
// shown in the text).
std::pair<QString, QString> summaryBox(const std::string& text);

}  // namespace rastrex::verb::qt
