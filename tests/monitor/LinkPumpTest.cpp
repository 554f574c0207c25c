// The link pump: reads raised again at a restart or a stop, and the stopped link's flush
// of pending edits into the local images.

#include "MonitorRig.h"

#include "ecudata/EmulaBlock.h"
#include "ecudata/ParamRecords.h"

#include <gtest/gtest.h>

namespace monitor_test {
namespace {

ecudata::EmulaBlk Filled(quint8 byte) {
    ecudata::EmulaBlk block{};
    block.fill(byte);
    return block;
}

class LinkPump : public ::testing::Test {
protected:
    LinkPump() {
        rig.timer1Running = rig.timer2Running = false;
        ecudata::EcuRequests cleared;
        cleared.FirmwareOk = true;
        rig.ctx.Requests = cleared;
        rig.monitor.hooks.AggiornaStatoCom = [this] { ++statusRefreshes; };
        rig.monitor.hooks.FileParametriInvia = [this](const QString& path) {
            loadedFiles << path;
            return true;
        };
    }

    MonitorRig rig;
    ecudata::EcuRequests& r = rig.ctx.Requests;
    ecudata::EcuImages& images = rig.ctx.Images;
    int statusRefreshes = 0;
    QStringList loadedFiles;
};

TEST_F(LinkPump, RestartRaisesTheReadsButKeepsPendingWrites) {
    r.ReqWriteMem3 = true;
    r.Mem3WriteCountdown = 1.0;
    r.ModWriteCountdown = 2.0; // the model write is due: the table is not read over it
    r.CompWriteCountdown = 6;
    r.PollCountdown = {1, 2, 3, 4, 5, 6};
    rig.ctx.Comm().ComState(comm::COM_RESTART);
    rig.Tick1();

    for (bool raised : {r.ReqReadMem1, r.ReqReadMem2, r.ReqReadEmus, r.ReqReadSmplGas,
                        r.ReqReadSmplBnz, r.ReqReadDcol, r.RefreshPending, r.FirstReadPending}) {
        EXPECT_TRUE(raised);
    }
    EXPECT_FALSE(r.ReqReadMem3) << "its write is pending";
    EXPECT_FALSE(r.ReqReadTblCor);
    EXPECT_FALSE(r.ReqReadComp);
    EXPECT_FALSE(r.FirmwareOk);
    EXPECT_TRUE(r.ReqWriteMem3) << "only a stop clears pending writes";
    EXPECT_EQ(r.Mem3WriteCountdown, 1.0);
    EXPECT_EQ(r.PollCountdown, (std::array<qint32, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rig.ctx.Comm().ComState(), comm::COM_SEARCH) << "the link was stepped";
    EXPECT_EQ(statusRefreshes, 1);
}

TEST_F(LinkPump, StoppedLinkKeepsEditsWhoseWritesWereAlreadyRaised) {
    images.Mem3Write.SwitchTemp = 47; // its countdown ran out: the write is raised
    r.ReqWriteMem3 = true;
    images.Mem2Write.SwitchRpmPeriod = 80;
    r.ReqWriteMem2 = true;
    images.EmulaEdit.SetWhole(Filled(0x22), images.EmulaBlkData);
    r.ReqWriteEmus = true;
    rig.ctx.Comm().ComState(comm::COM_STOP);
    rig.Tick1();

    EXPECT_EQ(images.Mem3Data.SwitchTemp, 47);
    EXPECT_EQ(images.Mem2Data.SwitchRpmPeriod, 80);
    EXPECT_EQ(images.EmulaBlkData[0], 0x22);
    EXPECT_FALSE(r.ReqWriteMem3 || r.ReqWriteMem2 || r.ReqWriteEmus);
}

TEST_F(LinkPump, StoppedLinkAppliesEveryArmedEditToTheLocalImages) {
    images.Mem3Write.SwitchTemp = 42;
    r.Mem3WriteCountdown = 4.0; // as the injector dialog arms it
    images.Mem2Data.HoursGas = 123;
    images.Mem2Write.HoursGas = -1.0; // reset the gas hours
    r.Mem2WriteCountdown = 1.0;
    images.EmulaEdit.SetWhole(Filled(0x11), images.EmulaBlkData);
    r.EmulaWriteCountdown = 1;
    images.ModPoints = LineModel();
    r.ModWriteCountdown = 10.0; // a model write waiting for its retry
    rig.ctx.Comm().ComState(comm::COM_STOP);
    rig.Tick1();

    EXPECT_EQ(images.Mem3Data.SwitchTemp, 42);
    EXPECT_EQ(images.Mem2Data.HoursGas, 0) << "an off-line reset leaves 0, not -1";
    EXPECT_EQ(images.EmulaBlkData[0], 0x11);
    EXPECT_EQ(images.EmulaLine, QByteArray::fromHex("42015C4100") +
                                    ecudata::ByteArrayToStr(images.EmulaBlkData) +
                                    QByteArray(1, '\0'));
    EXPECT_FLOAT_EQ(images.TblCorEdit[182], 1.25);
    EXPECT_FLOAT_EQ(images.TblCorEdit[181], 0.5);
    EXPECT_EQ(images.Mem3Write.SwitchTemp, -1.0) << "the copy is back at its markers";
    EXPECT_EQ(images.Mem2Write.HoursGas, 0.0);
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST_F(LinkPump, StoppedLinkLoadsTheQueuedFileAndClearsEveryPendingWrite) {
    r.ReqWriteMem2 = r.ReqWriteMem3 = r.ReqWriteEmus = r.ReqSaveFlash = true;
    r.ReqCancSmplGas = r.ReqCancSmplBnz = r.ReqEcuMode = true;
    r.ReqSwitchFuelMode = 1;
    r.SmplReadCountdown = 3;
    r.CompWriteCountdown = 6;
    r.InjSetMode = 2;
    r.InjSetIndex = 4;
    r.InjSetState = 3;
    rig.ctx.ParamFilePending = "/tmp/queued.var";
    rig.ctx.ParamFileSending = true;
    rig.ctx.Comm().ComState(comm::COM_STOP);
    rig.Tick1();

    EXPECT_EQ(loadedFiles, QStringList{"/tmp/queued.var"});
    EXPECT_TRUE(rig.ctx.ParamFilePending.isEmpty());
    EXPECT_FALSE(rig.ctx.ParamFileSending);
    for (bool cleared : {r.ReqWriteMem2, r.ReqWriteMem3, r.ReqWriteEmus, r.ReqSaveFlash,
                         r.ReqCancSmplGas, r.ReqCancSmplBnz, r.ReqEcuMode}) {
        EXPECT_FALSE(cleared);
    }
    EXPECT_EQ(r.ReqSwitchFuelMode, 0);
    EXPECT_EQ(r.SmplReadCountdown, 0);
    EXPECT_EQ(r.CompWriteCountdown, 0);
    EXPECT_EQ(r.InjSetMode, 0);
    EXPECT_EQ(r.InjSetIndex, 0);
    EXPECT_EQ(r.InjSetState, -1);
    // The first error read comes 104 identified ticks after the link is up again.
    EXPECT_EQ(r.PollCountdown, (std::array<qint32, 6>{3, 7, 17, 23, 53, 103}));

    rig.Tick1();
    EXPECT_EQ(loadedFiles.size(), 1) << "loaded once";
    EXPECT_EQ(rig.ctx.Comm().ComState(), comm::COM_STOP) << "the link stays stopped";
    EXPECT_TRUE(r.ReqReadMem2 && r.ReqReadMem3 && r.ReqReadEmus) << "no write holds them back now";
}

} // namespace
} // namespace monitor_test
