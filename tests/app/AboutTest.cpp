// The About box: its version text, when it offers the firmware update, and its buttons,
// with the ECU's identity asked from the simulated ECU.

#include "SimApp.h"
#include "common/Wait.h"

#include "app/FrmStartUp.h"
#include "common/BuildTools.h"
#include "support/FileRoutines.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace app_tests {
namespace {

// Identity texts as the link holds them: 12 digits (version, day, month, year), then
// the descriptor.
QString Identity(const char* digits) {
    return QString::fromLatin1(digits) + "LX735 SEQGAS T468";
}

TEST_F(SimAppFixture, VersionTextNamesReleaseFirmwaresAndSystem) {
    Start();
    comm::ClsComm& link = context->Comm();
    link.FirmwareEcu(Identity("011214042011"));
    link.FirmwareFle(Identity("011315042011"));
    support::WinVerInfo os;
    os.Name = "Debian GNU/Linux 12 (bookworm)";
    os.Version = "6.1.0-18-amd64";
    EXPECT_EQ(app::VersionText(link, os),
              "\nRelease  ver 01.12.82 - 14/04/2011\n"
              "Firmware ver 01.12 - 14/04/2011\n"
              "File          ver 01.13 - 15/04/2011\n"
              "\n"
              "Windows version: Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64");
    os.Build = "7601";
    os.ServicePack = "Service Pack 1";
    EXPECT_TRUE(app::VersionText(link, os).endsWith("6.1.0-18-amd64 build 7601 (Service Pack 1)"));
}

TEST_F(SimAppFixture, UpdateOfferedOnlyForALaterImageOfTheSameVersion) {
    Start();
    comm::ClsComm& link = context->Comm();
    const struct {
        const char* what;
        const char* ecu;
        const char* file;
        quint8 state;
        bool offered;
    } cases[] = {
        {"image a day later", "011214042011", "011215042011", app::COM_READY, true},
        {"same date", "011214042011", "011214042011", app::COM_READY, false},
        {"image older", "011215042011", "011214042011", app::COM_READY, false},
        {"other version", "011214042011", "011315042011", app::COM_READY, false},
        {"link stopped", "011214042011", "011215042011", app::COM_STOP, false},
        {"ECU unknown", "", "011215042011", app::COM_READY, false},
        // Fields that are not decimal digits read as 0: unknown, never offered.
        {"both versions not decimal", "0A1214042011", "0A1215042011", app::COM_READY, false},
        {"ECU day not decimal", "01121F042011", "011215042011", app::COM_READY, false},
        {"image year not decimal", "01121404201A", "011215042011", app::COM_READY, false},
    };
    for (const auto& c : cases) {
        link.FirmwareEcu(*c.ecu ? Identity(c.ecu) : QString());
        link.FirmwareFle(Identity(c.file));
        link.ComState(c.state);
        EXPECT_EQ(app::OfferFirmwareUpdate(link), c.offered) << c.what;
    }
}

class AboutTest : public SimAppFixture {
protected:
    // The About box with the link up (or stopped): the window, its label and buttons.
    app::FrmStartUp& About() {
        window->MnuInfoAbout_Click();
        EXPECT_NE(window->AboutBox(), nullptr);
        return *window->AboutBox();
    }
    QString Text(app::FrmStartUp& box) { return box.findChild<QLabel*>("LblVersioneVal")->text(); }
    QPushButton& Button(app::FrmStartUp& box, const char* name) {
        return *box.findChild<QPushButton*>(name);
    }
    void LaterImage() {
        ASSERT_TRUE(testing_support::RunBuildTool(
            "lx735-make-firmware", {"--date", "15/04/2011", tree.Path("BIN/TarvencoInj468.frh")}));
    }
};

TEST_F(AboutTest, SameIdentityOffersNoUpdate) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    app::FrmStartUp& box = About();
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(Text(box).contains("Firmware ver 01.12 - 14/04/2011\n"));
    EXPECT_TRUE(Text(box).contains("File          ver 01.12 - 14/04/2011\n"));
    EXPECT_TRUE(Button(box, "Command1").isVisible());
    EXPECT_FALSE(Button(box, "CmdUpdateFrm").isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AboutTest, LaterImageOffersABlinkingUpdate) {
    LaterImage();
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    context->Requests.FirmwareOk = true;
    app::FrmStartUp& box = About();
    QPushButton& update = Button(box, "CmdUpdateFrm");
    ASSERT_TRUE(update.isVisible());
    EXPECT_EQ(box.Timer1().interval(), 500);

    const QColor plain = Button(box, "Command1").palette().color(QPalette::Button);
    box.Timer1_Timer();
    EXPECT_EQ(update.palette().color(QPalette::Button), QColor(255, 128, 0));
    box.Timer1_Timer();
    EXPECT_EQ(update.palette().color(QPalette::Button), plain);

    update.click();
    EXPECT_FALSE(context->Requests.FirmwareOk);
    EXPECT_TRUE(context->UpdateRequest);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutTest, ALongSystemLineIsCutToWhatTheBoxShows) {
    Start();
    app::FrmStartUp& box = About();
    support::WinVerInfo os;
    os.Name = "Debian GNU/Linux 12 (bookworm) with a distribution name far too long to show";
    os.Version = "6.1.0-18-amd64-and-a-long-local-kernel-suffix";
    box.ShowVersions(app::VersionText(context->Comm(), os), false);
    const QLabel& label = *box.findChild<QLabel*>("LblVersioneVal");
    ASSERT_GT(label.contentsRect().width(), 0);
    const QFontMetrics metrics(label.font());
    for (const QString& line : Text(box).split('\n')) {
        EXPECT_LE(metrics.horizontalAdvance(line), label.contentsRect().width())
            << line.toStdString();
    }
    EXPECT_TRUE(Text(box).contains("\nWindows version: Debian GNU/Linux"));
    EXPECT_TRUE(Text(box).contains("Release  ver 01.12.82 - 14/04/2011\n"))
        << "short lines stay whole";
}

TEST_F(AboutTest, EscClosesWithoutChangingAnyFlag) {
    LaterImage();
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    context->Requests.FirmwareOk = true;
    app::FrmStartUp& box = About();
    Button(box, "Command1").click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(context->Requests.FirmwareOk);
    EXPECT_FALSE(context->UpdateRequest);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->AboutBox(), nullptr) << "each close unloads it";
}

