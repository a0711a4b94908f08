// The window toolkit as the window's logic sees it: windows built from
// layout data, the controls in them, menus, message boxes and a clock.
//
// The logic (the handlers of MainForm and AboutForm, doMain, FileUti) is
// written once against these interfaces; each toolkit (Qt on Linux, Win32
// on Windows, a scripted one in the tests) implements them.
//
// Rules every implementation keeps:
// - Everything runs on the one user-interface thread. An event runs its
//   handler to the end inside the call that raised it; there are no queues.
// - Handlers are the std::function members named after the event. An empty
//   one means the event is ignored. The logic sets them right after the
//   window is built, before its Load handler runs.
// - A property set that changes the value raises the control's change or
//   click event before the set returns, whether the logic or the user made
//   the change (check box value, drive, directory path). A set that changes
//   nothing raises nothing.
// - The one exception is a batch of conversions or deletions: it runs inside
//   one handler and lets the toolkit read its messages between two files
//   through Toolkit::betweenFiles, which raises no control or menu event.
// - Strings are bytes: UTF-8 on Linux, the ANSI code page on Windows, the
//   same bytes the file system holds for a name. A toolkit never changes the
//   bytes it is given or gives back; it may only show bytes that are not
//   valid text in a visible stand-in form.
// - Counts and indexes are ItemIndex (64-bit on every target); -1 means none.
// - Positions and sizes in layouts are twips (1/1440 inch, 15 twips per pixel
//   at 96 dots per inch); the toolkit scales them to the screen.
// - Everything else is in pixels: the x and y of the mouse and drag events
//   (from the list's top-left corner, in the toolkit's own pixels: Qt's
//   device-independent ones, the screen's on Win32) and the progress bar's
//   pixelWidth.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rastrex {

struct FormLayout;

using ItemIndex = std::int64_t;
inline constexpr ItemIndex kNoItem = -1;

// Check box values; a box counts as on only with kCheckOn.
inline constexpr int kCheckOff = 0;
inline constexpr int kCheckOn = 1;
inline constexpr int kCheckGreyed = 2;

// Mouse buttons as MouseDown and the drag events receive them (with the
// pointer's x and y in pixels).
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// Key state bits as MouseDown and the drag events receive them.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Drop effects a drag handler reports: copy accepts the drop, none refuses it.
inline constexpr int kDropEffectNone = 0;
inline constexpr int kDropEffectCopy = 1;

// The clipboard format of a list of files dragged from the shell.
inline constexpr int kClipboardFormatFiles = 15;

// Where a drag is, as OLEDragOver receives it.
enum class DragState { Enter = 0, Leave = 1, Over = 2 };

// Why a window is being unloaded, as QueryUnload receives it.
enum class UnloadCause {
    ControlMenu = 0,  // the close box or the system menu
    Code = 1,         // the program called unload()
    AppWindows = 2,   // the session ends
};

// The native handle of a window (HWND on Windows, the X window id or the
// widget on Linux), for owning the shell's dialogs. Opaque to the logic.
using NativeHandle = void*;

// A monotonic clock, so that repaint pacing never depends on wall-clock time
// and tests can step it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point now() = 0;
};

// What every control offers.
class Control {
public:
    virtual ~Control() = default;
    // The control's name in its layout ("File1").
    virtual const std::string& name() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    // Hiding a list while it is re-read and showing it again afterwards
    // keeps the keyboard focus on it if it had it.
    virtual void setVisible(bool on) = 0;
    virtual bool visible() const = 0;
    // What assistive technology is told the control is called, read back
    // from the toolkit's own accessibility layer: the layout's accessible
    // name, else the caption.
    virtual std::string accessibleName() const = 0;
};

// Check box with the values 0 (off), 1 (on) and 2 (greyed). The user's click
// turns an off box on and an on or greyed one off; only code sets greyed.
class CheckBox : public virtual Control {
public:
    virtual int value() const = 0;
    // A value outside 0..2 changes nothing. A change raises click before the
    // set returns.
    virtual void setValue(int value) = 0;

    std::function<void()> click;
};

// Command button. The layout names the one default button of a window:
// Enter presses it while it is enabled, unless the focus is on another
// command button, which Enter then presses instead.
class CommandButton : public virtual Control {
public:
    std::function<void()> click;
};

