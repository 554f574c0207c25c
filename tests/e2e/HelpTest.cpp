// ? > Help and F1 as an installer uses them: the program hands the staged LNG/help.pdf to
// the desktop (recorded, not opened, under test), and says so when the guide is missing
// or the desktop cannot open it. And a file saved under a bare name, found again by Load.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

// The files the program asked the desktop to open, as canonical paths.
QStringList Opened(const StagedProgram& staged) {
    QStringList files;
    for (const ProgramEvent& e : staged.Events()) {
        if (e.kind == "EVENT" && e.text.startsWith("open ")) {
            files << QFileInfo(QUrl(e.text.mid(5)).toLocalFile()).canonicalFilePath();
        }
    }
    return files;
}

// Runs the lines, then reads the window: the queue starts a line only once the one before
// has returned, so the help's handler is over when the read is recorded.
void RunToTheEnd(StagedProgram& staged, const QStringList& lines) {
    ASSERT_TRUE(staged.Run(lines));
    ASSERT_TRUE(staged.ReadControl("FrmLX735", LongMs).has_value());
}

TEST(EndToEndHelp, F1AndTheMenuItemOpenTheShippedGuide) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    const QString help = QFileInfo(staged.Path("LNG/help.pdf")).canonicalFilePath();
    ASSERT_FALSE(help.isEmpty()) << "the staged tree ships LNG/help.pdf";
    QFile pdf(help);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    ASSERT_TRUE(staged.StartConnected());

    ASSERT_TRUE(staged.Run({"key FrmLX735 F1"}));
    ASSERT_TRUE(WaitFor([&] { return Opened(staged).size() == 1; }, LongMs * 1ms));
    EXPECT_EQ(Opened(staged), QStringList{help});

    ASSERT_TRUE(staged.Run({"click MnuInfoHelp"}));
    ASSERT_TRUE(WaitFor([&] { return Opened(staged).size() == 2; }, LongMs * 1ms));
    EXPECT_EQ(Opened(staged), (QStringList{help, help}));
    EXPECT_TRUE(staged.MessageBoxes().isEmpty());
}

// The boxes that name the guide.
qsizetype BoxesNaming(const StagedProgram& staged, const QString& help, const QString& words) {
    qsizetype count = 0;
    for (const QString& box : staged.MessageBoxes()) {
        count += box.contains(help) && box.contains(words);
    }
    return count;
}

TEST(EndToEndHelp, WithoutTheGuideEachPressSaysItIsMissing) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    const QString help = staged.Path("LNG/help.pdf");
    ASSERT_TRUE(QFile::remove(help));
    ASSERT_TRUE(staged.StartConnected());

    RunToTheEnd(staged, {"key FrmLX735 F1", "click MnuInfoHelp"});
    ASSERT_TRUE(
        WaitFor([&] { return BoxesNaming(staged, help, "cannot be found") == 2; }, LongMs * 1ms))
        << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(Opened(staged).isEmpty());
    EXPECT_TRUE(staged.ProgramRunning());
}

// The desktop itself is asked, with no opener on its PATH: its refusal is told, each press.
TEST(EndToEndHelp, WhenTheDesktopCannotOpenTheGuideEachPressSaysSo) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    const QString help = staged.Path("LNG/help.pdf");
    ASSERT_TRUE(QFile::exists(help));
    staged.SetSwitch("LX735_TEST_REAL_DESKTOP", "1");
    staged.SetSwitch("PATH", staged.Path("no-opener"));
    ASSERT_TRUE(staged.StartConnected());

    ASSERT_TRUE(staged.Run({"key FrmLX735 F1"}));
    ASSERT_TRUE(WaitFor([&] { return BoxesNaming(staged, help, "PDF viewer") == 1; }, LongMs * 1ms))
        << staged.MessageBoxes().join('\n').toStdString();
    ASSERT_TRUE(staged.Run({"click MnuInfoHelp"}));
    ASSERT_TRUE(WaitFor([&] { return BoxesNaming(staged, help, "could not be opened") == 2; },
                        LongMs * 1ms))
        << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(Opened(staged).isEmpty()) << "the recorder stood aside";
}

// A parameter file saved as "golf" is written as golf.var, the name Load's filter lists.
TEST(EndToEndSavedFiles, ANameTypedWithoutItsExtensionIsSavedWithIt) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    ASSERT_TRUE(staged.StartConnected());
    ASSERT_TRUE(WaitForSettingsRead(staged, LongMs));

    const QString bare = staged.Path("golf");
    ASSERT_TRUE(staged.Run({"file \"" + bare + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(bare + ".var"); }, LongMs * 1ms));
    EXPECT_FALSE(QFile::exists(bare));
    EXPECT_TRUE(staged.Read("golf.var").startsWith("[INFO]"));
}

} // namespace
} // namespace e2e
