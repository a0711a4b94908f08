// MainForm: the converter's main window. Its controls are built from the
// layout table in main_form_layout.cpp; its handlers are public methods named
// after the control and the event.
#pragma once

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <functional>

#include "about_form.h"
#include "app_services.h"
#include "toolkit.h"

class QMimeData;

namespace rastrex {

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(AppServices services, QWidget* parent = nullptr);
    ~MainForm() override;

    AppServices& services() { return services_; }

    // The version window while it exists, else null.
    AboutForm* aboutForm() const { return about_; }

    // Shows a popup menu. By default at the mouse pointer, returning after
    // the chosen item's handler has run; tests replace it to observe which
    // menu a press opens without blocking.
    std::function<void(PopupMenu& menu)> showPopup;

    // Controls, by the names of the layout.
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
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    Line* Line1 = nullptr;
    Line* Line2 = nullptr;

    // Menus and their items.
    QMenu* menuFile = nullptr;
    QAction* menuVersion = nullptr;
    QAction* menuQuit = nullptr;
    QMenu* menuEdit = nullptr;
    QAction* menuRefleshAll = nullptr;
    QAction* menuSelectAll = nullptr;
    QAction* menuConvert = nullptr;
    PopupMenu* menuRight1 = nullptr;
    QAction* menuReflesh1 = nullptr;
    QAction* menuSelect1 = nullptr;
    QAction* menuDelete1 = nullptr;
    PopupMenu* menuRight2 = nullptr;
    QAction* menuReflesh2 = nullptr;
    QAction* menuSelect2 = nullptr;
    QAction* menuDelete2 = nullptr;

    // Window lifecycle.
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();
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

    // Converting, deleting and dropping (main_form_commands.cpp).
    void Command1_Click();
    void menuConvert_Click();
    void File1_DblClick();
    void menuDelete1_Click();
    void menuDelete2_Click();
    void File1_OLEDragOver(const QMimeData* data, int& effect);
    void File1_OLEDragDrop(const QMimeData* data);
    void doMain(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectEvents();

    AppServices services_;
    QPointer<AboutForm> about_;
};

}  // namespace rastrex