// Drive list: the machine's volumes (drives on Windows). The drive text
// starts with the volume's own spelling of its root: "C:" and then a label
// on Windows, the root folder ("/", "/media/stick") on Linux.
class DriveList : public virtual Control {
public:
    virtual std::string drive() const = 0;
    // Makes the volume holding `path` current (a drive text or a volume's
    // root names that volume). When that changes the current drive, change
    // runs to its end before the call returns. A path on no listed volume
    // changes nothing.
    virtual void setDrive(const std::string& path) = 0;
    // Shows the volume holding `path` as current without raising change,
    // so the list can follow the directory list across volumes.
    virtual void showDriveOf(const std::string& path) = 0;
    // The root of the listed volume holding `path`, as a folder path ("/",
    // "/media/stick", "C:\"); empty when no listed volume holds it.
    virtual std::string rootOf(const std::string& path) const = 0;

    std::function<void()> change;
};

// Directory list: the ancestors of its folder down to it, then its
// subfolders. The user opens a folder with a double-click or Enter.
class DirList : public virtual Control {
public:
    // The folder shown, absolute, without a trailing separator except for a
    // volume's root.
    virtual std::string path() const = 0;
    // Moves the list to `path` (a drive text opens that drive's current
    // folder, a volume root that root). When the path changes, change runs
    // to its end before the call returns. A folder that cannot be read
    // leaves the list where it was and raises nothing.
    virtual void setPath(const std::string& path) = 0;

    std::function<void()> change;
};

// What a drag carries.
class DragData {
public:
    virtual ~DragData() = default;
    // Whether the data can be had in `format` (kClipboardFormatFiles).
    virtual bool getFormat(int format) const = 0;
    // The full paths of the dragged files and folders, in the drag's order;
    // empty unless getFormat(kClipboardFormatFiles).
    virtual std::vector<std::string> files() const = 0;
};

// File list: the names (without folder) of the files of one folder whose
// names match a pattern, sorted, with extended multi-selection.
class FileList : public virtual Control {
public:
    virtual std::string path() const = 0;
    // Setting the folder or the pattern re-reads the list; both are kept as
    // given. A folder that cannot be read gives an empty list.
    virtual void setPath(const std::string& folder) = 0;
    virtual std::string pattern() const = 0;
    // "*" and "?" wildcards, several patterns joined by ";", letter case
    // ignored, "*.*" matching every name (one without a dot too).
    virtual void setPattern(const std::string& pattern) = 0;
    // Re-reads the folder: every name the file system holds that matches,
    // whatever its bytes. No item is selected afterwards, none is current.
    virtual void refresh() = 0;

    // Indexes hold until the next re-read.
    virtual ItemIndex listCount() const = 0;
    // The name of item i, its bytes as the file system holds them; empty
    // for an index outside the list (kNoItem included).
    virtual std::string list(ItemIndex i) const = 0;
    virtual bool selected(ItemIndex i) const = 0;
    // An index outside the list changes nothing.
    virtual void setSelected(ItemIndex i, bool on) = 0;
    // Selects every item in one operation: the same end state as setting
    // each item selected, in time linear in the count.
    virtual void selectAll() = 0;
    // The item holding the focus mark; kNoItem when there is none.
    virtual ItemIndex listIndex() const = 0;

    std::function<void()> dblClick;
    std::function<void(int button, int shift, int x, int y)> mouseDown;
    // Set `effect` to kDropEffectCopy to accept the drop; it arrives as
    // kDropEffectNone. Only lists whose layout accepts drops raise these.
    std::function<void(const DragData& data, int& effect, int button, int shift, int x, int y,
                       DragState state)>
        oleDragOver;
    std::function<void(const DragData& data, int& effect, int button, int shift, int x, int y)>
        oleDragDrop;
};

// Progress bar. A maximum equal to the minimum is accepted (an empty bar).
// Setting the value does not paint: during a batch the logic calls
// paintNow() when what the bar shows has changed enough to be seen.
class ProgressBar : public virtual Control {
public:
    virtual void setMin(ItemIndex value) = 0;
    virtual void setMax(ItemIndex value) = 0;
    // A value outside min..max is clamped into it.
    virtual void setValue(ItemIndex value) = 0;
    virtual ItemIndex min() const = 0;
    virtual ItemIndex max() const = 0;
    virtual ItemIndex value() const = 0;
    // The width in pixels that the filled part can take (the whole bar).
    virtual int pixelWidth() const = 0;
    // Paints the bar now, taking no user input (no event is dispatched).
    virtual void paintNow() = 0;
};

// Status bar with text panels numbered from 1.
class StatusBar : public virtual Control {
public:
    virtual int panelCount() const = 0;
    virtual std::string panelText(int n) const = 0;
    // The new text replaces the panel's; a number outside 1..count changes
    // nothing. Like the progress bar, paints only when the event loop runs
    // or paintNow() is called.
    virtual void setPanelText(int n, const std::string& text) = 0;
    // Paints panel n now, taking no user input.
    virtual void paintNow(int n) = 0;
};

