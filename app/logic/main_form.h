// MainForm: the converter's main window. Its controls come from its layout;
// its handlers are public methods named after the control and the event,
// bound by the layout's event table.
#pragma once

#include <memory>
#include <string>

#include "about_form.h"
#include "controls.h"
#include "services.h"

namespace rastrex {

class MainForm {
public:
    // Builds the window, binds its events and runs Form_Load; show() shows it.
    MainForm(Toolkit& toolkit, AppServices services);
    ~MainForm();

    Window& window() { return *window_; }
    void show() { window_->show(); }

    // The version window while it is loaded, else null.
    AboutForm* aboutForm() const;

    CommandButton* Command1 = nullptr;
    CommandButton* Command2 = nullptr;
    CheckBox* Check1 = nullptr;
    CheckBox* Check2 = nullptr;
    CheckBox* Check3 = nullptr;
    CheckBox* Check4 = nullptr;
    CheckBox* Check5 = nullptr;
    CheckBox* Check6 = nullptr;
    StatusBar* StatusBar1 = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    DriveList* Drive1 = nullptr;
    FileList* File1 = nullptr;
    FileList* File2 = nullptr;
    DirList* Dir1 = nullptr;
    PopupMenu* menuRight1 = nullptr;
    PopupMenu* menuRight2 = nullptr;

    // Window lifecycle.
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload(bool& cancel, UnloadCause cause);
    void Command2_Click();
    void menuQuit_Click();
    void menuVersion_Click();

    // File panes.
    void Drive1_Change();
    void Dir1_Change();
    void Check2_Click();
    void Check4_Click();
    void Check5_Click();
    void Check6_Click();
    void File1_MouseDown(int button, int shift, int x, int y);
    void File2_MouseDown(int button, int shift, int x, int y);
    void menuRefleshAll_Click();
    void menuReflesh1_Click();
    void menuReflesh2_Click();
    void menuSelectAll_Click();
    void menuSelect1_Click();
    void menuSelect2_Click();

    // Converting, deleting and dropping.
    void Command1_Click();
    void menuConvert_Click();
    void File1_DblClick();
    void menuDelete1_Click();
    void menuDelete2_Click();
    void File1_OLEDragOver(const DragData& data, int& effect, int button, int shift, int x, int y,
                           DragState state);
    void File1_OLEDragDrop(const DragData& data, int& effect, int button, int shift, int x, int y);

private:
    void deleteSelected(FileList& list);

    Toolkit& toolkit_;
    AppServices services_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<AboutForm> about_;
};

// The program: builds the main window, shows it and runs the event loop
// until no window is loaded. Returns the exit status.
int runProgram(Toolkit& toolkit, AppServices services);

}  // namespace rastrex
