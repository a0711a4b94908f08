// A main window of the logic on the scripted toolkit, opened on a fresh
// temporary folder as if the program had been started there; the process's
// current folder is put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app_files.h"
#include "folder_listing.h"
#include "main_form.h"
#include "scripted_toolkit.h"
#include "touch_files.h"

namespace rastrex::test {

class FormTest : public testing::Test {
public:
    void TearDown() override
    {
        form.reset();
        fs::current_path(previous_);
    }

    // Creates a new folder holding `files` (empty ones) and opens the window
    // there. Each call replaces the window.
    void open(const std::vector<std::string>& files = {})
    {
        form.reset();
        folder_ = (dir.path() / ("start" + std::to_string(++opened_))).string();
        fs::create_directories(folder_);
        touch(folder_, files);
        fs::current_path(folder_);
        form = std::make_unique<MainForm>(toolkit, AppServices{library, trash, files_});
    }
    static void touch(const std::string& folder, const std::vector<std::string>& names)
    {
        test::touchFiles(folder, names);
    }

    std::string folder() const { return folder_; }
    std::string file(const std::string& name) const { return folderPrefix(folder_) + name; }

    ScriptedWindow& window() { return static_cast<ScriptedWindow&>(form->window()); }
    ScriptedFileList& file1() { return *window().find<ScriptedFileList>("File1"); }
    ScriptedFileList& file2() { return *window().find<ScriptedFileList>("File2"); }
    ScriptedCheckBox& check(const char* name) { return *window().find<ScriptedCheckBox>(name); }
    ScriptedButton& button(const char* name) { return *window().find<ScriptedButton>(name); }
    ScriptedDriveList& drive1() { return *window().find<ScriptedDriveList>("Drive1"); }
    ScriptedProgressBar& bar() { return *window().find<ScriptedProgressBar>("ProgressBar1"); }
    ScriptedStatusBar& status() { return *window().find<ScriptedStatusBar>("StatusBar1"); }
    ScriptedMenuItem& item(const char* name) { return *window().item(name); }
    const std::vector<std::string>& shown() const { return toolkit.boxes.shown; }

    TempDir dir;
    ScriptedToolkit toolkit;
    RecordingLibrary library;
    FolderRecycleBin trash{dir.path() / "trash"};
    SystemFileSystem files_;
    std::unique_ptr<MainForm> form;

private:
    fs::path previous_ = fs::current_path();
    std::string folder_;
    int opened_ = 0;
};

}  // namespace rastrex::test
