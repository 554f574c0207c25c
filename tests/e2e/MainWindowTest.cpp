// The main window as a process: offscreen from a staged tree, and on a real X server in
// each shipped language. Its title and tab captions are read with "read FrmLX735", and
// it is closed with "close", as its close box does.

#include "StagedProgram.h"
#include "common/Wait.h"
#include "support/Lingue.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString Release = "Release  ver 01.12.82 - 14/04/2011";

// Entry 0 of a language of the staged dictionary: the program's title.
QString AppTitle(const StagedProgram& staged, qint16 language) {
    support::ClsLingue lingue;
    lingue.PathDizionario(staged.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(staged.Path("LNG/M3.con"));
    lingue.LoadDizionario();
    return lingue.VoceDizionario(language, 0);
}

struct Shown {
    QString title;
    QStringList tabs;
};

// Reads the running program's window title and visible tab captions.
std::optional<Shown> AskWindow(StagedProgram& staged) {
    const auto fields = staged.ReadControl("FrmLX735", LongMs);
    if (!fields) {
        return std::nullopt;
    }
    return Shown{fields->value("title"), fields->value("tabs").split('|')};
}

TEST(EndToEndMainWindow, OffscreenItStaysUpTitledLogsItsHeaderAndEndsCleanlyAtAClose) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    ASSERT_TRUE(staged.StartProgram());

    ASSERT_TRUE(
        WaitFor([&] { return staged.Read("BIN/RxTx.TXT").contains("\r\n"); }, LongMs * 1ms));
    const QString header = QString::fromLatin1(staged.Read("BIN/RxTx.TXT")).section("\r\n", 0, 0);
    const QString title = AppTitle(staged, 0);
    ASSERT_FALSE(title.isEmpty());
    const QRegularExpression headerForm("^\"\\d+ O " + QRegularExpression::escape(Release) + " " +
                                        QRegularExpression::escape(title) + " \\S.*\"$");
    EXPECT_TRUE(headerForm.match(header).hasMatch()) << header.toStdString();

    const std::optional<Shown> shown = AskWindow(staged);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->title, title + " - " + Release);

    // It keeps running while the link tries its port (COM1 leads nowhere here).
    ASSERT_TRUE(WaitFor([&] { return staged.LogLines().size() >= 12; }, LongMs * 1ms));
    EXPECT_TRUE(staged.ProgramRunning());

    ASSERT_TRUE(staged.SendCommand("close"));
    EXPECT_EQ(staged.WaitForProgramEnd(LongMs), std::optional<int>(0));
    EXPECT_TRUE(staged.MessageBoxes().isEmpty());
}

TEST(EndToEndMainWindow, OnAnXServerTheTabsReadInTheLanguageSavedForTheStart) {
    XServer x;
    ASSERT_TRUE(x.Installed()) << "Xvfb is not installed (scripts/install-deps.sh)";
    ASSERT_FALSE(x.Display().isEmpty()) << "Xvfb did not come up";
    const struct {
        qint16 language;
        QStringList tabs;
    } cases[] = {
        {0,
         {"General - F2", "Configuration - F3", "Calibration - F5", "Modeling - F6", "Map - F8"}},
        {1,
         {"Generale - F2", "Configurazione - F3", "Taratura - F5", "Modellazione - F6",
          "Mappa - F8"}},
    };
    for (const auto& c : cases) {
        StagedProgram staged;
        ASSERT_TRUE(staged.Valid());
        QFile con(staged.Path("LNG/M3.con")); // what the Language menu leaves for the next start
        ASSERT_TRUE(con.open(QIODevice::WriteOnly | QIODevice::Truncate));
        con.write(QByteArray::number(c.language) + "\r\n");
        con.close();
        ASSERT_TRUE(staged.StartProgram(x.Display()));

        const std::optional<Shown> shown = AskWindow(staged);
        ASSERT_TRUE(shown.has_value()) << c.language;
        EXPECT_EQ(shown->title, AppTitle(staged, c.language) + " - " + Release);
        EXPECT_EQ(shown->tabs, c.tabs);

        ASSERT_TRUE(staged.SendCommand("close"));
        EXPECT_EQ(staged.WaitForProgramEnd(LongMs), std::optional<int>(0)) << c.language;
        EXPECT_TRUE(staged.MessageBoxes().isEmpty()) << c.language;
    }
}

} // namespace
} // namespace e2e
