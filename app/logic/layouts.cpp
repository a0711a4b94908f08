#include "layouts.h"

namespace rastrex {

namespace {

using K = ControlKind;
using H = MainHandler;

// The captions of the labels above the file lists, which name the lists
// for assistive technology too.
constexpr std::string_view kSourceCaption = "変換元： xwd";
constexpr std::string_view kTargetCaption = "変換後： bmp";

// Panel 1 holds the state of the source list; panel 2, the file last
// touched, takes the rest of the bar.
constexpr PanelLayout kMainPanels[] = {{1550}, {4820}};

constexpr ControlLayout kMainControls[] = {
    {.name = "Command1", .kind = K::CommandButton, .container = "", .left = 3510, .top = 2900, .width = 1400,
     .height = 350, .tab = 0, .caption = "変 換(&C)", .tooltip = "選択されている xwdファイルをすべて変換します。",
     .isDefault = true},
    {.name = "Command2", .kind = K::CommandButton, .container = "", .left = 4950, .top = 2900, .width = 1400,
     .height = 350, .tab = 1, .caption = "終 了(&Q)", .tooltip = "Vellicorを終了します。"},
    {.name = "Check2", .kind = K::CheckBox, .container = "", .left = 1845, .top = 2250, .width = 1770, .height = 200,
     .tab = 2, .caption = "xwd だけ表示する", .tooltip = "xwdファイルしか表示しません。"},
    {.name = "Check3", .kind = K::CheckBox, .container = "", .left = 1845, .top = 2475, .width = 1725, .height = 200,
     .tab = 3, .caption = "変換後、削除する", .tooltip = "変換後、xwdファイルをごみ箱に移動します。"},
    {.name = "Check4", .kind = K::CheckBox, .container = "", .left = 4230, .top = 2250, .width = 1815, .height = 200,
     .tab = 4, .caption = "bmp だけ表示する", .tooltip = "bmpファイルしか表示しません。"},
    {.name = "StatusBar1", .kind = K::StatusBar, .container = "", .left = 0, .top = 3315, .width = 6405,
     .height = 285, .tab = 5, .caption = "", .tooltip = "", .panels = kMainPanels, .accessibleName = "状態"},
    {.name = "Check1", .kind = K::CheckBox, .container = "", .left = 4230, .top = 2475, .width = 1920, .height = 200,
     .tab = 6, .caption = "上書きを確認する", .tooltip = "bmpファイルを上書きするときに確認メッセージを出します。"},
    {.name = "ProgressBar1", .kind = K::ProgressBar, .container = "", .left = 45, .top = 3375, .width = 1470,
     .height = 195, .tab = 7, .caption = "", .tooltip = "", .hidden = true, .rangeMin = 0, .rangeMax = 100,
     .accessibleName = "変換の進み具合"},
    {.name = "Drive1", .kind = K::DriveList, .container = "", .left = 45, .top = 180, .width = 1500, .height = 300,
     .tab = 8, .caption = "", .tooltip = "準備できていないドライブを選択すると死にます。",
     .accessibleName = "ドライブ"},
    {.name = "File1", .kind = K::FileList, .container = "", .left = 1800, .top = 495, .width = 2000, .height = 1710,
     .tab = 9, .caption = "", .tooltip = "D&D でファイル追加できます。", .acceptsDrops = true, .pattern = "*.xwd",
     .accessibleName = kSourceCaption},
    {.name = "Dir1", .kind = K::DirList, .container = "", .left = 45, .top = 495, .width = 1500, .height = 2190,
     .tab = 10, .caption = "", .tooltip = "", .accessibleName = "フォルダ"},
    {.name = "Frame1", .kind = K::Frame, .container = "", .left = 1620, .top = 45, .width = 4740, .height = 2715,
     .tab = 11, .caption = "", .tooltip = ""},
    {.name = "File2", .kind = K::FileList, .container = "", .left = 4185, .top = 495, .width = 2000, .height = 1710,
     .tab = 12, .caption = "", .tooltip = "右クリックで削除できます。", .pattern = "*.bmp",
     .accessibleName = kTargetCaption},
    {.name = "Label1", .kind = K::Label, .container = "Frame1", .left = 180, .top = 225, .width = 990, .height = 180,
     .tab = 13, .caption = kSourceCaption, .tooltip = "", .autoSize = true, .colour = SystemColour::Highlight},
    {.name = "Label2", .kind = K::Label, .container = "Frame1", .left = 2565, .top = 225, .width = 1005,
     .height = 180, .tab = 14, .caption = kTargetCaption, .tooltip = "", .autoSize = true,
     .colour = SystemColour::Highlight},
    {.name = "Check5", .kind = K::CheckBox, .container = "", .left = 90, .top = 3020, .width = 1500, .height = 200,
     .tab = 15, .caption = "おとなしくする", .tooltip = "？？"},
    {.name = "Check6", .kind = K::CheckBox, .container = "", .left = 90, .top = 2790, .width = 1500, .height = 200,
     .tab = 16, .caption = "弱点を補強する", .tooltip = "より信頼性の高い処理を目指します。"},
    {.name = "Image1", .kind = K::Picture, .container = "Frame1", .left = 2250, .top = 1170, .width = 240,
     .height = 240, .tab = -1, .caption = "", .tooltip = "", .picture = Picture::Arrow},
    // The two lines of the etched separator under the menu bar, one pixel
    // high: from (0, 1) and from (0, 22) to x = 6390.
    {.name = "Line1", .kind = K::Line, .container = "", .left = 0, .top = 1, .width = 6390, .height = 15, .tab = -1,
     .caption = "", .tooltip = "", .colour = SystemColour::ButtonShadow},
    {.name = "Line2", .kind = K::Line, .container = "", .left = 0, .top = 22, .width = 6390, .height = 15,
     .tab = -1, .caption = "", .tooltip = "", .colour = SystemColour::ButtonHighlight},
};

constexpr MenuItemLayout kFileItems[] = {
    {"menuVersion", "rastrex バージョン情報", "Ctrl+V"},
    {"menuQuit", "rastrex の終了", "Ctrl+Q"},
};
constexpr MenuItemLayout kEditItems[] = {
    {"menuRefleshAll", "最新の情報に更新", "Ctrl+R"},
    {"menuSelectAll", "すべて選択", "Ctrl+A"},
    {"menuConvert", "すべて変換", "Ctrl+C"},
};
constexpr MenuItemLayout kRight1Items[] = {
    {"menuReflesh1", "最新の情報に更新(&R)", ""},
    {"menuSelect1", "すべて選択(&A)", ""},
    {"menuDelete1", "削除(&D)", ""},
};
constexpr MenuItemLayout kRight2Items[] = {
    {"menuReflesh2", "最新の情報に更新(&R)", ""},
    {"menuSelect2", "すべて選択(&A)", ""},
    {"menuDelete2", "削除(&D)", ""},
};
constexpr MenuLayout kMainMenus[] = {
    {"menuFile", "ファイル(&F)", false, kFileItems},
    {"menuEdit", "編集(&E)", false, kEditItems},
    {"menuRight1", "右クリック用ダミー１", true, kRight1Items},
    {"menuRight2", "右クリック用ダミー２", true, kRight2Items},
};

constexpr auto kMainEvents = eventTable<MainHandler>({
    {"window", Event::Load, H::Form_Load},
    {"window", Event::Resize, H::Form_Resize},
    {"window", Event::QueryUnload, H::Form_QueryUnload},
    {"Command1", Event::Click, H::Command1_Click},
    {"Command2", Event::Click, H::Command2_Click},
    {"Check2", Event::Click, H::Check2_Click},
    {"Check4", Event::Click, H::Check4_Click},
    {"Check5", Event::Click, H::Check5_Click},
    {"Check6", Event::Click, H::Check6_Click},
    {"Drive1", Event::Change, H::Drive1_Change},
    {"Dir1", Event::Change, H::Dir1_Change},
    {"File1", Event::DblClick, H::File1_DblClick},
    {"File1", Event::MouseDown, H::File1_MouseDown},
    {"File2", Event::MouseDown, H::File2_MouseDown},
    {"File1", Event::OLEDragOver, H::File1_OLEDragOver},
    {"File1", Event::OLEDragDrop, H::File1_OLEDragDrop},
    {"menuVersion", Event::Click, H::menuVersion_Click},
    {"menuQuit", Event::Click, H::menuQuit_Click},
    {"menuRefleshAll", Event::Click, H::menuRefleshAll_Click},
    {"menuSelectAll", Event::Click, H::menuSelectAll_Click},
    {"menuConvert", Event::Click, H::menuConvert_Click},
    {"menuReflesh1", Event::Click, H::menuReflesh1_Click},
    {"menuSelect1", Event::Click, H::menuSelect1_Click},
    {"menuDelete1", Event::Click, H::menuDelete1_Click},
    {"menuReflesh2", Event::Click, H::menuReflesh2_Click},
    {"menuSelect2", Event::Click, H::menuSelect2_Click},
    {"menuDelete2", Event::Click, H::menuDelete2_Click},
});

// Each handler of a window is bound by one row, once.
constexpr bool bindsEachOnce(std::span<const EventBinding> rows, int handlers)
{
    for (int h = 0; h < handlers; ++h) {
        int rowsOfIt = 0;
        for (const EventBinding& row : rows)
            rowsOfIt += row.handler == h ? 1 : 0;
        if (rowsOfIt != 1)
            return false;
    }
    return rows.size() == static_cast<std::size_t>(handlers);
}
static_assert(bindsEachOnce(kMainEvents, kMainHandlers));

// The frame around the version window's description, whose caption names
// the description too.
constexpr std::string_view kDetailsCaption = "詳 細";

// The version window's labels set their own font; the other controls use
// the window's.
constexpr ControlFont kAboutLabelFont{8.25, false};
constexpr ControlFont kAboutTitleFont{9, true};

// Where the user reads how the program is used: the text that each
// platform's build ships with it.
#ifdef _WIN32
constexpr std::string_view kHelpLine = "Help: README-windows.txt beside rastrex.exe";
#else
constexpr std::string_view kHelpLine = "Help: man rastrex";
#endif

constexpr ControlLayout kAboutControls[] = {
    {.name = "Label1", .kind = K::Label, .container = "", .left = 1080, .top = 270, .width = 2355, .height = 195,
     .tab = 0, .caption = "XWD -- Image Format Converter", .tooltip = "", .autoSize = true, .centred = true,
     .font = kAboutLabelFont},
    {.name = "Command2", .kind = K::CommandButton, .container = "", .left = 4320, .top = 1620, .width = 1335,
     .height = 350, .tab = 1, .caption = "OK", .tooltip = "「おごってくれる？」", .isDefault = true},
    {.name = "Label3", .kind = K::Label, .container = "", .left = 1260, .top = 540, .width = 1995, .height = 255,
     .tab = 2, .caption = "rastrex", .tooltip = "", .centred = true, .font = kAboutTitleFont},
    {.name = "Label2", .kind = K::Label, .container = "", .left = 1545, .top = 765, .width = 1425, .height = 195,
     .tab = 3, .caption = "version 2001.04.01", .tooltip = "", .autoSize = true, .centred = true,
     .font = kAboutLabelFont},
    {.name = "Frame1", .kind = K::Frame, .container = "", .left = 90, .top = 1935, .width = 5565, .height = 1920,
     .tab = 4, .caption = kDetailsCaption, .tooltip = ""},
    // The rights notice and where help is found: the project's own lines,
    // naming no person. The line of an e-mail address stays empty: the
    // project has none to give.
    {.name = "Label4", .kind = K::Label, .container = "", .left = 930, .top = 1125, .width = 2625, .height = 195,
     .tab = 5, .caption = "Copyright (C) 2001-2026 the rastrex project", .tooltip = "", .autoSize = true,
     .centred = true, .font = kAboutLabelFont},
    {.name = "Label5", .kind = K::Label, .container = "", .left = 945, .top = 1305, .width = 2595, .height = 195,
     .tab = 6, .caption = kHelpLine, .tooltip = "", .autoSize = true, .centred = true,
     .font = kAboutLabelFont},
    {.name = "Label6", .kind = K::Label, .container = "Frame1", .left = 3350, .top = 1620, .width = 1755,
     .height = 195, .tab = 7, .caption = "", .tooltip = "", .autoSize = true,
     .font = kAboutLabelFont},
    {.name = "Text2", .kind = K::TextBox, .container = "", .left = 270, .top = 2205, .width = 5145, .height = 1140,
     .tab = 8,
     .caption = "rastrex は X11 XWD 形式 → Windows BMP 形式に特化した画像フォーマット変換ソフトです。"
                "シンプルで分かりやすいインタフェースを装備し、大量の xwd ファイルを一括して bmp "
                "ファイルに変換することが可能です。普段は Windows ユーザだけど、計算機シミュレーション"
                "だけ UNIX で回す人向け。 Windows 98 / Me / 2000 上で動作します。フリーソフトウェア。\r\n",
     .tooltip = "", .accessibleName = kDetailsCaption},
    {.name = "Image1", .kind = K::Picture, .container = "", .left = 4320, .top = 225, .width = 1335, .height = 1335,
     .tab = -1, .caption = "", .tooltip = "「ぶじ卒業したいねぇ。」", .picture = Picture::AboutIcon},
    {.name = "Image2", .kind = K::Picture, .container = "Frame1", .left = 3555, .top = 1395, .width = 1275,
     .height = 225, .tab = -1, .caption = "", .tooltip = "", .picture = Picture::Banner},
};

constexpr auto kAboutEvents = eventTable<AboutHandler>({
    {"window", Event::Load, AboutHandler::Form_Load},
    {"Command2", Event::Click, AboutHandler::Command2_Click},
});
static_assert(bindsEachOnce(kAboutEvents, kAboutHandlers));

}  // namespace

const FormLayout& mainFormLayout()
{
    static constexpr FormLayout layout{
        "MainForm", " rastrex -- XWD Image Format Converter", 6405, 3600, 4155, 3840,
        WindowBorder::FixedSingle, true, kMainControls, kMainMenus, kMainEvents};
    return layout;
}

const FormLayout& aboutFormLayout()
{
    static constexpr FormLayout layout{
        "AboutForm", " rastrex のバージョン情報", 5730, 3945, 1995, 2160,
        WindowBorder::FixedDialog, true, kAboutControls, {}, kAboutEvents};
    return layout;
}

const ControlLayout* findControl(const FormLayout& layout, std::string_view name)
{
    for (const ControlLayout& c : layout.controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::string accessibleNameOf(const ControlLayout& control)
{
    if (!control.accessibleName.empty())
        return std::string(control.accessibleName);
    // "&&" shows one "&"; a lone "&" marks the access key and is not read.
    std::string name;
    for (std::size_t i = 0; i < control.caption.size(); ++i) {
        if (control.caption[i] == '&' && i + 1 < control.caption.size())
            ++i;
        name += control.caption[i];
    }
    return name;
}

}  // namespace rastrex
