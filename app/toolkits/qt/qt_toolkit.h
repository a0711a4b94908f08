// The Qt toolkit: builds the windows of the logic from their layouts with
// the Qt controls, owns the message boxes and the clock, and
// runs Qt's event loop until no window is loaded.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "layouts.h"
#include "progress_painter.h"
#include "message_boxes.h"
#include "qt_controls.h"

namespace rastrex::qt {

class QtToolkit;
class QtWindow;

// The steady clock of the machine.
class SteadyClock final : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

// The user-interface font: the first installed Japanese font of a list of
// preferred ones (else the application's font), at the largest size up to
// 9 points at which every caption of both layouts fits its control.
QFont chooseInterfaceFont();
// Whether a font of the preferred Japanese list is installed.
bool japaneseFontInstalled();

// The font a control of `layout` uses: its own, or the window's.
QFont controlFont(const ControlLayout& control, const QFont& windowFont);

// The top-level widget of a window.
class FormWidget final : public QMainWindow {
public:
    FormWidget(QtWindow& window, Qt::WindowFlags flags);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QtWindow& window_;
};

class QtWindow final : public Window {
public:
    QtWindow(QtToolkit& toolkit, const FormLayout& layout, const QFont& font);
    ~QtWindow() override;

    rastrex::CheckBox* checkBox(std::string_view name) override { return find<CheckBox>(name); }
    rastrex::CommandButton* commandButton(std::string_view name) override { return find<CommandButton>(name); }
    rastrex::DriveList* driveList(std::string_view name) override { return find<DriveList>(name); }
    rastrex::DirList* dirList(std::string_view name) override { return find<DirList>(name); }
    rastrex::FileList* fileList(std::string_view name) override { return find<FileList>(name); }
    rastrex::ProgressBar* progressBar(std::string_view name) override { return find<ProgressBar>(name); }
    rastrex::StatusBar* statusBar(std::string_view name) override { return find<StatusBar>(name); }
    rastrex::TextBox* textBox(std::string_view name) override { return find<TextBox>(name); }
    rastrex::Label* label(std::string_view name) override;
    rastrex::MenuItem* menuItem(std::string_view name) override;
    rastrex::PopupMenu* popupMenu(std::string_view name) override;

    void show() override;
    void unload() override;
    bool loaded() const override { return loaded_; }
    NativeHandle nativeHandle() const override;

    // For the toolkit's own tests and the benchmark.
    FormWidget* widget() const { return widget_; }
    QWidget* control(std::string_view name) const;
    PopupMenu* qtPopup(std::string_view name) const;
    const FormLayout& layout() const { return layout_; }

private:
    friend class FormWidget;
    template <typename T>
    T* find(std::string_view name) const
    {
        return dynamic_cast<T*>(control(name));
    }
    void build(const QFont& font);
    void buildMenus();
    void placeOnScreen();
    QWidget* make(const ControlLayout& c, QWidget* container);
    bool closeBox();  // the close box asks; true when the window unloads
    void pressDefault();
    void markUnloaded();

    QtToolkit& toolkit_;
    const FormLayout& layout_;
    QPointer<FormWidget> widget_;
    std::map<std::string, QWidget*, std::less<>> controls_;
    std::map<std::string, std::unique_ptr<MenuItem>, std::less<>> items_;
    std::map<std::string, std::unique_ptr<PopupMenu>, std::less<>> popups_;
    CommandButton* default_ = nullptr;
    bool loaded_ = true;
    bool unloading_ = false;
};

class QtToolkit final : public Toolkit {
public:
    // Needs the QApplication. Chooses the interface font once.
    QtToolkit();

    std::unique_ptr<Window> buildWindow(const FormLayout& layout, WindowRole role) override;
    rastrex::MessageBoxes& messageBox() override { return boxes_; }
    Clock& clock() override { return *clock_; }
    int run() override;
    BatchRequest betweenFiles() override;

    // Tests step time by hand.
    void setClock(Clock& clock) { clock_ = &clock; }
    const QFont& interfaceFont() const { return font_; }

private:
    friend class QtWindow;
    void loadedCountChanged(int delta);

    QtMessageBoxes boxes_;
    SteadyClock steady_;
    Clock* clock_ = &steady_;
    QFont font_;
    int loaded_ = 0;
    QPointer<FormWidget> main_;
    // How often a batch lets the windows repaint.
    PaintPacing batchPaints_;
};

}  // namespace rastrex::qt
