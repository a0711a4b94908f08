// A toolkit without widgets for the tests of the window's logic: windows
// built from the layouts with controls that keep their state in plain
// members, read real folders, count what they were asked to do, and let the
// test play the user (message-box answers, popup choices, drops, time).
#pragma once

#include <algorithm>
#include <cctype>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "case_fold.h"
#include "controls.h"
#include "folder_listing.h"
#include "layouts.h"
#include "services.h"
#include "scripted_services.h"
#include "wildcard.h"

namespace rastrex::test {

namespace fs = std::filesystem;

class ScriptedControl : public virtual Control {
public:
    const std::string& name() const override { return name_; }
    void setEnabled(bool on) override { enabled_ = on; }
    bool enabled() const override { return enabled_; }
    void setVisible(bool on) override
    {
        visible_ = on;
        visibilityChanges.push_back(on);
    }
    bool visible() const override { return visible_; }
    std::string accessibleName() const override { return accessibleName_; }

    std::string name_;
    std::string accessibleName_;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<bool> visibilityChanges;
};

class ScriptedCheckBox final : public ScriptedControl, public CheckBox {
public:
    int value() const override { return value_; }
    void setValue(int v) override
    {
        if (v < kCheckOff || v > kCheckGreyed || v == value_)
            return;
        value_ = v;
        if (click)
            click();
    }
    // The user clicks the box: off turns on, on and greyed turn off.
    void userClick() { setValue(value_ == kCheckOff ? kCheckOn : kCheckOff); }
    int value_ = kCheckOff;
};

class ScriptedButton final : public ScriptedControl, public CommandButton {
public:
    void press()
    {
        if (enabled_ && click)
            click();
    }
};

inline std::string cleanPath(const std::string& path)
{
#if defined(_WIN32)
    return cleanFolderPath(path);
#endif
    std::string clean = fs::absolute(fs::path(path)).lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean;
}

class ScriptedDriveList final : public ScriptedControl, public DriveList {
public:
    std::vector<std::string> roots{rootFolderOf(cleanPath(fs::current_path().string()))};
    std::size_t current = 0;

    std::string drive() const override { return roots.empty() ? std::string() : roots[current]; }
    void setDrive(const std::string& path) override
    {
        const long i = holding(path);
        if (i < 0 || static_cast<std::size_t>(i) == current)
            return;
        current = static_cast<std::size_t>(i);
        if (change)
            change();
    }
    void showDriveOf(const std::string& path) override
    {
        if (const long i = holding(path); i >= 0)
            current = static_cast<std::size_t>(i);
    }
    std::string rootOf(const std::string& path) const override
    {
        const long i = holding(path);
        return i < 0 ? std::string() : roots[static_cast<std::size_t>(i)];
    }

private:
    long holding(const std::string& path) const
    {
        if (path.empty())
            return -1;
        const std::string clean = cleanPath(path);
        long best = -1;
        for (std::size_t i = 0; i < roots.size(); ++i) {
            const std::string& r = roots[i];
            const bool holds = folderHolds(r, clean);
            if (holds && (best < 0 || r.size() > roots[static_cast<std::size_t>(best)].size()))
                best = static_cast<long>(i);
        }
        return best;
    }
};

class ScriptedDirList final : public ScriptedControl, public DirList {
public:
    std::string path_ = cleanPath(fs::current_path().string());

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override
    {
        if (path.empty())
            return;
        const std::string clean = cleanPath(path);
        std::error_code ec;
        if (clean == path_ || !fs::is_directory(clean, ec))
            return;
        path_ = clean;
        if (change)
            change();
    }
};

class ScriptedFileList final : public ScriptedControl, public FileList {
public:
    std::string folder_ = cleanPath(fs::current_path().string());
    std::string pattern_ = "*.*";
    std::vector<std::string> items;
    std::vector<bool> picked;
    ItemIndex index = kNoItem;
    int reads = 0;
    int selectAllCalls = 0;
    long setSelectedCalls = 0;

