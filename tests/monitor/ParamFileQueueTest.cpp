// A queued parameter file reaching the ECU through the poll scheduler: sent and saved in
// flash, refused when damaged, not saved and told when a block did not reach the ECU (sent
// again whole only when the installer says so, after the ECU is identified again), and
// loaded into the local images while the link is stopped.

#include "MonitorRig.h"
#include "common/Wait.h"

#include "common/BuildTools.h"

#include "ecudata/CompTables.h"
#include "ecudata/ParamFile.h"
#include "link/Frames.h"
#include "settings/ParamFileSend.h"
#include "sim/Memory.h"

#include <gtest/gtest.h>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace monitor_test {
namespace {

class ParamFileQueue : public ::testing::Test {
protected:
    ParamFileQueue() {
        rig.monitor.hooks.FileParametriInvia = [this](const QString& path) {
            return settings::FileParametriInvia(path, rig.ctx, rig.pages,
                                                [this](const QString& c) { caption = c; });
        };
    }

    void Connect() {
        rig.WriteImage();
        ASSERT_TRUE(WaitFor(
            [this] { return rig.ctx.Requests.FirmwareOk && !rig.ctx.Requests.FirstReadPending; },
            60s));
    }

    // A file of the images as read, with the change-over temperature set to celsius.
    QString FileWithSwitchTemp(double celsius) {
        ecudata::EcuModel model = rig.ctx.Model();
        const double was = rig.ctx.Images.Mem3Data.SwitchTemp;
        rig.ctx.Images.Mem3Data.SwitchTemp = celsius;
        const QString path = rig.tree.Path("set.var");
        EXPECT_TRUE(ecudata::SaveParamFile(path, model, {"release", "title", "today"}, ","));
        rig.ctx.Images.Mem3Data.SwitchTemp = was;
        return path;
    }

    bool Done() const { return rig.ctx.ParamFilePending.isEmpty(); }

    QString PlainCaption() const { return rig.ctx.Texts.AppTitle + " - " + app::ReleaseText; }

    // Silences or refuses every request of the command from now on.
    void Fault(sim::FaultKind kind, quint8 command) {
        sim::Fault fault;
        fault.kind = kind;
        fault.command = command;
        fault.count = sim::kForever;
        rig.ecu.AddFault(fault);
    }

    // The file's zone 3 up to the cylinder states (those the ECU moves on its own).
    QByteArray FileZone3(const QString& path) const {
        QString error;
        const auto data = ecudata::ReadParamFile(path, rig.ctx.Scale, error);
        return data ? data->mem3.left(sim::kZ3CylState) : QByteArray();
    }

    // The position of the first command at or after from in the ECU's log; -1 when none.
    qsizetype IndexOf(quint8 command, qsizetype from = 0) const {
        return rig.ecu.CommandLog().indexOf(command, from);
    }

    MonitorRig rig;
    QString caption;
};

TEST_F(ParamFileQueue, SentFileReachesTheEcuIsSavedInFlashAndNamedInTheCaption) {
    Connect();
    const QString path = FileWithSwitchTemp(61);
    rig.ctx.ParamFilePending = path;
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));
    ASSERT_TRUE(WaitFor([this] { return rig.ctx.Images.Mem3Data.SwitchTemp == 61; }, 60s))
        << "the ECU's zone 3 read back carries the file's value";
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 1);
    EXPECT_TRUE(rig.ecu.Saved() == rig.ecu.Ram());
    EXPECT_TRUE(caption.endsWith("[" + path + "]"));
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST_F(ParamFileQueue, ASetQueuedDuringTheSendStaysQueued) {
    Connect();
    const QString first = FileWithSwitchTemp(61);
    const QString second = ecudata::DefaultCngXarPath(rig.ctx.AppFolder);
    QStringList sent;
    rig.monitor.hooks.FileParametriInvia = [&](const QString& path) {
        sent << path;
        if (path == first) {
            rig.ctx.ParamFilePending = second; // the fuel option answered Yes meanwhile
        }
        return true;
    };
    rig.ctx.ParamFilePending = first;
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));
    EXPECT_EQ(sent, QStringList({first, second}));
}

