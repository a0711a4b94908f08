// A main window on a temporary folder, with scripted message boxes, the real
// library behind a recorder, and the private trash.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app_test_support.h"
#include "main_form.h"

namespace rastrex::test {

// Passes calls on to the real library and lets a test look at the window
// while each file is converted.
class RecordingLibrary final : public ConverterLibrary {
public:
    explicit RecordingLibrary(ConverterLibrary& inner) : inner_(inner) {}
    std::function<void(const QString& source)> onConvert;
    bool bind(QString* reason) override { return inner_.bind(reason); }
    std::int32_t convert(const QByteArray& xwd, const QByteArray& bmp) override
    {
        if (onConvert)
            onConvert(QFile::decodeName(xwd));
        return inner_.convert(xwd, bmp);
    }

private:
    ConverterLibrary& inner_;
};

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Remembers whether a posted event has been delivered.
class PostedProbe final : public QObject {
public:
    bool delivered = false;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            delivered = true;
            return true;
        }
        return QObject::event(e);
    }
};

class CommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        emptyPrivateTrash();
        form = std::make_unique<MainForm>(AppServices{dialogs, library, systemTrash()});
        form->show();
        // Lets the offscreen platform expose the window once, so that
        // repaints during a batch reach its widgets.
        QCoreApplication::processEvents();
    }
    void TearDown() override { form.reset(); }

    QString file(const QString& name) const { return dir.filePath(name); }
    // Points the panes at the test's folder: both lists re-read, all of
    // File1 selected.
    void openFolder() { form->Dir1->setPath(dir.path()); }
    void selectOnly(FileList* list, std::initializer_list<int> items)
    {
        for (int i = 0; i < list->itemCount(); ++i)
            list->setSelected(i, false);
        for (int i : items)
            list->setSelected(i, true);
    }
    QStringList items(FileList* list) const
    {
        QStringList names;
        for (int i = 0; i < list->itemCount(); ++i)
            names << list->itemText(i);
        return names;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    RecordingLibrary library{realLibrary()};
    std::unique_ptr<MainForm> form;
};

}  // namespace rastrex::test
