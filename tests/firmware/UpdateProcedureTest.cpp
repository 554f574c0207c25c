// The update window's procedure against the simulated ECU on simulated time.

#include "UpdateRig.h"
#include "common/Wait.h"

#include "common/BuildTools.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/ParamFile.h"
#include "link/Frames.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace firmware_test {
namespace {

using namespace comm;

constexpr int ImageBlocks = 33; // 4 KiB of code and the identity block

int Count(const QList<quint8>& commands, quint8 command) {
    return static_cast<int>(commands.count(command));
}

// The commands in this order, others between them allowed.
bool InOrder(const QList<quint8>& commands, const QList<quint8>& expected) {
    qsizetype at = 0;
    for (const quint8 c : expected) {
        at = commands.indexOf(c, at);
        if (at < 0) {
            return false;
        }
        ++at;
    }
    return true;
}

const QStringList AllPhases = {"Inizialization ", "Erase Flash ", "Write Memory", "Write End",
                               "Configuration ",  "Save Flash ",  "End UpGrade "};

void ExpectParametersBack(UpdateRig& t) {
    const sim::Memory before = UpdateRig::Installation();
    for (const sim::Memory* m : {&t.rig.ecu.Ram(), &t.rig.ecu.Saved()}) {
        EXPECT_EQ(m->zone3, before.zone3);
        EXPECT_EQ(m->emulation, before.emulation);
        EXPECT_EQ(m->compGasTemp, before.compGasTemp);
        EXPECT_EQ(m->compSmag, before.compSmag);
        EXPECT_EQ(m->correction, before.correction);
        EXPECT_EQ(m->testRecord, before.testRecord);
        EXPECT_EQ(m->zone2.mid(sim::kZ2HoursGas, 8), before.zone2.mid(sim::kZ2HoursGas, 8))
            << "service hours";
        EXPECT_EQ(static_cast<quint8>(m->zone2[sim::kZ2Flags]), 0x12) << "bit 0 cleared";
    }
}

// After the erase a failure says where the installation's parameters are.
QString ComErrorWithBackup(UpdateRig& t) {
    return "MsgComError\r\n\r\nThe installation's parameters are in " +
           QDir::toNativeSeparators(QDir::cleanPath(t.rig.tree.Path("BIN/UpdateBackup.var"))) +
           ". To send them to the ECU: File > Load, choose that file.";
}

TEST(UpdateProcedure, TwoPressStartThenTheWholeUpdateKeepsTheParameters) {
    UpdateRig t;
    EXPECT_EQ(t.Text("LblRelEcu_Val"), "01.39 - 14/04/2010");
    EXPECT_EQ(t.Text("LblRelFle_Val"), "01.40 - 14/04/2010");
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate04");

    t.Ready(false);
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "\r\nMsgConfirm");
    EXPECT_EQ(t.window->UpdateState(), 0);
    t.Ready(true);
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate05");
    EXPECT_EQ(t.window->UpdateState(), 1);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_SET_ECU_PRG), 0);

    // Esc pressed twice while the procedure runs changes nothing.
    int escPresses = 0;
    const auto pump = t.rig.time.onPump;
    t.rig.time.onPump = [&] {
        pump();
        if (t.window->Busy() && escPresses == 0 && t.rig.Received(CMD_READ_MEM3) > 0) {
            escPresses = 2;
            t.Esc();
            t.Esc();
        }
    };
    t.Next();
    t.rig.time.onPump = pump;
    ASSERT_EQ(escPresses, 2);

    EXPECT_EQ(t.window->PhaseLog(), AllPhases);
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_EQ(t.window->UpdateState(), 4);
    EXPECT_TRUE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_FALSE(t.Shown("CmdUpdate"));
    EXPECT_TRUE(t.Shown("CmdEsc"));
    EXPECT_FALSE(t.Shown("LblBackBar"));
    EXPECT_EQ(t.Text("LblRelEcu_Val"), "01.40 - 14/04/2010");
    EXPECT_TRUE(t.boxes.boxes.empty());

    const QList<quint8> sent = t.rig.Commands();
    EXPECT_TRUE(InOrder(sent, {CMD_READ_MEM2,
                               CMD_READ_MEM3,
                               CMD_READ_EMUS,
                               CMD_READ_TBL_COR,
                               CMD_READ_COMP_RID_TEMP,
                               CMD_READ_CMP_SMAG,
                               CMD_READ_DCOL_FL,
                               CMD_SET_ECU_PRG,
                               CMD_ERASE_FLASH,
                               CMD_WRT_FLASH_ZONE,
                               CMD_WRT_FLASH_END,
                               CMD_READ_FIRMWARE,
                               CMD_WRT_MEM2,
                               CMD_WRT_MEM3,
                               CMD_WRIT_EMUS,
                               CMD_WRT_TBL_COR,
                               CMD_WRITE_COMP_GAS_TEMP,
                               CMD_WRITE_CMP_SMAG,
                               CMD_WRIT_DCOL,
                               CMD_CANC_SMPL_BNZ,
                               CMD_CANC_SMPL_GAS,
                               CMD_CANC_ERR,
                               CMD_SAVE_FLASH}));
    EXPECT_EQ(Count(sent, CMD_WRT_FLASH_ZONE), ImageBlocks) << "blank blocks are not sent";
    EXPECT_EQ(t.FlashBytes(), t.ImageBytes());
    EXPECT_EQ(t.rig.ecu.Mode(), sim::EcuMode::Run);
    ExpectParametersBack(t);

    // The read-back was kept as a parameter file before anything was erased.
    QString error;
    const auto backup =
        ecudata::ReadParamFile(t.rig.tree.Path("BIN/UpdateBackup.var"), t.rig.ctx.Scale, error);
    ASSERT_TRUE(backup) << error.toStdString();
    EXPECT_EQ(backup->mem3, UpdateRig::Installation().zone3);
    EXPECT_EQ(backup->emula, UpdateRig::Installation().emulation);

    t.Esc();
    EXPECT_EQ(t.window->result(), QDialog::Accepted);
    EXPECT_TRUE(t.rig.ctx.Requests.FirmwareOk);
}

