// The two message boxes the window program shows: a report (critical icon,
// one OK button) and a yes/no question. Logic talks to this interface only;
// the real one shows modal boxes owned by the main window, tests script it.
#pragma once

#include <QString>

namespace rastrex {

class Dialogs {
public:
    enum class Answer { Yes, No };

    virtual ~Dialogs() = default;

    // Shows `text` and waits until the user dismisses it. A lone carriage
    // return in `text` is a line break.
    virtual void report(const QString& text) = 0;

    // Shows `text` with Yes and No buttons and returns the one pressed.
    virtual Answer ask(const QString& text) = 0;
};

}  // namespace rastrex
