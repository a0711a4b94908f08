#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

#include "app_test_support.h"
#include "single_conversion.h"

namespace rastrex {
namespace {

using Answer = Dialogs::Answer;
using test::ScriptedDialogs;

TEST(BmpPathFor, ReplacesTheExtensionOfTheFileNameOnly)
{
    const std::pair<QString, QString> cases[] = {
        {"/img/a.xwd", "/img/a.bmp"},
        {"/img/A.XWD", "/img/A.BMP"},
        {"/img/a.Xwd", "/img/a.Xwd.BMP"},
        {"/img/a.xwd.xwd", "/img/a.bmp"},
        {"/img/b.XWD.xwd", "/img/b.XWD.bmp"},
        {"/img/dump", "/img/dump.BMP"},
        // A folder named like a dump never moves the bitmap out of the folder.
        {"/data/shots.xwd/a.xwd", "/data/shots.xwd/a.bmp"},
        {"/data/shots.xwd/dump", "/data/shots.xwd/dump.BMP"},
        {"/写真/画面.xwd", "/写真/画面.bmp"},
    };
    for (const auto& [source, target] : cases)
        EXPECT_EQ(bmpPathFor(source), target) << source.toStdString();
}

// One call of doMain in a fresh folder holding a.xwd (unless missing), and
// perhaps an old a.bmp, with the real library and the private trash.
struct Scenario {
    const char* name;
    bool sourceExists;
    bool targetExists;
    int check1;
    int check3;
    std::deque<Answer> answers;
    ConversionOutcome outcome;
    bool askedOverwrite;
    bool askedTrash;
    bool targetWritten;   // a.bmp is now the picture of a.xwd
    bool sourceTrashed;
};

class DoMainTest : public testing::TestWithParam<Scenario> {
protected:
    void SetUp() override { test::emptyPrivateTrash(); }
};

TEST_P(DoMainTest, FollowsTheOptionsAndAnswers)
{
    const Scenario& s = GetParam();
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("a.xwd"));
    const QString target = dir.filePath(QStringLiteral("a.bmp"));
    if (s.sourceExists)
        test::writeDump(source);
    if (s.targetExists)
        test::writeText(target, "old bitmap");

    ScriptedDialogs dialogs;
    dialogs.answers = s.answers;
    test::CountingLibrary library(test::realLibrary());
    ConversionContext context{dialogs, library, systemTrash(), [&] { return s.check1; },
                              [&] { return s.check3; }};

    EXPECT_EQ(doMain(source, context), s.outcome);