TEST(UpdateProcedure, EscTwiceOnTheFirstScreenLeavesWithoutProgramming) {
    UpdateRig t;
    t.Esc();
    EXPECT_EQ(t.Text("LblMsg"), "\r\nMsgUpdate01\r\n\r\n");
    EXPECT_EQ(t.window->UpdateState(), 5);
    EXPECT_FALSE(t.Shown("CmdUpdate"));
    t.Esc();
    EXPECT_EQ(t.window->result(), QDialog::Rejected);
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_TRUE(t.rig.Commands().isEmpty());
}

// The title bar's close box does what Esc does; the Esc key does nothing.
TEST(UpdateProcedure, CloseBoxActsAsEsc) {
    UpdateRig t;
    t.window->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(t.window.get(), &escape);
    EXPECT_TRUE(t.window->isVisible());
    EXPECT_EQ(t.window->UpdateState(), 0);
    t.window->close();
    EXPECT_EQ(t.window->UpdateState(), 5);
    EXPECT_EQ(t.Text("LblMsg"), "\r\nMsgUpdate01\r\n\r\n");
    EXPECT_TRUE(t.window->isVisible());
    t.window->close();
    EXPECT_FALSE(t.window->isVisible());
    EXPECT_EQ(t.window->result(), QDialog::Rejected);
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
}

TEST(UpdateProcedure, EngineStartedBeforeTheSecondPressFallsBack) {
    UpdateRig t;
    t.Ready(true);
    t.Next();
    t.Ready(false);
    t.Next();
    EXPECT_EQ(t.window->UpdateState(), 0);
    EXPECT_EQ(t.Text("LblMsg"), "\r\nMsgConfirm");
    EXPECT_TRUE(t.Shown("CmdUpdate"));
    EXPECT_TRUE(t.Shown("CmdEsc"));
    EXPECT_EQ(Count(t.rig.Commands(), CMD_READ_MEM2), 0);
}

// A press taken while a link step waits (as inside the restart's pause) is carried out
// once the step has ended: run under it, the procedure would hold the link still.
TEST(UpdateProcedure, PressInsideALinkStepWaitsForItsEnd) {
    UpdateRig t;
    t.Ready(true);
    ClsComm& link = t.rig.ctx.Comm();
    link.Stepping(true);
    t.Next();
    EXPECT_FALSE(t.window->findChild<QPushButton*>("CmdUpdate")->isEnabled());
    EXPECT_EQ(t.window->UpdateState(), 0);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_READ_MEM1), 0);
    link.Stepping(false);
    // The press comes back on a timer of the window system's clock, which a wait on the
    // simulated clock leaves to the event loop: the look lets that run too.
    ASSERT_TRUE(WaitFor(
        [&] {
            QCoreApplication::processEvents();
            return t.window->UpdateState() == 1;
        },
        60s));
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate05");
    EXPECT_TRUE(t.window->findChild<QPushButton*>("CmdUpdate")->isEnabled());
}

