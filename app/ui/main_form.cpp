#include "main_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>

#include "about_form.h"
#include "form_layout.h"
#include "pictures.h"
#include "volumes.h"

namespace rastrex {

namespace {

QWidget* makeMainControl(const ControlLayout& c, QWidget* container)
{
    switch (c.kind) {
    case ControlKind::CommandButton:
        return new CommandButton(container);
    case ControlKind::CheckBox:
        return new CheckBox(container);
    case ControlKind::StatusBar:
        // Panel 1 is 1550 twips wide, panel 2 takes the rest.
        return new StatusBar({1550, 4820}, container);
    case ControlKind::ProgressBar:
        return new ProgressBar(container);
    case ControlKind::DriveList:
        return new DriveList(container);
    case ControlKind::FileList:
        return new FileList(container);
    case ControlKind::DirList:
        return new DirList(container);
    case ControlKind::Frame:
        return new QGroupBox(container);
    case ControlKind::Label:
        return new QLabel(container);
    case ControlKind::Picture:
        return new QLabel(container);
    case ControlKind::Line:
        return new Line(c.top < 15 ? QPalette::Dark : QPalette::Light, container);
    case ControlKind::TextBox:
        break;
    }
    return new QWidget(container);
}

template <typename T>
T* control(QWidget* client, const char* name)
{
    T* w = client->findChild<T*>(QString::fromUtf8(name));
    Q_ASSERT(w);
    return w;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

}  // namespace

MainForm::MainForm(AppServices services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      services_(services)
{
    showPopup = [](PopupMenu& menu) { menu.popupAtPointer(); };

    buildControls();
    buildMenus();
    connectEvents();
    Form_Load();

    // The focus goes to the first control of the focus order that can take it.
    if (Command1->isEnabled())
        Command1->setFocus();
    else
        Command2->setFocus();
}

MainForm::~MainForm()
{
    delete about_.data();
}

void MainForm::buildControls()
{
    const FormLayout& form = mainFormLayout();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(form.caption));
    setWindowIcon(programIcon());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(form.clientWidth), twipsToPixels(form.clientHeight));
    setCentralWidget(client);
    buildLayout(form, client, makeMainControl);

    Command1 = control<CommandButton>(client, "Command1");
    Command2 = control<CommandButton>(client, "Command2");
    Check1 = control<CheckBox>(client, "Check1");
    Check2 = control<CheckBox>(client, "Check2");
    Check3 = control<CheckBox>(client, "Check3");
    Check4 = control<CheckBox>(client, "Check4");
    Check5 = control<CheckBox>(client, "Check5");
    Check6 = control<CheckBox>(client, "Check6");
    StatusBar1 = control<StatusBar>(client, "StatusBar1");
    ProgressBar1 = control<ProgressBar>(client, "ProgressBar1");
    Drive1 = control<DriveList>(client, "Drive1");
    File1 = control<FileList>(client, "File1");
    File2 = control<FileList>(client, "File2");
    Dir1 = control<DirList>(client, "Dir1");
    Frame1 = control<QGroupBox>(client, "Frame1");
    Label1 = control<QLabel>(client, "Label1");
    Label2 = control<QLabel>(client, "Label2");
    Image1 = control<QLabel>(client, "Image1");
    Line1 = control<Line>(client, "Line1");
    Line2 = control<Line>(client, "Line2");

    // Starting state of the stored layout.
    Command1->setDefault(true);
    File1->setPattern(QStringLiteral("*.xwd"));
    File2->setPattern(QStringLiteral("*.bmp"));
    File1->setAcceptsFileDrops(true);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setVisible(false);
    ProgressBar1->raise();  // over the left of the status bar, inside panel 1

    for (QLabel* label : {Label1, Label2}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
        label->setPalette(p);
    }
    for (const ControlLayout& c : form.controls)
        if (c.autoSize)
            fitToText(client->findChild<QLabel*>(QString::fromUtf8(c.name)), c);
    Image1->setPixmap(arrowPicture());

    Drive1->volumes = [] {
        QList<DriveList::Entry> drives;
        for (const Volume& v : systemVolumes())
            drives.append({v.root, v.label});
        return drives;
    };
    const QString start = QDir::currentPath();
    Drive1->setVolumes(Drive1->volumes(), start);
    Dir1->initPath(start);

