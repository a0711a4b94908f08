// The windows as data: every control with its name, kind, container,
// position and size in twips, focus order, texts, tooltip and starting
// state; the menus with their captions and shortcut keys; and the table
// that binds each control event to its handler. A toolkit builds a window
// from this alone; nothing is created or moved afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace rastrex {

enum class ControlKind {
    CommandButton,
    CheckBox,
    StatusBar,
    ProgressBar,
    DriveList,
    FileList,
    DirList,
    Frame,
    Label,
    Picture,
    Line,
    TextBox,
};

// System colours a control draws in, where the layout names one.
enum class SystemColour {
    Default,
    ButtonShadow,     // the darker line of an etched separator
    ButtonHighlight,  // the lighter line of an etched separator
    Highlight,        // the colour that marks selected items
};

// Pictures the toolkit draws from its own resources.
enum class Picture {
    None,
    Arrow,      // 16x16 double arrow pointing right
    AboutIcon,  // 32x32 program icon of the version window
    Banner,     // the version window's banner strip
};

// A font a control sets for itself; points 0 keeps the window's font.
struct ControlFont {
    double points = 0;
    bool bold = false;
};

// A panel of a status bar.
struct PanelLayout {
    int width;  // twips; the last panel takes the rest of the bar
};

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    std::string_view container;  // "" for the window itself
    int left, top, width, height;  // twips, relative to the container
    int tab;                       // position in the focus order; -1 for none
    std::string_view caption;      // UTF-8; "" for none. "&" marks the access key
    std::string_view tooltip;      // UTF-8; "" for none
    bool autoSize = false;         // a label sized to its text: grows when its font needs more room
    bool centred = false;          // a label whose text is centred (it grows about its centre)
    bool isDefault = false;        // the window's default button
    bool acceptsDrops = false;     // a file list that takes files dragged from other programs
    bool hidden = false;           // hidden when the window is built
    std::string_view pattern = {};  // a file list's starting pattern
    SystemColour colour = SystemColour::Default;  // lines: their colour; labels: their text
    Picture picture = Picture::None;
    ControlFont font = {};
    std::span<const PanelLayout> panels = {};  // a status bar's panels, left to right
    int rangeMin = 0, rangeMax = 0;       // a progress bar's stored range
    // What assistive technology calls a control that shows no caption of
    // its own (a list, a bar, a text box), taken from the window's texts;
    // "" where the caption names it.
    std::string_view accessibleName = {};
};

// One menu item; shortcut is "Ctrl+V" style, "" for none.
struct MenuItemLayout {
    std::string_view name;
    std::string_view caption;
    std::string_view shortcut;
};

// A top-level menu: in the menu bar, or kept out of it to be shown only as
// a popup (its title then never appears).
struct MenuLayout {
    std::string_view name;
    std::string_view caption;
    bool popupOnly;
    std::span<const MenuItemLayout> items;
};

enum class WindowBorder {
    FixedSingle,  // fixed size with a minimize button, no maximize button
    FixedDialog,  // fixed size, no minimize or maximize button
};

// Events the layout's table binds.
enum class Event {
    Load,
    Resize,
    QueryUnload,
    Click,
    Change,
    DblClick,
    MouseDown,
    OLEDragOver,
    OLEDragDrop,
};

// The handlers of each window, named as the form's methods: a table row
// names one of these, and the form runs it from a switch that the compiler
// checks for completeness (-Werror=switch), so a misspelt or unhandled name
// does not build. The last one is the count's reference.
enum class MainHandler {
    Form_Load, Form_Resize, Form_QueryUnload, Command1_Click, Command2_Click,
    Check2_Click, Check4_Click, Check5_Click, Check6_Click, Drive1_Change, Dir1_Change,
    File1_DblClick, File1_MouseDown, File2_MouseDown, File1_OLEDragOver, File1_OLEDragDrop,
    menuVersion_Click, menuQuit_Click, menuRefleshAll_Click, menuSelectAll_Click, menuConvert_Click,
    menuReflesh1_Click, menuSelect1_Click, menuDelete1_Click, menuReflesh2_Click, menuSelect2_Click,
    menuDelete2_Click,
};
inline constexpr int kMainHandlers = static_cast<int>(MainHandler::menuDelete2_Click) + 1;

enum class AboutHandler { Form_Load, Command2_Click };
inline constexpr int kAboutHandlers = static_cast<int>(AboutHandler::Command2_Click) + 1;

// A row of a window's event table as the binding reads it. "window" names
// the window itself as the control.
struct EventBinding {
    std::string_view control;
    Event event;
    int handler;  // the form's MainHandler or AboutHandler
};

// A row as a window's table is written: it takes that window's handler
// type alone, so a row naming another window's handler does not build.
template <typename Handler>
    requires std::is_enum_v<Handler>
struct EventRow {
    std::string_view control;
    Event event;
    Handler handler;
};

// The table of the window whose handlers are `Handler`, from its rows:
// eventTable<AboutHandler>({{"window", Event::Load, AboutHandler::Form_Load}}).
template <typename Handler, std::size_t N>
constexpr std::array<EventBinding, N> eventTable(const EventRow<Handler> (&rows)[N])
{
    std::array<EventBinding, N> table{};
    for (std::size_t i = 0; i < N; ++i)
        table[i] = {rows[i].control, rows[i].event, static_cast<int>(rows[i].handler)};
    return table;
}

struct FormLayout {
    std::string_view name;     // "MainForm"
    std::string_view caption;  // UTF-8
    int clientWidth, clientHeight;  // twips, below the menu bar
    int left, top;                  // the client area's origin on the screen, twips
    WindowBorder border;
    bool escapeDoesNothing;  // no cancel button: Escape is ignored
    std::span<const ControlLayout> controls;
    std::span<const MenuLayout> menus;
    std::span<const EventBinding> events;
};

const FormLayout& mainFormLayout();
const FormLayout& aboutFormLayout();

// The control of `layout` named `name`, or null.
const ControlLayout* findControl(const FormLayout& layout, std::string_view name);

// What assistive technology calls `control`: its accessible name, else its
// caption without the access key's "&"; "" for neither.
std::string accessibleNameOf(const ControlLayout& control);

}  // namespace rastrex