TEST_F(ParamFileQueue, DamagedFileIsRefusedOnceAndNothingIsSent) {
    Connect();
    rig.tree.Write("bad.var", "[INFO]\r\nnot a parameter file\r\n");
    rig.ctx.ParamFilePending = rig.tree.Path("bad.var");
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));
    RunFor(2s);
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.Received(comm::CMD_WRT_MEM3), 0);
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 0);
    EXPECT_TRUE(caption.isEmpty()) << "names no file";
}

// A refused table: the blocks before it are in the ECU's memory, nothing is saved in its
// flash, the installer is told which blocks are missing (in the program's language) and
// the caption names no file; No leaves it there.
TEST_F(ParamFileQueue, ABlockNotWrittenIsToldAndNothingIsSaved) {
    Connect();
    const sim::Memory saved = rig.ecu.Saved();
    const QString path = FileWithSwitchTemp(61);
    Fault(sim::FaultKind::Status, comm::CMD_WRITE_COMP_PRES_GAS);
    const struct {
        const char* language;
        QString notLoaded;
        QStringList missing;
    } cases[] = {
        {"0",
         "The parameter file was not loaded completely:",
         {"Reducer pressure compensation", "Leaning on acceleration", "Lambda emulation",
          "Correction table"}},
        {"1",
         "Il file di parametri non \u00e8 stato caricato completamente:",
         {"Compensazione pressione riduttore", "Smagrimento in accelerazione", "Emulazione lambda",
          "Tabella di correzione"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        rig.tree.Write("LNG/M3.con", QByteArray(c.language) + "\r\n");
        testing_support::MsgBoxCapture no(support::vbNo);
        caption = "before";
        const int writes = rig.Received(comm::CMD_WRT_MEM3);
        rig.ctx.ParamFilePending = path;
        ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));

        ASSERT_EQ(no.boxes.size(), 1u);
        const QString& prompt = no.boxes[0].prompt;
        EXPECT_TRUE(prompt.startsWith(c.notLoaded + "\r\n" + path + "\r\n"))
            << prompt.toStdString();
        for (const QString& block : c.missing) {
            EXPECT_TRUE(prompt.contains("\r\n- " + block + "\r\n")) << block.toStdString();
        }
        EXPECT_EQ(prompt.count("\r\n- "), c.missing.size()) << "only the blocks not written";
        EXPECT_EQ(no.boxes[0].style, support::vbYesNo | support::vbExclamation);
        EXPECT_EQ(caption, PlainCaption());
        RunFor(2s);
        EXPECT_EQ(rig.Received(comm::CMD_WRT_MEM3), writes + 1) << "not sent again";
    }
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 0);
    EXPECT_EQ(rig.ecu.Saved().zone3, saved.zone3);
    EXPECT_EQ(rig.ecu.Ram().zone3.left(sim::kZ3CylState), FileZone3(path))
        << "the RAM holds what it took";
    EXPECT_EQ(rig.ecu.Ram().compPress, saved.compPress);
}

TEST_F(ParamFileQueue, YesSendsTheWholeFileAgainOnceTheEcuTakesIt) {
    Connect();
    testing_support::MsgBoxCapture yes(support::vbYes);
    const QString path = FileWithSwitchTemp(62);
    rig.ctx.ParamFilePending = path;
    rig.FailNext(comm::CMD_WRT_MEM3, 1000);
    ASSERT_TRUE(WaitFor([&] { return yes.boxes.size() >= 2; }, 60s)) << "asked after each try";
    EXPECT_FALSE(Done());
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 0);
    EXPECT_TRUE(yes.boxes[0].prompt.contains("\r\n- Parameters, zone 3\r\n"));
    EXPECT_FALSE(yes.boxes[0].prompt.contains("zone 2"));

    rig.ecu.ClearFaults();
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));
    ASSERT_TRUE(WaitFor([this] { return rig.ctx.Images.Mem3Data.SwitchTemp == 62; }, 60s));
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 1);
    EXPECT_EQ(rig.ecu.Saved().zone3.left(sim::kZ3CylState), FileZone3(path));
    EXPECT_TRUE(caption.endsWith("[" + path + "]"));
}

