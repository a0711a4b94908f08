// Helpers for the tests of the Qt toolkit: the logic's main window built by
// the Qt toolkit on a temporary folder of the test's choosing, with scripted
// services, and readers of the Qt controls.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "folder_listing.h"
#include "main_form.h"
#include "qt_bars.h"
#include "qt_buttons.h"
#include "qt_lists.h"
#include "qt_text.h"
#include "qt_toolkit.h"
#include "scripted_toolkit.h"
#include "touch_files.h"

namespace rastrex::uitest {

// Creates `names` as small files in `folder`.
inline void touch(const QString& folder, const QStringList& names)
{
    for (const QString& name : names)
        test::touchFiles(folder.toStdString(), {name.toStdString()});
}

// The texts of a file list's items, in order.
inline QStringList items(const qt::FileList& list)
{
    QStringList out;
    for (ItemIndex i = 0; i < list.listCount(); ++i)
        out << QString::fromStdString(list.list(i));
    return out;
}

// The indexes of a file list's selected items.
inline QList<int> selection(const qt::FileList& list)
{
    QList<int> out;
    for (ItemIndex i = 0; i < list.listCount(); ++i)
        if (list.selected(i))
            out << static_cast<int>(i);
    return out;
}

// A main window started in a fresh temporary folder holding `files`, as if
// the program had been started there. The process's current folder is put
// back when the fixture ends.
class FormInFolder : public ::testing::Test {
protected:
    void SetUp() override { previous_ = QDir::currentPath(); }
    void TearDown() override
    {
        form.reset();
        QDir::setCurrent(previous_);
    }

    // Creates a new folder inside the temporary one holding `files` and
    // opens the window there. Each call replaces the window.
    void open(const QStringList& files = {})
    {
        form.reset();
        ASSERT_TRUE(dir.isValid());
        const QString name = QStringLiteral("start%1").arg(++opened_);
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        folder_ = QDir(dir.path() + QLatin1Char('/') + name).canonicalPath();
        touch(folder_, files);
        ASSERT_TRUE(QDir::setCurrent(folder_));
        form = std::make_unique<MainForm>(toolkit, AppServices{library, trash, files_});
    }

    QString folder() const { return folder_; }
    qt::QtWindow& window() { return static_cast<qt::QtWindow&>(form->window()); }
    qt::FormWidget* widget() { return window().widget(); }
    template <typename T>
    T* control(const char* name)
    {
        return dynamic_cast<T*>(window().control(name));
    }
    qt::FileList* file(int n) { return control<qt::FileList>(n == 1 ? "File1" : "File2"); }
    QAction* action(const char* name) { return widget()->findChild<QAction*>(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    qt::QtToolkit toolkit;
    test::RecordingLibrary library;
    test::FolderRecycleBin trash{(dir.path() + QStringLiteral("/trash")).toStdString()};
    SystemFileSystem files_;
    std::unique_ptr<MainForm> form;

private:
    QString previous_;
    QString folder_;
    int opened_ = 0;
};

}  // namespace rastrex::uitest
