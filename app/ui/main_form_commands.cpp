// The main window's commands that convert, delete and accept drops.
#include <QMimeData>

#include "main_form.h"

namespace rastrex {

void MainForm::Command1_Click() {}

void MainForm::menuConvert_Click() {}

void MainForm::File1_DblClick() {}

void MainForm::menuDelete1_Click() {}

void MainForm::menuDelete2_Click() {}

void MainForm::File1_OLEDragOver(const QMimeData* data, int& effect)
{
    (void)data;
    (void)effect;
}

void MainForm::File1_OLEDragDrop(const QMimeData* data)
{
    (void)data;
}

void MainForm::doMain(const QString& path)
{
    (void)path;
}

}  // namespace rastrex
