// Helpers shared by the window program's tests: scripted message boxes, a
// private trash, a conversion library that counts its calls, and dumps.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

#include "converter_library.h"
#include "dialogs.h"
#include "runtime_converter_library.h"
#include "trash.h"
#include "xwd_recipe.h"

namespace rastrex::test {

// Message boxes that answer from a script and remember what they showed,
// as "report: <text>" and "ask: <text>".
class ScriptedDialogs final : public Dialogs {
public:
    std::deque<Answer> answers;
    QStringList shown;
    std::function<void(const QString& text)> onShow;  // runs while a box is up

    void report(const QString& text) override
    {
        shown << QStringLiteral("report: ") + text;
        if (onShow)
            onShow(text);
    }
    Answer ask(const QString& text) override
    {
        shown << QStringLiteral("ask: ") + text;
        if (onShow)
            onShow(text);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return Answer::No;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// The real library RASTREX, loaded from beside the test executable.
inline RuntimeConverterLibrary& realLibrary()
{
    static RuntimeConverterLibrary library(
        QStringLiteral("libRASTREX.so"),
        {QCoreApplication::applicationDirPath() + QStringLiteral("/libRASTREX.so")});
    return library;
}

// Passes calls on to another library and counts them.
class CountingLibrary final : public ConverterLibrary {
public:
    explicit CountingLibrary(ConverterLibrary& inner) : inner_(inner) {}
    int binds = 0;
    QList<QByteArray> converted;  // source paths, in call order
    bool bind(QString* reason) override
    {
        ++binds;
        return inner_.bind(reason);
    }
    std::int32_t convert(const QByteArray& xwd, const QByteArray& bmp) override
    {
        converted << xwd;
        return inner_.convert(xwd, bmp);
    }

private:
    ConverterLibrary& inner_;
};

// A library that binds and returns a fixed result without writing anything.
class FixedResultLibrary final : public ConverterLibrary {
public:
    explicit FixedResultLibrary(std::int32_t result) : result_(result) {}
    bool bind(QString*) override { return true; }
    std::int32_t convert(const QByteArray&, const QByteArray&) override { return result_; }

private:
    std::int32_t result_;
};

// The private trash that core_test_main and the widget tests set up: HOME
// and XDG_DATA_HOME inside one temporary folder.
inline QString privateTrashFiles()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files");
}

inline QStringList trashedNames()
{
    return QDir(privateTrashFiles()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Empties the private trash between tests.
inline void emptyPrivateTrash()
{
    QDir(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash")).removeRecursively();
}

// Points HOME and XDG_DATA_HOME into `home` (kept alive by the caller).
inline void usePrivateTrash(const QTemporaryDir& home)
{
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toLocal8Bit());
    QDir().mkpath(home.path() + QStringLiteral("/.local/share"));
}

// A dump whose picture is told apart by `seed`.
inline Bytes dumpBytes(std::uint32_t width, std::uint32_t height, std::uint8_t seed = 0)
{
    return canonicalDump(width, height, [seed](std::uint32_t x, std::uint32_t y) {
               Rgb c = patternPixel(x, y);
               c.r = static_cast<std::uint8_t>(c.r + seed);
               return c;
           }).bytes();
}

inline void writeDump(const QString& path, std::uint32_t width = 3, std::uint32_t height = 2,
                      std::uint8_t seed = 0)
{
    writeFile(path.toStdString(), dumpBytes(width, height, seed));
}

// True when the bitmap at `bmpPath` shows the picture writeDump made with
// the same arguments.
inline bool isBitmapOf(const QString& bmpPath, std::uint32_t width = 3, std::uint32_t height = 2,
                       std::uint8_t seed = 0)
{
    try {
        const Bitmap bmp = parseBmp(readFile(bmpPath.toStdString()));
        if (bmp.width != width || bmp.height != height)
            return false;
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                Rgb c = patternPixel(x, y);
                c.r = static_cast<std::uint8_t>(c.r + seed);
                if (!(bmp.at(x, y) == c))
                    return false;
            }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

inline QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeText(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

}  // namespace rastrex::test