TEST(UpdateProcedure, SilentEcuAtTheFirstPressAsksToLeave) {
    UpdateRig t;
    t.Silence(CMD_READ_MEM1, sim::kForever);
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "\r\nMsgUpdate01\r\n\r\n");
    EXPECT_EQ(t.window->UpdateState(), 5);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_SET_ECU_PRG), 0);
}

// A read-back that fails three times stops before anything in the ECU changes: never
// write back data that were never read.
TEST(UpdateProcedure, FailedReadBackStopsBeforeProgramming) {
    for (const quint8 command :
         {CMD_READ_MEM2, CMD_READ_EMUS, CMD_READ_TBL_COR, CMD_READ_CMP_SMAG, CMD_READ_DCOL_FL}) {
        SCOPED_TRACE(command);
        UpdateRig t;
        t.Ready(true);
        t.Next();
        t.Silence(command, sim::kForever);
        t.Next();
        EXPECT_EQ(t.Text("LblMsg"), "MsgComError");
        EXPECT_FALSE(t.Shown("CmdUpdate"));
        EXPECT_TRUE(t.Shown("CmdEsc"));
        EXPECT_EQ(Count(t.rig.Commands(), CMD_SET_ECU_PRG), 0);
        EXPECT_EQ(Count(t.rig.Commands(), command), 3 * t.SendsPerTry());
        t.Esc();
        t.Esc();
        EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    }
}

// The line dies for eight seconds at the 11th block: the next try waits for the link and
// the block is written.
TEST(UpdateProcedure, LinkLostMidProgrammingIsWaitedFor) {
    UpdateRig t;
    t.Ready(true);
    t.Next();
    t.HangUp(CMD_WRT_FLASH_ZONE, 8e6, 10);
    t.Next();
    EXPECT_TRUE(t.boxes.boxes.empty());
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_EQ(t.FlashBytes(), t.ImageBytes());
    ExpectParametersBack(t);
}

// The 11th block fails three tries with the link alive: Yes leaves it unwritten, and as
// the link restarted meanwhile the ECU is no longer known to take blocks, so the loop
// stops. Next enters programming mode again and writes the whole flash.
TEST(UpdateProcedure, BlockFailingThreeTimesIsReportedAndNextWritesTheFlashAgain) {
    UpdateRig t(support::vbYes);
    t.Ready(true);
    t.Next();
    t.Silence(CMD_WRT_FLASH_ZONE, 3 * t.SendsPerTry(), 10);
    t.Next();
    ASSERT_EQ(t.boxes.boxes.size(), 1u);
    EXPECT_EQ(t.boxes.boxes[0].prompt, "COMUNICATION ERROR, SEND MESSAGE\r\n\r\nYES TO CONTINUE!");
    EXPECT_EQ(t.boxes.boxes[0].style, support::vbYesNo);
    EXPECT_EQ(t.boxes.boxes[0].title, "FrmUpdate - ScaricaFirmwareDefaultParametri ");
    EXPECT_EQ(t.Text("LblMsg"),
              QString("MsgComError\r\n\r\nBlocks not written: %1").arg(ImageBlocks - 10));
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_TRUE(t.Shown("CmdUpdate"));
    EXPECT_TRUE(t.Shown("CmdEsc"));
    EXPECT_EQ(Count(t.rig.Commands(), CMD_WRT_FLASH_END), 0) << "no restart on a partial image";
    EXPECT_EQ(Count(t.rig.Commands(), CMD_WRT_FLASH_ZONE), 10 + 3 * t.SendsPerTry());

    t.rig.ecu.ClearCommandLog();
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_TRUE(t.rig.ctx.Requests.FirmwareOk);
    const QList<quint8> again = t.rig.Commands();
    EXPECT_TRUE(InOrder(again, {CMD_SET_ECU_PRG, CMD_ERASE_FLASH, CMD_WRT_FLASH_ZONE}));
    EXPECT_EQ(Count(again, CMD_READ_MEM2), 0) << "the parameters were read before the erase";
    EXPECT_EQ(Count(again, CMD_ERASE_FLASH), 1);
    EXPECT_EQ(Count(again, CMD_WRT_FLASH_ZONE), ImageBlocks);
    EXPECT_EQ(t.FlashBytes(), t.ImageBytes());
    ExpectParametersBack(t);
}

