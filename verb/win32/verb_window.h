// rastrex-convert's Win32 front end: the progress window (the file in hand,
// a bar, 中止) that becomes the summary at the end, and the message boxes
// of the question and of what it tells. runVerb() runs on a thread of its
// own; each call it makes of the front end is sent to the window's thread,
// whose message loop keeps running, so the window always answers.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace rastrex::verb::win32 {

// The boxes that wait for the user, or a script answering in their place.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The overwrite question: whether the existing bitmaps are replaced.
    virtual bool ask(HWND owner, const std::wstring& question) = 0;
    // A text with an OK button alone.
    virtual void tell(HWND owner, const std::wstring& text) = 0;
    // Shown the summary; whether the window closes at once instead of
    // waiting for the user (a script).
    virtual bool summaryShown(const std::wstring& text) = 0;
};

// Message boxes for the user.
std::unique_ptr<Dialogs> userDialogs();

// No box is shown: the question is answered `overwrite`, and each text a
// box or the summary would show is appended to the UTF-8 file `transcript`
// after "question: ", "tell: " or "summary: ". For tests and scripts,
// chosen by the environment (main.cpp).
std::unique_ptr<Dialogs> scriptedDialogs(std::wstring transcript, bool overwrite);

// Runs rastrex-convert on `args` (after the program's name), with `list`
// the bytes of its standard input, in the window; returns its exit status.
int runInWindow(const std::vector<std::string>& args, const std::string& list, Dialogs& dialogs);

}  // namespace rastrex::verb::win32