    // The window cannot be resized: its client area is fixed and the frame
    // follows the menu bar and the client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(twipsToPixels(form.left), twipsToPixels(form.top));
}

void MainForm::buildMenus()
{
    menuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuVersion = addItem(menuFile, "menuVersion", "rastrex バージョン情報", QKeySequence(Qt::CTRL | Qt::Key_V));
    menuQuit = addItem(menuFile, "menuQuit", "rastrex の終了", QKeySequence(Qt::CTRL | Qt::Key_Q));

    menuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    menuEdit->setObjectName(QStringLiteral("menuEdit"));
    menuRefleshAll = addItem(menuEdit, "menuRefleshAll", "最新の情報に更新", QKeySequence(Qt::CTRL | Qt::Key_R));
    menuSelectAll = addItem(menuEdit, "menuSelectAll", "すべて選択", QKeySequence(Qt::CTRL | Qt::Key_A));
    menuConvert = addItem(menuEdit, "menuConvert", "すべて変換", QKeySequence(Qt::CTRL | Qt::Key_C));

    // Top-level menus kept out of the menu bar: popups of the file lists.
    menuRight1 = new PopupMenu(QStringLiteral("右クリック用ダミー１"), this);
    menuRight1->setObjectName(QStringLiteral("menuRight1"));
    menuReflesh1 = addItem(menuRight1, "menuReflesh1", "最新の情報に更新(&R)");
    menuSelect1 = addItem(menuRight1, "menuSelect1", "すべて選択(&A)");
    menuDelete1 = addItem(menuRight1, "menuDelete1", "削除(&D)");

    menuRight2 = new PopupMenu(QStringLiteral("右クリック用ダミー２"), this);
    menuRight2->setObjectName(QStringLiteral("menuRight2"));
    menuReflesh2 = addItem(menuRight2, "menuReflesh2", "最新の情報に更新(&R)");
    menuSelect2 = addItem(menuRight2, "menuSelect2", "すべて選択(&A)");
    menuDelete2 = addItem(menuRight2, "menuDelete2", "削除(&D)");
}

// The event table. Every connection is direct: a handler runs to its end
// inside the call that raised its event.
void MainForm::connectEvents()
{
    auto onClick = [this](QAbstractButton* button, void (MainForm::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); },
                Qt::DirectConnection);
    };
    onClick(Command1, &MainForm::Command1_Click);
    onClick(Command2, &MainForm::Command2_Click);

    Check2->click = [this] { Check2_Click(); };
    Check4->click = [this] { Check4_Click(); };
    Check5->click = [this] { Check5_Click(); };
    Check6->click = [this] { Check6_Click(); };

    Drive1->change = [this] { Drive1_Change(); };
    Dir1->change = [this] { Dir1_Change(); };

    File1->dblClick = [this] { File1_DblClick(); };
    File1->mouseDown = [this](int button, int shift, int x, int y) { File1_MouseDown(button, shift, x, y); };
    File2->mouseDown = [this](int button, int shift, int x, int y) { File2_MouseDown(button, shift, x, y); };
    File1->dragOver = [this](const QMimeData* data, int& effect) { File1_OLEDragOver(data, effect); };
    File1->dragDrop = [this](const QMimeData* data) { File1_OLEDragDrop(data); };

    auto onTrigger = [this](QAction* action, void (MainForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); },
                Qt::DirectConnection);
    };
    onTrigger(menuVersion, &MainForm::menuVersion_Click);
    onTrigger(menuQuit, &MainForm::menuQuit_Click);
    onTrigger(menuRefleshAll, &MainForm::menuRefleshAll_Click);
    onTrigger(menuSelectAll, &MainForm::menuSelectAll_Click);
    onTrigger(menuConvert, &MainForm::menuConvert_Click);
    onTrigger(menuReflesh1, &MainForm::menuReflesh1_Click);
    onTrigger(menuSelect1, &MainForm::menuSelect1_Click);
    onTrigger(menuDelete1, &MainForm::menuDelete1_Click);
    onTrigger(menuReflesh2, &MainForm::menuReflesh2_Click);
    onTrigger(menuSelect2, &MainForm::menuSelect2_Click);
    onTrigger(menuDelete2, &MainForm::menuDelete2_Click);
}