// The ECU restarts at the 11th block: its line is lost for a moment and it comes back in
// run mode, refusing blocks. One question; then Next puts it into programming mode again
// (the link's restart cleared the mode the program believed) and the update completes.
TEST(UpdateProcedure, EcuRestartedMidProgrammingIsProgrammedAgainByNext) {
    UpdateRig t(support::vbYes);
    t.Ready(true);
    t.Next();
    t.HangUp(CMD_WRT_FLASH_ZONE, 2e6, 10);
    const auto pump = t.rig.time.onPump;
    t.rig.time.onPump = [&] {
        pump();
        if (t.rig.ecu.PendingFaults() == 0 && t.rig.ecu.Mode() == sim::EcuMode::FlashWrt) {
            t.rig.ecu.SetMode(sim::EcuMode::Run); // the hang-up has happened: the restart
        }
    };
    t.Next();
    t.rig.time.onPump = pump;
    EXPECT_EQ(t.boxes.boxes.size(), 1u);
    EXPECT_EQ(t.Text("LblMsg"),
              QString("MsgComError\r\n\r\nBlocks not written: %1").arg(ImageBlocks - 10));
    ASSERT_TRUE(t.Shown("CmdUpdate"));

    t.rig.ecu.ClearCommandLog();
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_TRUE(InOrder(t.rig.Commands(),
                        {CMD_SET_ECU_PRG, CMD_ERASE_FLASH, CMD_WRT_FLASH_ZONE, CMD_WRT_FLASH_END}));
    EXPECT_EQ(t.FlashBytes(), t.ImageBytes());
    EXPECT_EQ(t.rig.ecu.Mode(), sim::EcuMode::Run);
    ExpectParametersBack(t);
    EXPECT_EQ(t.boxes.boxes.size(), 1u);
}

// What the window shows while the block writes wait for the link.
struct LinkDownLook {
    bool seen = false;
    bool escShown = false;
    bool stripShown = true;
    qsizetype commandsSeen = 0; // the ECU's command log when it was last seen
};

// Arms the update, lets the line die for downUsec at the 11th block and presses Next,
// watching the window at every turn of the event loop; act runs while the link is down.
LinkDownLook NextWithTheLineDead(UpdateRig& t, double downUsec,
                                 const std::function<void()>& act = {}) {
    t.Ready(true);
    t.Next();
    t.HangUp(CMD_WRT_FLASH_ZONE, downUsec, 10);
    LinkDownLook look;
    const auto pump = t.rig.time.onPump;
    t.rig.time.onPump = [&] {
        pump();
        if (t.Text("LblMsg").startsWith("The link to the ECU is down")) {
            look = {true, t.Shown("CmdEsc"), t.Shown("LblBackBar"), t.rig.ecu.CommandLog().size()};
            if (act) {
                act();
            }
        }
    };
    t.Next();
    t.rig.time.onPump = pump;
    return look;
}

// The line stays dead for a minute at the 11th block: one question, the window says the
// link is down while it waits, and once it is back the update goes on from that block.
TEST(UpdateProcedure, DeadLinkAsksOnceAndGoesOnFromTheFirstBlockNotWritten) {
    UpdateRig t(support::vbYes);
    const LinkDownLook look = NextWithTheLineDead(t, 60e6);
    EXPECT_EQ(t.boxes.boxes.size(), 1u) << "asked once";
    ASSERT_TRUE(look.seen);
    EXPECT_TRUE(look.escShown);
    EXPECT_FALSE(look.stripShown);
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_EQ(t.FlashBytes(), t.ImageBytes());
    ExpectParametersBack(t);
    const QList<quint8> all = t.rig.ecu.CommandLog();
    EXPECT_EQ(Count(all, CMD_ERASE_FLASH), 1);
    EXPECT_EQ(Count(all.mid(look.commandsSeen), CMD_WRT_FLASH_ZONE), ImageBlocks - 10)
        << "from the block the line died at, each once";
}

