// The main window's commands that convert, delete and accept drops.
#include <QMimeData>
#include <QUrl>

#include "file_uti.h"
#include "main_form.h"
#include "pane_paths.h"
#include "single_conversion.h"
#include "volumes.h"

namespace rastrex {

namespace {

ConversionContext conversionContext(MainForm& form)
{
    AppServices& s = form.services();
    return ConversionContext{s.dialogs, s.library, s.trash, [&form] { return form.Check1->value(); },
                             [&form] { return form.Check3->value(); }};
}

// A batch runs without returning to the event loop, so the bar and the
// file's name are painted here, at once; no input is taken meanwhile.
void paintProgress(MainForm& form)
{
    form.ProgressBar1->repaint();
    if (QLabel* panel = form.StatusBar1->panel(2))
        panel->repaint();
}

void startProgress(MainForm& form, int count)
{
    form.ProgressBar1->setMinimum(0);
    form.ProgressBar1->setMaximum(count);
    form.ProgressBar1->setVisible(true);
}

void endProgress(MainForm& form)
{
    form.ProgressBar1->setValue(0);
    form.ProgressBar1->setVisible(false);
}

// The local files a drag offers (the file manager's text/uri-list).
QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
    return files;
}

// Moves every selected file of `list` to the trash, last item first.
void deleteSelected(MainForm& form, FileList& list)
{
    const QString prefix = folderPrefix(form.Dir1->path());
    const int count = list.itemCount();
    startProgress(form, count);
    for (int i = count - 1; i >= 0; --i) {
        if (!list.selected(i))
            continue;
        QString path = prefix + list.itemText(i);
        form.ProgressBar1->setValue(list.itemCount() - i);
        form.StatusBar1->setPanelText(2, path);
        paintProgress(form);
        // A file gone or unreadable since the list was read is skipped quietly.
        if (FileUti::FileExists(path))
            FileUti::MoveToRecycleBin(path, form.services().dialogs, form.services().trash);
    }
    endProgress(form);
    form.menuRefleshAll_Click();
}

}  // namespace

void MainForm::Command1_Click()
{
    const QString prefix = folderPrefix(Dir1->path());
    const int count = File1->itemCount();
    startProgress(*this, count);
    ConversionContext context = conversionContext(*this);
    for (int i = count - 1; i >= 0; --i) {
        if (!File1->selected(i))
            continue;
        const QString path = prefix + File1->itemText(i);
        ProgressBar1->setValue(count - i);
        StatusBar1->setPanelText(2, path);
        paintProgress(*this);
        // Without the library no file can be converted: it was reported
        // once, and the batch ends as after its last file.
        if (rastrex::doMain(path, context) == ConversionOutcome::LibraryMissing)
            break;
    }
    endProgress(*this);
    StatusBar1->setPanelText(2, QString());
    menuRefleshAll_Click();
    StatusBar1->setPanelText(1, QStringLiteral("完了"));
}

void MainForm::menuConvert_Click()
{
    Command1_Click();
}

void MainForm::File1_DblClick()
{
    Command1_Click();
}

void MainForm::menuDelete1_Click()
{
    deleteSelected(*this, *File1);
}

void MainForm::menuDelete2_Click()
{
    deleteSelected(*this, *File2);
}

void MainForm::File1_OLEDragOver(const QMimeData* data, int& effect)
{
    effect = localFiles(data).isEmpty() ? kDropEffectNone : kDropEffectCopy;
}

void MainForm::File1_OLEDragDrop(const QMimeData* data)
{
    for (const QString& path : localFiles(data)) {
        const QString root = volumeRootFor(path);
        const QString folder = dropFolderFor(path, root);
        // A path on no volume of the drive list leaves the panes where they are.
        if (folder.isEmpty())
            continue;
        Drive1->setDrive(root);
        Dir1->setPath(folder);
    }
}

void MainForm::doMain(const QString& path)
{
    ConversionContext context = conversionContext(*this);
    rastrex::doMain(path, context);
}

}  // namespace rastrex