// ------------------------------------------------------------- lifecycle

void MainForm::Form_Load()
{
    Check1->setValue(CheckBox::Off);
    Check2->setValue(CheckBox::On);
    Check3->setValue(CheckBox::Off);
    Check4->setValue(CheckBox::On);
    File1->setPattern(QStringLiteral("*.xwd"));
    File2->setPattern(QStringLiteral("*.bmp"));
    Dir1_Change();
}

void MainForm::Form_Resize() {}

void MainForm::Form_QueryUnload()
{
    if (about_)
        about_->close();
}

void MainForm::Command2_Click()
{
    close();
}

void MainForm::menuQuit_Click()
{
    Command2_Click();
}

void MainForm::menuVersion_Click()
{
    if (!about_) {
        about_ = new AboutForm();
        // An unloaded version window is gone: the next command builds it afresh.
        connect(about_, &AboutForm::unloaded, this, [this] { about_ = nullptr; }, Qt::DirectConnection);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void MainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainForm::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the default button while it is enabled; a focused
    // command button has taken Enter itself before it gets here.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (Command1->isEnabled())
            Command1->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ------------------------------------------------------------- file panes

void MainForm::Drive1_Change()
{
    Dir1->hide();
    Dir1->setPath(Drive1->drive());
    Dir1->show();
    // A drive whose root cannot be read leaves Dir1 where it was; the drive
    // list then shows the drive of the folder the panes still show.
    Drive1->showDriveOf(Dir1->path());
}

void MainForm::Dir1_Change()
{
    // The directory list can climb to folders of another volume; the drive
    // list shows the volume of the folder shown, without a change of its own.
    Drive1->showDriveOf(Dir1->path());
    File1->hide();
    File1->setFolder(Dir1->path());
    File1->show();
    File2->hide();
    File2->setFolder(Dir1->path());
    File2->show();
    menuSelectAll_Click();
}

void MainForm::Check2_Click()
{
    File1->setPattern(Check2->value() == CheckBox::On ? QStringLiteral("*.xwd") : QStringLiteral("*.*"));
}

void MainForm::Check4_Click()
{
    File2->setPattern(Check4->value() == CheckBox::On ? QStringLiteral("*.bmp") : QStringLiteral("*.*"));
}

void MainForm::Check5_Click() {}

void MainForm::Check6_Click()
{
    Drive1->setEnabled(Check6->value() != CheckBox::On);
}

void MainForm::File1_MouseDown(int button, int, int, int)
{
    StatusBar1->setPanelText(2, File1->itemText(File1->currentIndex()));
    if (button == kRightButton)
        showPopup(*menuRight1);
}

void MainForm::File2_MouseDown(int button, int, int, int)
{
    StatusBar1->setPanelText(2, File2->itemText(File2->currentIndex()));
    if (button == kRightButton)
        showPopup(*menuRight2);
}

void MainForm::menuRefleshAll_Click()
{
    menuReflesh1_Click();
    menuReflesh2_Click();
}

void MainForm::menuReflesh1_Click()
{
    File1->hide();
    File1->refresh();
    File1->show();
    if (File1->itemCount() == 0) {
        StatusBar1->setPanelText(1, QString());
        Command1->setEnabled(false);
    } else {
        StatusBar1->setPanelText(1, QStringLiteral("レディ"));
        Command1->setEnabled(true);
    }
}

void MainForm::menuReflesh2_Click()
{
    File2->hide();
    File2->refresh();
    File2->show();
}

namespace {

void selectEvery(FileList* list)
{
    const int n = list->itemCount();
    for (int i = 0; i < n; ++i)
        list->setSelected(i, true);
}

}  // namespace

void MainForm::menuSelectAll_Click()
{
    menuRefleshAll_Click();
    selectEvery(File1);
}

void MainForm::menuSelect1_Click()
{
    menuReflesh1_Click();
    selectEvery(File1);
}

void MainForm::menuSelect2_Click()
{
    menuReflesh2_Click();
    selectEvery(File2);
}

}  // namespace rastrex