// Esc while the block writes wait for the link leaves as No to the question does.
TEST(UpdateProcedure, EscWhileTheLinkIsDownLeaves) {
    UpdateRig t(support::vbYes);
    const LinkDownLook look = NextWithTheLineDead(t, 600e6, [&t] { t.Esc(); });
    ASSERT_TRUE(look.seen);
    EXPECT_EQ(t.window->UpdateState(), 4);
    EXPECT_EQ(t.window->result(), QDialog::Rejected);
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_WRT_FLASH_END), 0);
}

TEST(UpdateProcedure, NoToTheQuestionEndsAtOnceWithTheEcuLeftInFlashMode) {
    UpdateRig t(support::vbNo);
    t.Ready(true);
    t.Next();
    t.Silence(CMD_WRT_FLASH_ZONE, 3 * t.SendsPerTry(), 10);
    t.Next();
    ASSERT_EQ(t.boxes.boxes.size(), 1u);
    EXPECT_EQ(t.window->UpdateState(), 4);
    EXPECT_EQ(t.window->result(), QDialog::Rejected);
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_EQ(t.CommandsFrom(CMD_WRT_FLASH_ZONE),
              QList<quint8>(10 + 3 * t.SendsPerTry(), CMD_WRT_FLASH_ZONE))
        << "nothing more is sent";
    EXPECT_EQ(t.rig.ecu.Mode(), sim::EcuMode::FlashWrt);
}

// An update left unfinished erased the ECU. Its retry reads what is left, which may no
// longer be the ECU's parameters: that read-back gets a file of its own and never
// replaces the backup made from the running ECU, which is what goes back.
TEST(UpdateProcedure, ARetryKeepsTheFirstBackupAndWritesItBack) {
    UpdateRig t(support::vbNo);
    t.Ready(true);
    t.Next();
    t.Silence(CMD_WRT_FLASH_ZONE, 3 * t.SendsPerTry(), 10);
    t.Next();
    ASSERT_EQ(t.rig.ecu.Mode(), sim::EcuMode::FlashWrt);
    const QByteArray first = t.rig.tree.Read("BIN/UpdateBackup.var");
    ASSERT_FALSE(first.isEmpty());

    // Started again, with the ECU's parameters gone meanwhile.
    t.rig.ecu.Ram() = sim::Memory::Factory();
    ASSERT_TRUE(WaitFor([&] { return t.rig.ctx.Comm().ComState() == COM_READY; }, 60s));
    ASSERT_TRUE(ecudata::LoadFirmwareInfo(t.rig.ctx.Comm()));
    t.window = std::make_unique<firmware::FrmUpdate>(t.rig.ctx);
    EXPECT_EQ(t.Text("LblRelEcu_Val"), "FF.FF - FF/FF/FFFF");
    // An identity that names no version: the compensation tables come from the default set.
    t.rig.tree.Write("LNG/Default.Xar", testing_support::ReadFixture(
                                            testing_support::StagedRootPath("LNG/Default.Xar")));
    t.Ready(true);
    t.Next(2);
    EXPECT_TRUE(t.Text("LblMsg").startsWith("MsgUpdate06\r\n")) << t.Text("LblMsg").toStdString();
    EXPECT_EQ(t.rig.ecu.Ram().zone3, UpdateRig::Installation().zone3);
    EXPECT_EQ(t.rig.ecu.Saved().zone3, UpdateRig::Installation().zone3);
    EXPECT_EQ(t.rig.ecu.Saved().correction, UpdateRig::Installation().correction);

    EXPECT_EQ(t.rig.tree.Read("BIN/UpdateBackup.var"), first);
    QString error;
    const auto retry = ecudata::ReadParamFile(t.rig.tree.Path("BIN/UpdateBackupRetry.var"),
                                              t.rig.ctx.Scale, error);
    ASSERT_TRUE(retry) << error.toStdString();
    EXPECT_EQ(retry->mem3, sim::Memory::Factory().zone3);
    const auto kept =
        ecudata::ReadParamFile(t.rig.tree.Path("BIN/UpdateBackup.var"), t.rig.ctx.Scale, error);
    ASSERT_TRUE(kept) << error.toStdString();
    EXPECT_EQ(kept->mem3, UpdateRig::Installation().zone3);
}