// A text box (the version window's description).
class TextBox : public virtual Control {
public:
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

// A label or a frame with a caption.
class Label : public virtual Control {
public:
    virtual std::string caption() const = 0;
};

// A menu item of the menu bar or of a popup menu. Choosing it or pressing
// its shortcut key runs click.
class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual const std::string& name() const = 0;

    std::function<void()> click;
};

// A top-level menu kept out of the menu bar, shown only as a popup.
class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    virtual const std::string& name() const = 0;
    // Shows the menu at the mouse pointer and returns once it is closed: the
    // chosen item's click has run to its end by then; dismissing the menu
    // runs nothing.
    virtual void popup() = 0;
};

// The two message boxes. Both are modal to the program's main window and
// carry the application's title; a lone carriage return in the text is a
// line break.
class MessageBoxes {
public:
    enum class Answer { Yes, No };

    virtual ~MessageBoxes() = default;
    // Text, critical icon, one OK button; returns when it is dismissed.
    virtual void report(const std::string& text) = 0;
    // Text, question icon, Yes and No; returns the button pressed.
    virtual Answer ask(const std::string& text) = 0;
};

// A window built from its layout (controls, texts, tooltips, tab order,
// menus and the default button), loaded and not yet shown.
class Window {
public:
    virtual ~Window() = default;

    // The controls by their layout names; null when the layout has no
    // control of that name and kind. References stay valid as long as the
    // window object lives, loaded or not.
    virtual CheckBox* checkBox(std::string_view name) = 0;
    virtual CommandButton* commandButton(std::string_view name) = 0;
    virtual DriveList* driveList(std::string_view name) = 0;
    virtual DirList* dirList(std::string_view name) = 0;
    virtual FileList* fileList(std::string_view name) = 0;
    virtual ProgressBar* progressBar(std::string_view name) = 0;
    virtual StatusBar* statusBar(std::string_view name) = 0;
    virtual TextBox* textBox(std::string_view name) = 0;
    virtual Label* label(std::string_view name) = 0;
    virtual MenuItem* menuItem(std::string_view name) = 0;
    virtual PopupMenu* popupMenu(std::string_view name) = 0;

    // Shows the window modeless, without an owner, and brings it to the
    // front; showing a shown window opens no second one. Does nothing once
    // the window is unloaded.
    virtual void show() = 0;
    // Unloads the window: raises queryUnload with UnloadCause::Code, and
    // unless a handler cancels, closes it; its controls still answer but
    // show nothing. Unloading a
    // window that is not loaded does nothing. The toolkit raises the same
    // sequence with UnloadCause::ControlMenu for the close box.
    virtual void unload() = 0;
    virtual bool loaded() const = 0;
    // The native handle while loaded, for owning the shell's dialogs.
    virtual NativeHandle nativeHandle() const = 0;

    std::function<void()> resize;
    std::function<void(bool& cancel, UnloadCause cause)> queryUnload;
};

// Which part a window plays: message boxes are owned by the main window.
enum class WindowRole { Main, Secondary };

// What the user asked for while a batch ran, as betweenFiles reports it.
enum class BatchRequest {
    Continue,  // nothing: the batch goes on with its next file
    Stop,      // Escape: the batch ends after the file in hand
    Close,     // the main window's close box: the batch ends, then the window is unloaded
};

// The toolkit: builds windows, owns the message boxes and the clock, and
// runs the event loop.
class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Builds a window from `layout` with every control in its starting
    // state (check boxes off, file lists with the layout's patterns and the
    // process's current folder, the progress bar hidden). The window is
    // loaded; the caller binds its events, runs its Load handler, shows it.
    virtual std::unique_ptr<Window> buildWindow(const FormLayout& layout, WindowRole role) = 0;
    virtual MessageBoxes& messageBox() = 0;
    virtual Clock& clock() = 0;
    // Dispatches events until no window of the program is loaded; returns
    // the program's exit status.
    virtual int run() = 0;
    // Asked by a batch after each of its files, the last one included. Reads
    // what is waiting for the program without blocking, so the system never
    // takes the program for hung: paints the windows (no more often than
    // the progress bar's own pacing), answers the system's messages, lets
    // the user move and minimise the windows. Every mouse and keyboard input
    // aimed at the program's windows, controls and menus is dropped, never
    // kept for later, and raises no event; Escape is reported as Stop and the
    // main window's close box as Close, which leaves the window loaded: the
    // batch unloads it once it has ended. A request is reported once; Close
    // wins over Stop.
    virtual BatchRequest betweenFiles() = 0;
};

}  // namespace rastrex
