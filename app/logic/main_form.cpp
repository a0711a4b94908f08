#include "main_form.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <unordered_set>

#include "bmp_name.h"
#include "case_fold.h"
#include "event_binding.h"
#include "file_uti.h"
#include "layouts.h"
#include "pane_paths.h"
#include "path_rules.h"
#include "progress_painter.h"
#include "single_conversion.h"

namespace rastrex {

namespace {

constexpr int kStatePanel = 1;  // the state of the source list or of a finished command
constexpr int kFilePanel = 2;   // the file last touched

// Panel 1 after a batch that the user stopped with files still to do.
constexpr const char* kStoppedText = "中断";

template <typename T>
T* need(T* control, std::string_view name)
{
    if (control == nullptr)
        throw std::logic_error("MainForm has no control " + std::string(name));
    return control;
}

// The user's requests during a batch: asked of the toolkit after each file;
// the batch ends before the next file once one came.
class BatchStop {
public:
    explicit BatchStop(Toolkit& toolkit) : toolkit_(toolkit) {}
    void afterFile()
    {
        if (request_ == BatchRequest::Continue)
            request_ = toolkit_.betweenFiles();
    }
    // True when the user asked to stop and a file was still to do.
    bool beforeNextFile()
    {
        stopped_ = request_ != BatchRequest::Continue;
        return stopped_;
    }
    bool stopped() const { return stopped_; }
    bool closing() const { return request_ == BatchRequest::Close; }

private:
    Toolkit& toolkit_;
    BatchRequest request_ = BatchRequest::Continue;
    bool stopped_ = false;
};

// The method a row of the layout's event table names.
Handler handlerOf(MainForm* form, MainHandler h)
{
    using H = MainHandler;
    switch (h) {
    case H::Form_Load: return handler(form, &MainForm::Form_Load);
    case H::Form_Resize: return handler(form, &MainForm::Form_Resize);
    case H::Form_QueryUnload: return handler(form, &MainForm::Form_QueryUnload);
    case H::Command1_Click: return handler(form, &MainForm::Command1_Click);
    case H::Command2_Click: return handler(form, &MainForm::Command2_Click);
    case H::Check2_Click: return handler(form, &MainForm::Check2_Click);
    case H::Check4_Click: return handler(form, &MainForm::Check4_Click);
    case H::Check5_Click: return handler(form, &MainForm::Check5_Click);
    case H::Check6_Click: return handler(form, &MainForm::Check6_Click);
    case H::Drive1_Change: return handler(form, &MainForm::Drive1_Change);
    case H::Dir1_Change: return handler(form, &MainForm::Dir1_Change);
    case H::File1_DblClick: return handler(form, &MainForm::File1_DblClick);
    case H::File1_MouseDown: return handler(form, &MainForm::File1_MouseDown);
    case H::File2_MouseDown: return handler(form, &MainForm::File2_MouseDown);
    case H::File1_OLEDragOver: return handler(form, &MainForm::File1_OLEDragOver);
    case H::File1_OLEDragDrop: return handler(form, &MainForm::File1_OLEDragDrop);
    case H::menuVersion_Click: return handler(form, &MainForm::menuVersion_Click);
    case H::menuQuit_Click: return handler(form, &MainForm::menuQuit_Click);
    case H::menuRefleshAll_Click: return handler(form, &MainForm::menuRefleshAll_Click);
    case H::menuSelectAll_Click: return handler(form, &MainForm::menuSelectAll_Click);
    case H::menuConvert_Click: return handler(form, &MainForm::menuConvert_Click);
    case H::menuReflesh1_Click: return handler(form, &MainForm::menuReflesh1_Click);
    case H::menuSelect1_Click: return handler(form, &MainForm::menuSelect1_Click);
    case H::menuDelete1_Click: return handler(form, &MainForm::menuDelete1_Click);
    case H::menuReflesh2_Click: return handler(form, &MainForm::menuReflesh2_Click);
    case H::menuSelect2_Click: return handler(form, &MainForm::menuSelect2_Click);
    case H::menuDelete2_Click: return handler(form, &MainForm::menuDelete2_Click);
    }
    throw std::logic_error("MainForm has no handler " + std::to_string(static_cast<int>(h)));
}

}  // namespace

MainForm::MainForm(Toolkit& toolkit, AppServices services)
    : toolkit_(toolkit), services_(services), window_(toolkit.buildWindow(mainFormLayout(), WindowRole::Main))
{
    Window& w = *window_;
    Command1 = need(w.commandButton("Command1"), "Command1");
    Command2 = need(w.commandButton("Command2"), "Command2");
    Check1 = need(w.checkBox("Check1"), "Check1");
    Check2 = need(w.checkBox("Check2"), "Check2");
    Check3 = need(w.checkBox("Check3"), "Check3");
    Check4 = need(w.checkBox("Check4"), "Check4");
    Check5 = need(w.checkBox("Check5"), "Check5");
    Check6 = need(w.checkBox("Check6"), "Check6");
    StatusBar1 = need(w.statusBar("StatusBar1"), "StatusBar1");
    ProgressBar1 = need(w.progressBar("ProgressBar1"), "ProgressBar1");
    Drive1 = need(w.driveList("Drive1"), "Drive1");
    File1 = need(w.fileList("File1"), "File1");
    File2 = need(w.fileList("File2"), "File2");
    Dir1 = need(w.dirList("Dir1"), "Dir1");
    menuRight1 = need(w.popupMenu("menuRight1"), "menuRight1");
    menuRight2 = need(w.popupMenu("menuRight2"), "menuRight2");

    const EventHandlers bound =
        bindEvents(mainFormLayout(), w, [this](int h) { return handlerOf(this, static_cast<MainHandler>(h)); });
    if (bound.load)
        bound.load();
}

MainForm::~MainForm() = default;

AboutForm* MainForm::aboutForm() const
{
    return about_ && about_->loaded() ? about_.get() : nullptr;
}

// ------------------------------------------------------------- lifecycle

void MainForm::Form_Load()
{
    Check1->setValue(kCheckOff);
    Check2->setValue(kCheckOn);
    Check3->setValue(kCheckOff);
    Check4->setValue(kCheckOn);
    File1->setPattern("*.xwd");
    File2->setPattern("*.bmp");
    Dir1_Change();
}

void MainForm::Form_Resize() {}

void MainForm::Form_QueryUnload(bool&, UnloadCause)
{
    if (AboutForm* about = aboutForm())
        about->unload();
}

void MainForm::Command2_Click()
{
    window_->unload();
}

void MainForm::menuQuit_Click()
{
    Command2_Click();
}

void MainForm::menuVersion_Click()
{
    // An unloaded version window is gone: the next command builds it afresh.
    if (aboutForm() == nullptr)
        about_ = std::make_unique<AboutForm>(toolkit_);
    about_->show();
}

// ------------------------------------------------------------- file panes

void MainForm::Drive1_Change()
{
    const std::string chosen = Drive1->drive();
    Dir1->setVisible(false);
    Dir1->setPath(chosen);
    Dir1->setVisible(true);
    // A drive whose root cannot be read (no medium, not ready) leaves Dir1
    // where it was: the user is told, and the drive list goes back to the
    // drive of the folder the panes still show.
    if (Drive1->rootOf(Dir1->path()) != Drive1->rootOf(chosen))
        toolkit_.messageBox().report(chosen + " を\r開けないぞ。ドライブの準備ができていない。");
    Drive1->showDriveOf(Dir1->path());
}

void MainForm::Dir1_Change()
{
    // The directory list can climb to folders of another volume; the drive
    // list shows the volume of the folder shown, without a change of its own.
    Drive1->showDriveOf(Dir1->path());
    File1->setVisible(false);
    File1->setPath(Dir1->path());
    File1->setVisible(true);
    File2->setVisible(false);
    File2->setPath(Dir1->path());
    File2->setVisible(true);
    menuSelectAll_Click();
}

void MainForm::Check2_Click()
{
    File1->setPattern(Check2->value() == kCheckOn ? "*.xwd" : "*.*");
}

void MainForm::Check4_Click()
{
    File2->setPattern(Check4->value() == kCheckOn ? "*.bmp" : "*.*");
}

void MainForm::Check5_Click() {}

void MainForm::Check6_Click()
{
    Drive1->setEnabled(Check6->value() != kCheckOn);
}

void MainForm::File1_MouseDown(int button, int, int, int)
{
    StatusBar1->setPanelText(kFilePanel, File1->list(File1->listIndex()));
    if (button == kRightButton)
        menuRight1->popup();
}

void MainForm::File2_MouseDown(int button, int, int, int)
{
    StatusBar1->setPanelText(kFilePanel, File2->list(File2->listIndex()));
    if (button == kRightButton)
        menuRight2->popup();
}

void MainForm::menuRefleshAll_Click()
{
    menuReflesh1_Click();
    menuReflesh2_Click();
}

void MainForm::menuReflesh1_Click()
{
    File1->setVisible(false);
    File1->refresh();
    File1->setVisible(true);
    if (File1->listCount() == 0) {
        StatusBar1->setPanelText(kStatePanel, "");
        Command1->setEnabled(false);
    } else {
        StatusBar1->setPanelText(kStatePanel, "レディ");
        Command1->setEnabled(true);
    }
}

void MainForm::menuReflesh2_Click()
{
    File2->setVisible(false);
    File2->refresh();
    File2->setVisible(true);
}

void MainForm::menuSelectAll_Click()
{
    menuRefleshAll_Click();
    File1->selectAll();
}

void MainForm::menuSelect1_Click()
{
    menuReflesh1_Click();
    File1->selectAll();
}

void MainForm::menuSelect2_Click()
{
    menuReflesh2_Click();
    File2->selectAll();
}

// ------------------------------------------- converting, deleting, drops

void MainForm::Command1_Click()
{
    const std::string prefix = folderPrefix(Dir1->path());
    const ItemIndex count = File1->listCount();
    ProgressPainter progress(*ProgressBar1, *StatusBar1, toolkit_.clock());
    progress.start(count);
    ConversionContext context{toolkit_.messageBox(), services_, window_->nativeHandle(),
                              [this] { return Check1->value(); }, [this] { return Check3->value(); }};
    // The bitmaps this batch has written: a second dump that would give the
    // same bitmap (a.xwd and a.xwd.xwd) would replace the first one's.
    std::unordered_set<std::string> written;
    BatchStop stop(toolkit_);
    for (ItemIndex i = count - 1; i >= 0; --i) {
        if (!File1->selected(i))
            continue;
        if (stop.beforeNextFile())
            break;
        const std::string path = prefix + File1->list(i);
        progress.step(count - i, path);
        const std::string target = nameKey(bmpPathFor(path));
        if (written.count(target) != 0) {
            toolkit_.messageBox().report(conversionFailedText(
                path, "この一括変換で、別の xwd ファイルがすでに同じ bmp ファイルに書き出している。"));
            stop.afterFile();
            continue;
        }
        const ConversionOutcome outcome = doMain(path, context);
        // Without the library no file can be converted: it was reported
        // once, and the batch ends as after its last file.
        if (outcome == ConversionOutcome::LibraryMissing)
            break;
        if (outcome == ConversionOutcome::Converted || outcome == ConversionOutcome::Incomplete)
            written.insert(target);
        stop.afterFile();
    }
    progress.finish();
    StatusBar1->setPanelText(kFilePanel, "");
    menuRefleshAll_Click();
    StatusBar1->setPanelText(kStatePanel, stop.stopped() ? kStoppedText : "完了");
    if (stop.closing())
        window_->unload();
}

void MainForm::menuConvert_Click()
{
    Command1_Click();
}

void MainForm::File1_DblClick()
{
    Command1_Click();
}

void MainForm::deleteSelected(FileList& list)
{
    const std::string prefix = folderPrefix(Dir1->path());
    const ItemIndex count = list.listCount();
    ProgressPainter progress(*ProgressBar1, *StatusBar1, toolkit_.clock());
    progress.start(count);
    BatchStop stop(toolkit_);
    for (ItemIndex i = count - 1; i >= 0; --i) {
        if (!list.selected(i))
            continue;
        if (stop.beforeNextFile())
            break;
        std::string path = prefix + list.list(i);
        progress.step(count - i, path);
        // A file gone or unreadable since the list was read is skipped quietly.
        if (FileUti::FileExists(path, services_.files))
            FileUti::MoveToRecycleBin(path, toolkit_.messageBox(), services_.trash, window_->nativeHandle());
        stop.afterFile();
    }
    progress.finish();
    menuRefleshAll_Click();
    // A finished deletion leaves panel 1 to the re-read; a stopped one says
    // that files are left.
    if (stop.stopped())
        StatusBar1->setPanelText(kStatePanel, kStoppedText);
    if (stop.closing())
        window_->unload();
}

void MainForm::menuDelete1_Click()
{
    deleteSelected(*File1);
}

void MainForm::menuDelete2_Click()
{
    deleteSelected(*File2);
}

void MainForm::File1_OLEDragOver(const DragData& data, int& effect, int, int, int, int, DragState)
{
    effect = data.getFormat(kClipboardFormatFiles) ? kDropEffectCopy : kDropEffectNone;
}

void MainForm::File1_OLEDragDrop(const DragData& data, int&, int, int, int, int)
{
    if (!data.getFormat(kClipboardFormatFiles))
        return;
    for (const std::string& path : data.files()) {
        const std::string root = Drive1->rootOf(path);
        const std::string folder = dropFolderFor(path, root);
        // A path on no volume of the drive list leaves the panes where they are.
        if (folder.empty())
            continue;
        Drive1->setDrive(root);
        Dir1->setPath(folder);
    }
}

int runProgram(Toolkit& toolkit, AppServices services)
{
    MainForm form(toolkit, services);
    form.show();
    return toolkit.run();
}

}  // namespace rastrex