    QStringList expected;
    if (!s.sourceExists)
        expected << "report: " + source + " は \r存在しねえぞ。";
    if (s.askedOverwrite)
        expected << "ask: " + target + " を\r上書きするよ？";
    if (s.askedTrash)
        expected << "ask: " + source + " を\rごみ箱に移動するよ？";
    EXPECT_EQ(dialogs.shown, expected);
    EXPECT_TRUE(dialogs.answers.empty());
    EXPECT_EQ(test::isBitmapOf(target), s.targetWritten);
    if (s.targetExists && !s.targetWritten) {
        EXPECT_EQ(test::contents(target), "old bitmap");
    }
    EXPECT_EQ(library.converted.size(), s.targetWritten ? 1 : 0);
    EXPECT_EQ(test::trashedNames(), s.sourceTrashed ? QStringList{"a.xwd"} : QStringList{});
    EXPECT_EQ(QFileInfo::exists(source), s.sourceExists && !s.sourceTrashed);
}

constexpr int kOff = 0, kOn = 1, kGreyed = 2;
using O = ConversionOutcome;

INSTANTIATE_TEST_SUITE_P(
    Options, DoMainTest,
    testing::Values(
        Scenario{"MissingSourceOnlyReported", false, true, kOn, kOn, {}, O::SourceMissing, false, false, false, false},
        Scenario{"OverwriteDeclinedKeepsAll", true, true, kOn, kOn, {Answer::No}, O::Declined, true, false, false, false},
        Scenario{"OverwriteAcceptedThenTrashed", true, true, kOn, kOn, {Answer::Yes, Answer::Yes}, O::Converted, true, true, true, true},
        Scenario{"OverwriteAcceptedTrashDeclined", true, true, kOn, kOn, {Answer::Yes, Answer::No}, O::Converted, true, true, true, false},
        Scenario{"OverwriteAcceptedNoDelete", true, true, kOn, kOff, {Answer::Yes}, O::Converted, true, false, true, false},
        Scenario{"NoTargetNoQuestion", true, false, kOn, kOff, {}, O::Converted, false, false, true, false},
        Scenario{"UncheckedOverwritesSilently", true, true, kOff, kOff, {}, O::Converted, false, false, true, false},
        Scenario{"GreyedCountsAsOff", true, true, kGreyed, kGreyed, {}, O::Converted, false, false, true, false}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

struct FailureCase {
    std::int32_t code;
    QString reason;
};

// A failed conversion is reported with its reason and keeps the source, even
// when it was to be deleted.
TEST(DoMain, FailedConversionIsReportedAndKeepsTheSource)
{
    const FailureCase cases[] = {
        {2, "XWD ファイルを開けない。"},
        {3, "BMP ファイルを書き込めない。"},
        {4, "XWD ファイルが壊れているか、空っぽだ。"},
        {5, "画像が大きすぎる。"},
        {7, "不明なエラー（7）。"},
    };
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("a.xwd"));
    test::writeDump(source);
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        test::FixedResultLibrary library(c.code);
        ConversionContext context{dialogs, library, systemTrash(), [] { return 1; }, [] { return 1; }};
        EXPECT_EQ(doMain(source, context), ConversionOutcome::Failed);
        EXPECT_EQ(dialogs.shown, QStringList{"report: " + source + " を\r変換できなかったぞ。" + c.reason});
        EXPECT_TRUE(QFileInfo::exists(source));
    }
}

TEST(DoMain, DamagedDumpThroughTheRealLibraryKeepsTheSource)
{
    test::emptyPrivateTrash();
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("a.xwd"));
    test::writeText(source, "too short for a header");
    ScriptedDialogs dialogs;
    ConversionContext context{dialogs, test::realLibrary(), systemTrash(), [] { return 1; },
                              [] { return 1; }};
    EXPECT_EQ(doMain(source, context), ConversionOutcome::Failed);
    EXPECT_EQ(dialogs.shown,
              QStringList{"report: " + source + " を\r変換できなかったぞ。XWD ファイルが壊れているか、空っぽだ。"});
    EXPECT_TRUE(QFileInfo::exists(source));
    EXPECT_TRUE(test::trashedNames().isEmpty());
}

struct BindCase {
    const char* name;
    QString candidate;
    QString reasonPart;  // the loader's words that must reach the user
};

TEST(RuntimeConverterLibrary, AFailedBindNamesTheLibraryAndTheLoadersReason)
{
    const BindCase cases[] = {
        {"missing", "/nonexistent/libRASTREX.so", "/nonexistent/libRASTREX.so"},
        {"lacks fnRastrex", "libm.so.6", "fnRastrex"},
    };
    for (const auto& c : cases) {
        RuntimeConverterLibrary library(QStringLiteral("libRASTREX.so"), {c.candidate});
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("a.xwd"));
        test::writeDump(source);
        ScriptedDialogs dialogs;
        ConversionContext context{dialogs, library, systemTrash(), [] { return 0; }, [] { return 1; }};
        EXPECT_EQ(doMain(source, context), ConversionOutcome::LibraryMissing) << c.name;
        ASSERT_EQ(dialogs.shown.size(), 1) << c.name;
        EXPECT_TRUE(dialogs.shown[0].startsWith("report: 変換ライブラリ libRASTREX.so を読み込めなかったぞ。\r"))
            << dialogs.shown[0].toStdString();
        EXPECT_TRUE(dialogs.shown[0].contains(c.reasonPart)) << dialogs.shown[0].toStdString();
        EXPECT_TRUE(QFileInfo::exists(source));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a.bmp"))));
    }
}

TEST(RuntimeConverterLibrary, TheFirstLoadableCandidateIsKept)
{
    RuntimeConverterLibrary library(
        QStringLiteral("libRASTREX.so"),
        {"/nonexistent/libRASTREX.so", QCoreApplication::applicationDirPath() + "/libRASTREX.so"});
    QString reason;
    ASSERT_TRUE(library.bind(&reason));
    ASSERT_TRUE(library.bind(&reason));
    QTemporaryDir dir;
    test::writeDump(dir.filePath(QStringLiteral("a.xwd")), 5, 4, 9);
    EXPECT_EQ(library.convert(QFile::encodeName(dir.filePath("a.xwd")), QFile::encodeName(dir.filePath("a.bmp"))), 0);
    EXPECT_TRUE(test::isBitmapOf(dir.filePath(QStringLiteral("a.bmp")), 5, 4, 9));
}

}  // namespace
}  // namespace rastrex
