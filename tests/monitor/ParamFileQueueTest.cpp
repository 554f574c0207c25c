// A queued parameter file reaching the ECU through the poll scheduler: sent and saved in
// flash, refused when damaged, kept queued while the ECU does not answer, and loaded into
// the local images while the link is stopped.

#include "MonitorRig.h"

#include "common/BuildTools.h"

#include "ecudata/CompTables.h"
#include "ecudata/ParamFile.h"
#include "link/Frames.h"
#include "settings/ParamFileSend.h"
#include "sim/Memory.h"

#include <gtest/gtest.h>

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
        ASSERT_TRUE(rig.RunUntil(
            [this] { return rig.ctx.Requests.FirmwareOk && !rig.ctx.Requests.FirstReadPending; }));
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

    MonitorRig rig;
    QString caption;
};

TEST_F(ParamFileQueue, SentFileReachesTheEcuIsSavedInFlashAndNamedInTheCaption) {
    Connect();
    const QString path = FileWithSwitchTemp(61);
    rig.ctx.ParamFilePending = path;
    ASSERT_TRUE(rig.RunUntil([this] { return Done(); }));
    ASSERT_TRUE(rig.RunUntil([this] { return rig.ctx.Images.Mem3Data.SwitchTemp == 61; }))
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
    ASSERT_TRUE(rig.RunUntil([this] { return Done(); }));
    EXPECT_EQ(sent, QStringList({first, second}));
}

TEST_F(ParamFileQueue, DamagedFileIsRefusedOnceAndNothingIsSent) {
    Connect();
    rig.tree.Write("bad.var", "[INFO]\r\nnot a parameter file\r\n");
    rig.ctx.ParamFilePending = rig.tree.Path("bad.var");
    ASSERT_TRUE(rig.RunUntil([this] { return Done(); }));
    rig.Run(2e6);
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.Received(comm::CMD_WRT_MEM3), 0);
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 0);
}

TEST_F(ParamFileQueue, FileStaysQueuedWhileTheEcuDoesNotAnswerAndGoesOutAfterwards) {
    Connect();
    rig.ctx.ParamFilePending = FileWithSwitchTemp(62);
    rig.FailNext(comm::CMD_WRT_MEM3, 1000);
    rig.Run(5e6);
    EXPECT_FALSE(Done());
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 0);

    rig.ecu.ClearFaults();
    ASSERT_TRUE(rig.RunUntil([this] { return Done(); }));
    ASSERT_TRUE(rig.RunUntil([this] { return rig.ctx.Images.Mem3Data.SwitchTemp == 62; }));
    EXPECT_EQ(rig.Received(comm::CMD_SAVE_FLASH), 1);
}

// The send puts the ECU on petrol; when it fails there, the retry that succeeds puts it
// back on gas.
TEST_F(ParamFileQueue, ARetryGoesBackToGasAfterASendThatFailedOnPetrol) {
    Connect();
    rig.ctx.Images.Mem2Data.ModeReq = 0;
    const QString path = FileWithSwitchTemp(62); // a set that asks for petrol
    sim::EngineState& engine = rig.ecu.Engine();
    engine.key = true;
    engine.rpm = 800;
    engine.reducerTempC = 50;
    rig.ecu.Ram().zone2[sim::kZ2ModeReq] = char(sim::kFuelGas);
    ASSERT_TRUE(rig.RunUntil([this] { return rig.ctx.Images.Mem2Data.FuelState == 3; }));
    rig.ctx.ParamFilePending = path;
    rig.FailNext(comm::CMD_WRT_MEM3, 1000);
    ASSERT_TRUE(rig.RunUntil([this] { return rig.ecu.FuelState() == 0; }));
    rig.Run(3e6);
    EXPECT_FALSE(Done());

    rig.ecu.ClearFaults();
    ASSERT_TRUE(rig.RunUntil([this] { return Done(); }));
    EXPECT_TRUE(rig.RunUntil([this] { return rig.ecu.FuelState() == 3; }))
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