    std::string path() const override { return folder_; }
    void setPath(const std::string& folder) override
    {
        folder_ = folder.empty() ? std::string() : cleanPath(folder);
        refresh();
    }
    std::string pattern() const override { return pattern_; }
    void setPattern(const std::string& pattern) override
    {
        pattern_ = pattern;
        refresh();
    }
    void refresh() override
    {
        ++reads;
        items.clear();
        std::error_code ec;
        if (!folder_.empty() && fs::is_directory(folder_, ec))
            for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
                const std::string name = e.path().filename().string();
                if (name[0] != '.' && e.is_regular_file(ec) && matchesPattern(name, pattern_))
                    items.push_back(name);
            }
        std::vector<std::string> sorted;
        for (std::size_t i : readingOrder(items))
            sorted.push_back(items[i]);
        items.swap(sorted);
        picked.assign(items.size(), false);
        index = kNoItem;
    }
    ItemIndex listCount() const override { return static_cast<ItemIndex>(items.size()); }
    std::string list(ItemIndex i) const override
    {
        return i >= 0 && i < listCount() ? items[static_cast<std::size_t>(i)] : std::string();
    }
    bool selected(ItemIndex i) const override
    {
        return i >= 0 && i < listCount() && picked[static_cast<std::size_t>(i)];
    }
    void setSelected(ItemIndex i, bool on) override
    {
        ++setSelectedCalls;
        if (i >= 0 && i < listCount())
            picked[static_cast<std::size_t>(i)] = on;
    }
    void selectAll() override
    {
        ++selectAllCalls;
        picked.assign(items.size(), true);
    }
    ItemIndex listIndex() const override { return index; }

    // Makes only `indexes` selected.
    void selectOnly(std::initializer_list<ItemIndex> indexes)
    {
        picked.assign(items.size(), false);
        for (ItemIndex i : indexes)
            picked.at(static_cast<std::size_t>(i)) = true;
    }
    std::vector<ItemIndex> selection() const
    {
        std::vector<ItemIndex> out;
        for (std::size_t i = 0; i < picked.size(); ++i)
            if (picked[i])
                out.push_back(static_cast<ItemIndex>(i));
        return out;
    }
};

class ScriptedProgressBar final : public ScriptedControl, public ProgressBar {
public:
    ItemIndex min_ = 0, max_ = 100, value_ = 0;
    int width = 98;  // 1470 twips
    int paints = 0;

    void setMin(ItemIndex v) override
    {
        min_ = v;
        max_ = std::max(max_, min_);
        value_ = std::clamp(value_, min_, max_);
    }
    void setMax(ItemIndex v) override
    {
        max_ = v;
        min_ = std::min(min_, max_);
        value_ = std::clamp(value_, min_, max_);
    }
    void setValue(ItemIndex v) override { value_ = std::clamp(v, min_, max_); }
    ItemIndex min() const override { return min_; }
    ItemIndex max() const override { return max_; }
    ItemIndex value() const override { return value_; }
    int pixelWidth() const override { return width; }
    void paintNow() override { ++paints; }
};

class ScriptedStatusBar final : public ScriptedControl, public StatusBar {
public:
    std::vector<std::string> texts = std::vector<std::string>(2);
    std::vector<int> paints = std::vector<int>(2);

    int panelCount() const override { return static_cast<int>(texts.size()); }
    std::string panelText(int n) const override
    {
        return n >= 1 && n <= panelCount() ? texts[static_cast<std::size_t>(n - 1)] : std::string();
    }
    void setPanelText(int n, const std::string& text) override
    {
        if (n >= 1 && n <= panelCount())
            texts[static_cast<std::size_t>(n - 1)] = text;
    }
    void paintNow(int n) override
    {
        if (n >= 1 && n <= panelCount())
            ++paints[static_cast<std::size_t>(n - 1)];
    }
};

class ScriptedTextBox final : public ScriptedControl, public TextBox {
public:
    std::string text_;
    std::string text() const override { return text_; }
    void setText(const std::string& t) override { text_ = t; }
};

class ScriptedLabel final : public ScriptedControl, public Label {
public:
    std::string caption_;
    std::string caption() const override { return caption_; }
};

class ScriptedMenuItem final : public MenuItem {
public:
    std::string name_;
    const std::string& name() const override { return name_; }
    void choose()
    {
        if (click)
            click();
    }
};

class ScriptedWindow;

