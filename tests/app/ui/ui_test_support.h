// Helpers for the window tests: message boxes that never block, a library
// and a trash that record what they are asked, and a main window opened on a
// temporary folder of the test's choosing.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

#include "app_services.h"
#include "main_form.h"

namespace rastrex::uitest {

// Records every box as "report: <text>" or "ask: <text>" and answers
// questions from a script (No when the script is empty).
class RecordingDialogs final : public Dialogs {
public:
    QStringList shown;
    std::deque<Answer> answers;

    void report(const QString& text) override { shown << QStringLiteral("report: ") + text; }
    Answer ask(const QString& text) override
    {
        shown << QStringLiteral("ask: ") + text;
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A library that binds and records its calls, writing nothing.
class RecordingLibrary final : public ConverterLibrary {
public:
    QList<QByteArray> converted;
    std::int32_t result = 0;

    bool bind(QString*) override { return true; }
    std::int32_t convert(const QByteArray& xwd, const QByteArray&) override
    {
        converted << xwd;
        return result;
    }
};

// A trash that records the paths it is given and moves nothing.
class RecordingTrash final : public Trash {
public:
    QStringList asked;
    Outcome moveToTrash(const QString& path) override
    {
        asked << path;
        return Outcome{false, QStringLiteral("test trash")};
    }
};

// Creates `names` as small files in `folder`.
inline void touch(const QString& folder, const QStringList& names)
{
    for (const QString& name : names) {
        QFile f(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write("x");
    }
}

// The texts of a file list's items, in order.
inline QStringList items(const FileList& list)
{
    QStringList out;
    for (int i = 0; i < list.itemCount(); ++i)
        out << list.itemText(i);
    return out;
}

// The indexes of a file list's selected items.
inline QList<int> selection(const FileList& list)
{
    QList<int> out;
    for (int i = 0; i < list.itemCount(); ++i)
        if (list.selected(i))
            out << i;
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
        form = std::make_unique<MainForm>(AppServices{dialogs, library, trash});
    }

    // The folder the window was opened on.
    QString folder() const { return folder_; }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
    RecordingLibrary library;
    RecordingTrash trash;
    std::unique_ptr<MainForm> form;

private:
    QString previous_;
    QString folder_;
    int opened_ = 0;
};

}  // namespace rastrex::uitest
