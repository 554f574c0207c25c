// ? > Help and F1 as an installer uses them: the program hands the staged LNG/help.pdf to
// the desktop (recorded, not opened, under test), and does nothing when it is missing.

#include "StagedProgram.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int LongMs = 20000;

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
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return Opened(staged).size() == 1; }, LongMs));
    EXPECT_EQ(Opened(staged), QStringList{help});

    ASSERT_TRUE(staged.Run({"click MnuInfoHelp"}));
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return Opened(staged).size() == 2; }, LongMs));
    EXPECT_EQ(Opened(staged), (QStringList{help, help}));
    EXPECT_TRUE(staged.MessageBoxes().isEmpty());
}

TEST(EndToEndHelp, WithoutTheGuideNothingHappensAndNothingIsSaid) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    ASSERT_TRUE(QFile::remove(staged.Path("LNG/help.pdf")));
    ASSERT_TRUE(staged.StartConnected());

    RunToTheEnd(staged, {"key FrmLX735 F1", "click MnuInfoHelp"});
    EXPECT_TRUE(Opened(staged).isEmpty());
    EXPECT_TRUE(staged.MessageBoxes().isEmpty());
    EXPECT_TRUE(staged.ProgramRunning());
}

} // namespace
} // namespace e2e
