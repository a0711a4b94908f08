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

    // The controls under the names the window's design gives them.
    CommandButton* Command1 = nullptr;  // 変換: converts the dumps selected in File1
    CommandButton* Command2 = nullptr;  // 終了: quits
    CheckBox* Check1 = nullptr;         // 上書きを確認する: ask before replacing a bitmap
    CheckBox* Check2 = nullptr;         // xwd だけ表示する: File1 lists dumps (*.xwd) only
    CheckBox* Check3 = nullptr;         // 変換後、削除する: move each converted dump to the trash
    CheckBox* Check4 = nullptr;         // bmp だけ表示する: File2 lists bitmaps (*.bmp) only
    CheckBox* Check5 = nullptr;         // おとなしくする: kept and saved, changes nothing
    CheckBox* Check6 = nullptr;         // 弱点を補強する: locks Drive1 while checked
    StatusBar* StatusBar1 = nullptr;    // panel 1 the state (レディ, 完了), panel 2 the file at hand
    ProgressBar* ProgressBar1 = nullptr;  // over the status bar while a batch converts
    DriveList* Drive1 = nullptr;        // the drives (volumes) to browse
    FileList* File1 = nullptr;          // the source list: dumps of Dir1's folder
    FileList* File2 = nullptr;          // the destination list: bitmaps of the same folder
    DirList* Dir1 = nullptr;            // the folder tree of Drive1's volume
    PopupMenu* menuRight1 = nullptr;    // File1's right-click menu: menuReflesh1, menuSelect1, menuDelete1
    PopupMenu* menuRight2 = nullptr;    // File2's right-click menu: menuReflesh2, menuSelect2, menuDelete2

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
    void menuRefleshAll_Click();  // 最新の情報に更新 (Ctrl+R): lists both panes again
    void menuReflesh1_Click();    // the same for File1 alone
    void menuReflesh2_Click();    // the same for File2 alone
    void menuSelectAll_Click();   // すべて選択 (Ctrl+A): lists both panes again, selects all of File1
    void menuSelect1_Click();     // lists File1 again and selects all of it
    void menuSelect2_Click();     // the same for File2

    // Converting, deleting and dropping.
    void Command1_Click();
    void menuConvert_Click();  // すべて変換 (Ctrl+C): what Command1 does
    void File1_DblClick();     // what Command1 does
    void menuDelete1_Click();  // 削除: moves the files selected in File1 to the trash
    void menuDelete2_Click();  // the same for File2
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