TEST_F(AboutTest, StoppedLinkShowsNoEcuAndOffersNothing) {
    LaterImage();
    Start();
    window->MnuOffLine_Click();
    ASSERT_TRUE(WaitFor([&] { return context->OffLineMode; }, 60s));
    app::FrmStartUp& box = About();
    EXPECT_TRUE(Text(box).contains("Firmware ver 00.00 - 00000000\n"));
    EXPECT_TRUE(Text(box).contains("File          ver 01.12 - 15/04/2011\n"));
    EXPECT_FALSE(Button(box, "CmdUpdateFrm").isVisible());
}

// An ECU whose version is no decimal number shows it as it stands; nothing breaks.
TEST_F(AboutTest, NonDecimalEcuVersionIsShownAsItStands) {
    ecu.SetIdentity(*sim::Identity::Parse("0A.12 14/04/2011 LX735 SEQGAS T468"));
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    app::FrmStartUp& box = About();
    EXPECT_TRUE(Text(box).contains("Firmware ver 0A.12 - 14/04/2011\n")) << Text(box).toStdString();
    EXPECT_FALSE(Button(box, "CmdUpdateFrm").isVisible());
}

// Without the image the identities cannot be read; the box still opens and the
// pointer is the plain one again.
TEST_F(AboutTest, MissingImageLeavesThePointerRestored) {
    QFile::remove(tree.Path("BIN/TarvencoInj468.frh"));
    Start();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }, 60s));
    app::FrmStartUp& box = About();
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(Button(box, "CmdUpdateFrm").isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace app_tests