// A table's write is lost with every resend: the link restarts and is soon back. Nothing
// more of the file reaches the ECU until it has been identified again; then the whole
// file goes.
TEST_F(ParamFileQueue, AfterALinkRestartTheFileWaitsForTheIdentification) {
    Connect();
    testing_support::MsgBoxCapture yes(support::vbYes);
    rig.FailNext(comm::CMD_WRITE_COMP_RID_TEMP, 1 + rig.ctx.Comm().NumReSend());
    const qsizetype start = rig.ecu.CommandLog().size();
    const QString path = FileWithSwitchTemp(63);
    rig.ctx.ParamFilePending = path;
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));

    ASSERT_EQ(yes.boxes.size(), 1u);
    const qsizetype lost = IndexOf(comm::CMD_WRITE_COMP_RID_TEMP, start);
    ASSERT_GE(lost, 0);
    const qsizetype identified = IndexOf(comm::CMD_READ_FIRMWARE, lost);
    ASSERT_GE(identified, 0);
    const qsizetype again = IndexOf(comm::CMD_WRT_MEM2, lost);
    EXPECT_GT(again, identified) << "sent again only to the identified ECU";
    for (const quint8 rest : {comm::CMD_WRITE_COMP_PRES_GAS, comm::CMD_WRITE_CMP_SMAG,
                              comm::CMD_WRIT_EMUS, comm::CMD_WRT_TBL_COR}) {
        EXPECT_GT(IndexOf(rest, lost), again) << "the rest of the first try: " << int(rest);
    }
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 1);
    EXPECT_EQ(rig.ecu.Saved().zone3.left(sim::kZ3CylState), FileZone3(path));
}

// The send puts the ECU on petrol; when it fails there, the retry that succeeds puts it
// back on gas.
TEST_F(ParamFileQueue, ARetryGoesBackToGasAfterASendThatFailedOnPetrol) {
    Connect();
    testing_support::MsgBoxCapture yes(support::vbYes);
    rig.ctx.Images.Mem2Data.ModeReq = 0;
    const QString path = FileWithSwitchTemp(62); // a set that asks for petrol
    sim::EngineState& engine = rig.ecu.Engine();
    engine.key = true;
    engine.rpm = 800;
    engine.reducerTempC = 50;
    rig.ecu.Ram().zone2[sim::kZ2ModeReq] = char(sim::kFuelGas);
    ASSERT_TRUE(WaitFor([this] { return rig.ctx.Images.Mem2Data.FuelState == 3; }, 60s));
    rig.ctx.ParamFilePending = path;
    rig.FailNext(comm::CMD_WRT_MEM3, 1000);
    ASSERT_TRUE(WaitFor([this] { return rig.ecu.FuelState() == 0; }, 60s));
    RunFor(3s);
    EXPECT_FALSE(Done());

    rig.ecu.ClearFaults();
    ASSERT_TRUE(WaitFor([this] { return Done(); }, 60s));
    EXPECT_TRUE(WaitFor([this] { return rig.ecu.FuelState() == 3; }, 60s))
        << "back on gas after the flash save";
    EXPECT_FALSE(rig.ctx.ParamFileSwitchedFuel);
}

TEST_F(ParamFileQueue, StoppedLinkLoadsTheTablesOfTheFileIntoTheImages) {
    const QString path = rig.tree.Path("LNG/Default.Xar");
    rig.tree.Write("LNG/Default.Xar", testing_support::ReadFixture(
                                          testing_support::StagedRootPath("LNG/Default.Xar")));
    QString error;
    const auto data = ecudata::ReadParamFile(path, rig.ctx.Scale, error);
    ASSERT_TRUE(data) << error.toStdString();
    ecudata::CompTbl expected{};
    ecudata::CompTblFromBytes(data->comp[0], ecudata::CompTables[0].form, expected);

    rig.ctx.Images.CompTblGasTemp.fill(0);
    rig.ctx.Comm().ComState(comm::COM_STOP);
    rig.ctx.ParamFilePending = path;
    rig.Tick1();
    EXPECT_TRUE(Done());
    EXPECT_EQ(ecudata::CompTable(rig.ctx.Images, ecudata::CompTables[0].id), expected);
    EXPECT_TRUE(rig.ctx.Requests.RefreshPending);
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

} // namespace
} // namespace monitor_test
