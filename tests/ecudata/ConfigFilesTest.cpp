// The configuration files as an installer meets them: the shipped scale file through
// every reader of it, a parameter file carried from one ECU to another, and the shipped
// firmware image against the simulated ECU program.

#include "EcuRig.h"
#include "common/BuildTools.h"
#include "common/FdRead.h"
#include "common/MsgBoxCapture.h"
#include "ecudata/CalibrationParams.h"
#include "ecudata/CompTables.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/ParamFile.h"
#include "ecudata/RecordTables.h"
#include "ecudata/RequestServer.h"
#include "link/Frames.h"
#include "link/LinkFixture.h"
#include "sim/Memory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

namespace {

// Everything the program reads from LNG/ConfigScale.ini, in the main window's order.
struct ScaleFileContents {
    ConfigScale scale;
    RecordTables tables;
    CalibrationParams params;
};

ScaleFileContents ReadScaleFile(const QString& appFolder) {
    ScaleFileContents c;
    LoadConfigScale(c.scale, appFolder, ",");
    LoadGasLevelTbl(c.tables, appFolder, ",");
    LoadInjTypeTbl(c.tables, appFolder, ",", c.scale.K_Time_Pwm_us);
    LoadLambdaTbl(c.tables, appFolder, ",", "- OFF -");
    LoadParamTaratura(c.params, appFolder);
    return c;
}

TEST(ShippedScaleFile, EveryReaderTakesTheScrambledCopyAsThePlainOne) {
    const QString plainFile = testing_support::SourceDataPath("LNG/ConfigScale.ini");
    TempTree plainTree;
    TempTree scrambledTree;
    plainTree.Write("LNG/ConfigScale.ini", testing_support::ReadFixture(plainFile));
    ASSERT_TRUE(testing_support::RunBuildTool(
        "lx735-scramble", {plainFile, scrambledTree.Path("LNG/ConfigScale.ini")}));
    ASSERT_NE(scrambledTree.Read("LNG/ConfigScale.ini"), plainTree.Read("LNG/ConfigScale.ini"));

    MsgBoxCapture boxes;
    const ScaleFileContents plain = ReadScaleFile(plainTree.Root());
    const ScaleFileContents scrambled = ReadScaleFile(scrambledTree.Root());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(plain.scale, scrambled.scale);
    EXPECT_EQ(plain.tables.TblGasLevel, scrambled.tables.TblGasLevel);
    EXPECT_EQ(plain.tables.TblInjType, scrambled.tables.TblInjType);
    EXPECT_EQ(plain.tables.TblLambda, scrambled.tables.TblLambda);
    EXPECT_EQ(plain.params, scrambled.params);
    // The file does give its tables (the built-in set has one level row, no injector).
    EXPECT_GT(plain.tables.TblGasLevel.size(), 1u);
    EXPECT_FALSE(plain.tables.TblInjType.empty());
}

// ---- A parameter file from one ECU to another.

void PutCylTime(QByteArray& zone3, int cylinder, int counts) {
    sim::PutU16(zone3, sim::kZ3CylTime + 2 * (7 - cylinder), counts & 0xFFFF);
}

// A set the file carries as it stands: on petrol (fuel state 0, no cylinder on gas),
// the correction table's fixed cells in place (first point 0, last 157, end marker).
sim::Memory SourceMemory() {
    sim::Memory m = sim::Memory::Factory();
    m.zone2[sim::kZ2ModeReq] = 0;
    m.zone2[sim::kZ2Flags] = 0x13;
    sim::PutU16(m.zone2, sim::kZ2SwitchPeriod, 7500);
    QByteArray& z = m.zone3;
    sim::PutU16(z, sim::kZ3SwitchTemp, 45);
    z[sim::kZ3CylState + 7 - 1] = 0; // cylinder 1 off
    PutCylTime(z, 0, 25);
    PutCylTime(z, 3, -13);
    z[53] = 5;
    m.compGasTemp[1] = static_cast<char>(-7);
    m.compRidTemp[30] = 3;
    sim::PutU16(m.compPress, 2 * 3, 15);
    sim::PutU16(m.compSmag, 2 * 31, 12);
    for (int cell = 0; cell < 48; ++cell) {
        m.emulation[32 + cell] = static_cast<char>(0x60 + cell);
    }
    for (int cell = 0; cell <= 180; ++cell) {
        m.SetCorrectionCell(cell, cell % 9 - 4);
    }
    m.SetCorrectionCell(181, 250);  // offset 0.25 ms
    m.SetCorrectionCell(182, 1050); // slope 1.05
    const int points[8] = {0, 20, 50, 70, 90, 110, 130, 157};
    for (int i = 0; i < 8; ++i) {
        m.SetCorrectionCell(183 + i, points[i]);
    }
    return m;
}

TEST(ParamFileBetweenEcus, ASavedSetRestoresAnotherEcuByteForByteButItsHours) {
    TempTree files;
    const QString path = files.Path("moved.var");

    // Read everything from the first ECU, then save.
    {
        EcuRig from;
        from.ecu.Ram() = SourceMemory();
        ASSERT_TRUE(from.Connect());
        ASSERT_TRUE(SendReadZone(from.link, ZoneMem3, from.model));
        ASSERT_TRUE(SendReadZone(from.link, ZoneMem2, from.model));
        ASSERT_TRUE(ReadCompTbls(from.link, from.images));
        from.requests.ReqReadEmus = true;
        ASSERT_TRUE(from.ServeAll());
        ASSERT_TRUE(ReadTblCor(from.link, from.model));
        from.images.TblCorEdit = from.images.TblCorRead; // the table the model edits
        ASSERT_TRUE(SaveParamFile(path, from.model, {"Release", "Title", "today"}, ","));
    }

    // The second ECU holds the factory set, other service hours, and stands still.
    EcuRig to;
    sim::Memory& ram = to.ecu.Ram();
    sim::PutU32(ram.zone2, sim::kZ2HoursGas, 777);
    sim::PutU32(ram.zone2, sim::kZ2HoursPetrol, 88);
    to.ecu.Engine().key = false;
    const QByteArray hours = ram.zone2.mid(sim::kZ2HoursGas, 8);
    ASSERT_TRUE(to.Connect());
    ASSERT_TRUE(SendReadZone(to.link, ZoneMem2, to.model));
    to.requests.FirmwareOk = true; // identified
    quint8 noSend = 0;
    ASSERT_TRUE(SendParamFile(path, to.link, to.model, noSend).Complete());

    const sim::Memory source = SourceMemory();
    QByteArray expectedZone2 = source.zone2;
    expectedZone2.replace(sim::kZ2HoursGas, 8, hours); // the load keeps the ECU's hours
    EXPECT_EQ(ram.zone2.toHex().toStdString(), expectedZone2.toHex().toStdString());
    EXPECT_EQ(ram.zone3.toHex().toStdString(), source.zone3.toHex().toStdString());
    EXPECT_EQ(ram.compGasTemp, source.compGasTemp);
    EXPECT_EQ(ram.compRidTemp, source.compRidTemp);
    EXPECT_EQ(ram.compPress, source.compPress);
    EXPECT_EQ(ram.compSmag, source.compSmag);
    EXPECT_EQ(ram.emulation.toHex().toStdString(), source.emulation.toHex().toStdString());
    EXPECT_EQ(ram.correction.toHex().toStdString(), source.correction.toHex().toStdString());
}

// ---- The shipped firmware image and lx735-sim.

// lx735-sim on a pseudo-terminal, ended with the object.
class SimProgram {
public:
    SimProgram() {
        process_.start(LX735_SIM_EXE, {"--fast", "--link", dir_.filePath("ecu")});
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000)) {
            fd_ = open(dir_.filePath("ecu").toLocal8Bit().constData(),
                       O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        }
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~SimProgram() {
        if (fd_ >= 0) {
            close(fd_);
        }
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool Ready() const { return fd_ >= 0; }

    // Sends the request and reads until count bytes are in or 3 s have passed.
    QByteArray Exchange(const QByteArray& request, int count) {
        if (write(fd_, request.constData(), request.size()) != request.size()) {
            return {};
        }
        return testing_support::ReadAtLeast(fd_, count, 3000);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    int fd_ = -1;
};

TEST(ShippedFirmwareImage, IdentityIsWhatTheSimulatedEcuAnswers) {
    link_test::LinkInTree in;
    for (const char* file : {"BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        in.tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
    }
    ASSERT_TRUE(LoadFirmwareFileInfo(in.link));
    ASSERT_EQ(in.link.AdrFrmwarEcu, "00FFE000");
    const qint64 identityIndex = 0x00FFE000 - in.link.BFlash(0, 0).value_or(0);
    QByteArray image;
    for (int k = 0; k < 38; ++k) {
        image.append(static_cast<char>(in.link.TableFlash(identityIndex + k).value_or(0)));
    }

    SimProgram sim;
    ASSERT_TRUE(sim.Ready());
    const QByteArray request = BuildMsg(ReqHeader, ReqByte2, CMD_READ_FIRMWARE, {});
    ASSERT_EQ(request.toHex(), "4102032161");
    const QByteArray reply = sim.Exchange(request, 5 + 38 + 1);
    ASSERT_EQ(reply.size(), 5 + 38 + 1);
    EXPECT_TRUE(ReplyCheckFailure(reply, request).isEmpty());
    EXPECT_EQ(GetMsgData(reply).toHex().toStdString(), image.toHex().toStdString());
}

} // namespace