// A popup: records that it was shown and lets the test choose an item.
class ScriptedPopup final : public PopupMenu {
public:
    std::string name_;
    std::vector<ScriptedMenuItem*> items;
    std::vector<std::string>* shownLog = nullptr;
    int choice = -1;  // the index of the item chosen when it is shown; -1 dismisses
    const std::string& name() const override { return name_; }
    void popup() override
    {
        if (shownLog)
            shownLog->push_back(name_);
        if (choice >= 0)
            items.at(static_cast<std::size_t>(choice))->choose();
    }
};

// What the user drags: a list of files, or something else.
class ScriptedDragData final : public DragData {
public:
    bool offersFiles = true;
    std::vector<std::string> paths;
    bool getFormat(int format) const override { return format == kClipboardFormatFiles && offersFiles; }
    std::vector<std::string> files() const override { return offersFiles ? paths : std::vector<std::string>{}; }
};

class ScriptedToolkit;

class ScriptedWindow final : public Window {
public:
    ScriptedWindow(ScriptedToolkit& toolkit, const FormLayout& layout, std::vector<std::string>& popups);
    ~ScriptedWindow() override;

    template <typename T>
    T* find(std::string_view name)
    {
        const auto it = controls.find(name);
        return it == controls.end() ? nullptr : dynamic_cast<T*>(it->second.get());
    }
    rastrex::CheckBox* checkBox(std::string_view n) override { return find<ScriptedCheckBox>(n); }
    rastrex::CommandButton* commandButton(std::string_view n) override { return find<ScriptedButton>(n); }
    rastrex::DriveList* driveList(std::string_view n) override { return find<ScriptedDriveList>(n); }
    rastrex::DirList* dirList(std::string_view n) override { return find<ScriptedDirList>(n); }
    rastrex::FileList* fileList(std::string_view n) override { return find<ScriptedFileList>(n); }
    rastrex::ProgressBar* progressBar(std::string_view n) override { return find<ScriptedProgressBar>(n); }
    rastrex::StatusBar* statusBar(std::string_view n) override { return find<ScriptedStatusBar>(n); }
    rastrex::TextBox* textBox(std::string_view n) override { return find<ScriptedTextBox>(n); }
    rastrex::Label* label(std::string_view n) override { return find<ScriptedLabel>(n); }
    rastrex::MenuItem* menuItem(std::string_view n) override { return item(n); }
    rastrex::PopupMenu* popupMenu(std::string_view n) override
    {
        const auto it = popups_.find(n);
        return it == popups_.end() ? nullptr : it->second.get();
    }
    ScriptedMenuItem* item(std::string_view n)
    {
        const auto it = items_.find(n);
        return it == items_.end() ? nullptr : it->second.get();
    }
    ScriptedPopup* popup(std::string_view n)
    {
        const auto it = popups_.find(n);
        return it == popups_.end() ? nullptr : it->second.get();
    }

    void show() override
    {
        if (loaded_)
            ++shows;
    }
    void unload() override
    {
        if (!loaded_)
            return;
        bool cancel = false;
        if (queryUnload)
            queryUnload(cancel, UnloadCause::Code);
        if (!cancel)
            markUnloaded();
    }
    // The user presses the close box.
    void closeBox()
    {
        if (!loaded_)
            return;
        bool cancel = false;
        if (queryUnload)
            queryUnload(cancel, UnloadCause::ControlMenu);
        if (!cancel)
            markUnloaded();
    }
    bool loaded() const override { return loaded_; }
    NativeHandle nativeHandle() const override { return loaded_ ? const_cast<ScriptedWindow*>(this) : nullptr; }

    const FormLayout& layout;
    std::map<std::string, std::unique_ptr<ScriptedControl>, std::less<>> controls;
    int shows = 0;

private:
    void markUnloaded();

    ScriptedToolkit& toolkit_;
    bool loaded_ = true;
    std::map<std::string, std::unique_ptr<ScriptedMenuItem>, std::less<>> items_;
    std::map<std::string, std::unique_ptr<ScriptedPopup>, std::less<>> popups_;
};

// Message boxes that answer from a script and remember what they showed, as
// "report: <text>" and "ask: <text>". An unexpected question fails the test
// and is answered No.
class ScriptedBoxes final : public MessageBoxes {
public:
    std::deque<Answer> answers;
    std::vector<std::string> shown;
    std::function<void(const std::string& text)> onShow;  // runs while a box is up

