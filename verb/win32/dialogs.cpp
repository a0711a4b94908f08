// The question and the texts of rastrex-convert: message boxes for the
// user, or a transcript for a script.
#include <fstream>
#include <filesystem>

#include "long_path.h"
#include "verb_texts.h"
#include "verb_window.h"

namespace rastrex::verb::win32 {

namespace {

std::wstring title() { return wideText(kWindowTitle, CP_UTF8); }

class UserDialogs final : public Dialogs {
public:
    // The question defaults to No: Enter alone replaces nothing.
    bool ask(HWND owner, const std::wstring& question) override
    {
        return MessageBoxW(owner, question.c_str(), title().c_str(),
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
    }
    void tell(HWND owner, const std::wstring& text) override
    {
        MessageBoxW(owner, text.c_str(), title().c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    }
    bool summaryShown(const std::wstring&) override { return false; }
};

class ScriptedDialogs final : public Dialogs {
public:
    ScriptedDialogs(std::wstring transcript, bool overwrite) : transcript_(std::move(transcript)), overwrite_(overwrite)
    {
    }
    bool ask(HWND, const std::wstring& question) override
    {
        write(L"question: ", question);
        return overwrite_;
    }
    void tell(HWND, const std::wstring& text) override { write(L"tell: ", text); }
    bool summaryShown(const std::wstring& text) override
    {
        write(L"summary: ", text);
        return true;
    }

private:
    void write(const wchar_t* kind, const std::wstring& text)
    {
        std::ofstream out(std::filesystem::path(transcript_), std::ios::binary | std::ios::app);
        out << narrowText(kind + text, CP_UTF8) << '\n';
    }
    std::wstring transcript_;
    bool overwrite_;
};

}  // namespace

std::unique_ptr<Dialogs> userDialogs() { return std::make_unique<UserDialogs>(); }

std::unique_ptr<Dialogs> scriptedDialogs(std::wstring transcript, bool overwrite)
{
    return std::make_unique<ScriptedDialogs>(std::move(transcript), overwrite);
}

}  // namespace rastrex::verb::win32