// A failed write-back keeps the new firmware and offers Next again; the payloads are the
// ones built the first time.
TEST(UpdateProcedure, FailedWriteBackIsRepeatedByNext) {
    UpdateRig t;
    t.Ready(true);
    t.Next();
    t.Silence(CMD_WRIT_EMUS, 3 * t.SendsPerTry());
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), ComErrorWithBackup(t));
    EXPECT_FALSE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_TRUE(t.Shown("CmdUpdate"));
    EXPECT_TRUE(t.Shown("CmdEsc"));
    EXPECT_EQ(Count(t.rig.Commands(), CMD_WRT_MEM2), 1);

    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    EXPECT_TRUE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_WRT_MEM2), 1) << "the write-back goes on where it failed";
    ExpectParametersBack(t);
}

// After a failed write-back left the new firmware on factory parameters, the next update
// reads those back: they go to a file of their own, and the set the first update kept is
// what it writes back.
TEST(UpdateProcedure, AnUpdateAfterAFailedWriteBackSendsTheKeptSet) {
    UpdateRig t;
    t.Ready(true);
    t.Next();
    t.Silence(CMD_WRT_MEM2, 3 * t.SendsPerTry());
    t.Next();
    ASSERT_EQ(t.Text("LblMsg"), ComErrorWithBackup(t));
    const QByteArray first = t.rig.tree.Read("BIN/UpdateBackup.var");
    ASSERT_FALSE(first.isEmpty());
    t.rig.ecu.Ram() = sim::Memory::Factory();
    t.rig.ecu.Saved() = sim::Memory::Factory();

    ASSERT_TRUE(WaitFor([&] { return t.rig.ctx.Comm().ComState() == COM_READY; }, 60s));
    ASSERT_TRUE(ecudata::LoadFirmwareInfo(t.rig.ctx.Comm()));
    t.window = std::make_unique<firmware::FrmUpdate>(t.rig.ctx);
    EXPECT_EQ(t.Text("LblRelEcu_Val"), "01.40 - 14/04/2010");
    t.Ready(true);
    t.Next(2);
    EXPECT_TRUE(t.Text("LblMsg").startsWith("MsgUpdate06\r\n")) << t.Text("LblMsg").toStdString();
    EXPECT_EQ(t.rig.tree.Read("BIN/UpdateBackup.var"), first);
    for (const sim::Memory* m : {&t.rig.ecu.Ram(), &t.rig.ecu.Saved()}) {
        EXPECT_EQ(m->zone3, UpdateRig::Installation().zone3);
        EXPECT_EQ(m->emulation, UpdateRig::Installation().emulation);
        EXPECT_EQ(m->correction, UpdateRig::Installation().correction);
    }
    EXPECT_FALSE(t.rig.tree.Read("BIN/UpdateBackupRetry.var").isEmpty());
}

TEST(UpdateProcedure, FailedSaveIsToldButTheUpdateStands) {
    UpdateRig t;
    t.Ready(true);
    t.Next();
    t.Silence(CMD_SAVE_FLASH, 3 * t.SendsPerTry());
    t.Next();
    EXPECT_EQ(t.Text("LblMsg"), ComErrorWithBackup(t));
    EXPECT_TRUE(t.rig.ctx.Requests.FirmwareOk);
    EXPECT_EQ(t.window->UpdateState(), 4);
    EXPECT_EQ(Count(t.rig.Commands(), CMD_SAVE_FLASH), 3 * t.SendsPerTry());
}

// ECU firmware up to 01.38 has no compensation tables to read: the default set's are
// written back (the new firmware has them).
TEST(UpdateProcedure, OldEcuTakesTheDefaultCompensationTables) {
    UpdateRig t(support::vbYes, "01.38 14/04/2010 LX735 SEQGAS T468");
    const QString defaultSet = testing_support::StagedRootPath("LNG/Default.Xar");
    t.rig.tree.Write("LNG/Default.Xar", testing_support::ReadFixture(defaultSet));
    t.Ready(true);
    t.Next(2);
    EXPECT_EQ(t.Text("LblMsg"), "MsgUpdate06");
    const QList<quint8> sent = t.rig.Commands();
    EXPECT_EQ(Count(sent, CMD_READ_COMP_GAS_TEMP), 0);
    EXPECT_EQ(Count(sent, CMD_WRITE_COMP_GAS_TEMP), 1);
    QString error;
    const auto defaults = ecudata::ReadParamFile(defaultSet, t.rig.ctx.Scale, error);
    ASSERT_TRUE(defaults) << error.toStdString();
    EXPECT_EQ(t.rig.ecu.Ram().compGasTemp, defaults->comp[0]);
}

} // namespace
} // namespace firmware_test