    void report(const std::string& text) override
    {
        shown.push_back("report: " + text);
        if (onShow)
            onShow(text);
    }
    Answer ask(const std::string& text) override
    {
        shown.push_back("ask: " + text);
        if (onShow)
            onShow(text);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return Answer::No;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A clock that moves only when the test says so, or by `step` at each look.
class ScriptedClock final : public Clock {
public:
    std::chrono::steady_clock::time_point t{};
    std::chrono::milliseconds step{0};
    std::chrono::steady_clock::time_point now() override
    {
        const auto at = t;
        t += step;
        return at;
    }
};

class ScriptedToolkit final : public Toolkit {
public:
    std::unique_ptr<Window> buildWindow(const FormLayout& layout, WindowRole) override
    {
        auto w = std::make_unique<ScriptedWindow>(*this, layout, popupsShown);
        ++built;
        return w;
    }
    MessageBoxes& messageBox() override { return boxes; }
    Clock& clock() override { return clockNow; }
    int run() override { return 0; }
    // The user's request after a batch's n-th file (counted from 1 over the
    // toolkit's life) comes from `requests`; Continue for the others.
    BatchRequest betweenFiles() override
    {
        const auto it = requests.find(++betweenCalls);
        return it == requests.end() ? BatchRequest::Continue : it->second;
    }

    std::map<int, BatchRequest> requests;
    int betweenCalls = 0;
    ScriptedBoxes boxes;
    ScriptedClock clockNow;
    std::vector<std::string> popupsShown;
    int built = 0;
    int loaded = 0;
};

inline ScriptedWindow::ScriptedWindow(ScriptedToolkit& toolkit, const FormLayout& l,
                                      std::vector<std::string>& popups)
    : layout(l), toolkit_(toolkit)
{
    ++toolkit_.loaded;
    for (const ControlLayout& c : l.controls) {
        std::unique_ptr<ScriptedControl> made;
        switch (c.kind) {
        case ControlKind::CheckBox: made = std::make_unique<ScriptedCheckBox>(); break;
        case ControlKind::CommandButton: made = std::make_unique<ScriptedButton>(); break;
        case ControlKind::DriveList: made = std::make_unique<ScriptedDriveList>(); break;
        case ControlKind::DirList: made = std::make_unique<ScriptedDirList>(); break;
        case ControlKind::FileList: {
            auto f = std::make_unique<ScriptedFileList>();
            f->pattern_ = c.pattern.empty() ? "*.*" : std::string(c.pattern);
            made = std::move(f);
            break;
        }
        case ControlKind::ProgressBar: {
            auto p = std::make_unique<ScriptedProgressBar>();
            p->min_ = c.rangeMin;
            p->max_ = c.rangeMax;
            made = std::move(p);
            break;
        }
        case ControlKind::StatusBar: made = std::make_unique<ScriptedStatusBar>(); break;
        case ControlKind::TextBox: {
            auto t = std::make_unique<ScriptedTextBox>();
            t->text_ = std::string(c.caption);
            made = std::move(t);
            break;
        }
        default: {
            auto lb = std::make_unique<ScriptedLabel>();
            lb->caption_ = std::string(c.caption);
            made = std::move(lb);
            break;
        }
        }
        made->name_ = std::string(c.name);
        made->accessibleName_ = accessibleNameOf(c);
        made->visible_ = !c.hidden;
        controls.emplace(std::string(c.name), std::move(made));
    }
    for (const MenuLayout& m : l.menus) {
        std::unique_ptr<ScriptedPopup> popup;
        if (m.popupOnly) {
            popup = std::make_unique<ScriptedPopup>();
            popup->name_ = std::string(m.name);
            popup->shownLog = &popups;
        }
        for (const MenuItemLayout& i : m.items) {
            auto item = std::make_unique<ScriptedMenuItem>();
            item->name_ = std::string(i.name);
            if (popup)
                popup->items.push_back(item.get());
            items_.emplace(std::string(i.name), std::move(item));
        }
        if (popup)
            popups_.emplace(std::string(m.name), std::move(popup));
    }
}

inline ScriptedWindow::~ScriptedWindow()
{
    if (loaded_)
        --toolkit_.loaded;
}

inline void ScriptedWindow::markUnloaded()
{
    loaded_ = false;
    --toolkit_.loaded;
}

}  // namespace rastrex::test
