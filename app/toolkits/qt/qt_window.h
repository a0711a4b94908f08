// A window of the Qt toolkit built from its layout: its controls, each made
// and set up by its family's maker (qt_buttons.h, qt_lists.h, ...), its
// focus order, menus and place on the screen.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "controls.h"
#include "layouts.h"
#include "qt_controls.h"
#include "qt_menus.h"

namespace rastrex::qt {

class QtToolkit;
class QtWindow;
class CommandButton;

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

    rastrex::CheckBox* checkBox(std::string_view name) override;
    rastrex::CommandButton* commandButton(std::string_view name) override;
    rastrex::DriveList* driveList(std::string_view name) override;
    rastrex::DirList* dirList(std::string_view name) override;
    rastrex::FileList* fileList(std::string_view name) override;
    rastrex::ProgressBar* progressBar(std::string_view name) override;
    rastrex::StatusBar* statusBar(std::string_view name) override;
    rastrex::TextBox* textBox(std::string_view name) override;
    rastrex::Label* label(std::string_view name) override;
    rastrex::MenuItem* menuItem(std::string_view name) override;
    rastrex::PopupMenu* popupMenu(std::string_view name) override;

    void show() override;
    void unload() override;
    bool loaded() const override { return loaded_; }
    NativeHandle nativeHandle() const override;

    // What a control's maker needs of the window it is made for
    // (qt_controls.h and the families' headers): gives `made` the name, place, font and tooltip of
    // `layout`, the part of the setup that every kind shares.
    template <typename W>
    W* place(W* made, const ControlLayout& layout) const
    {
        if constexpr (requires { made->setName(std::string()); })
            made->setName(std::string(layout.name));
        placeControl(*made, layout);
        return made;
    }
    const QFont& font() const { return font_; }
    // The folder the program was started in, where the lists start.
    const std::string& startFolder() const { return start_; }
    // The button Enter presses.
    void setDefaultButton(CommandButton* button) { default_ = button; }

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
    void build();
    void buildMenus();  // qt_menus.cpp
    void placeOnScreen();
    void placeControl(QWidget& made, const ControlLayout& layout) const;
    QWidget* make(const ControlLayout& c, QWidget* container);
    bool closeBox();  // the close box asks; true when the window unloads
    void pressDefault();
    void markUnloaded();

    QtToolkit& toolkit_;
    const FormLayout& layout_;
    QFont font_;
    std::string start_;
    QPointer<FormWidget> widget_;
    std::map<std::string, QWidget*, std::less<>> controls_;
    std::map<std::string, std::unique_ptr<MenuItem>, std::less<>> items_;
    std::map<std::string, std::unique_ptr<PopupMenu>, std::less<>> popups_;
    CommandButton* default_ = nullptr;
    bool loaded_ = true;
    bool unloading_ = false;
};

}  // namespace rastrex::qt
