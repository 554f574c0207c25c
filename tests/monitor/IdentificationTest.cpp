// The identification at every connection against the simulated ECU, with firmware
// image variants made by the generator.

#include "MonitorRig.h"
#include "common/Wait.h"

#include "link/Frames.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace monitor_test {
namespace {

const QString EcuIdentity = "01.12 14/04/2011 LX735 SEQGAS T468";

bool Decided(const MonitorRig& rig) {
    return rig.ctx.Requests.FirmwareOk || rig.ctx.QuitRequest;
}

struct ImageCase {
    const char* name;
    QString version, date, project; // of the image
    QString ecu;                    // the ECU's identity
    bool accepted;
    QStringList events;
};

TEST(Identification, ImageVariantsAgainstTheEcu) {
    const ImageCase cases[] = {
        {"same version and date", "01.12", "14/04/2011", "T468", EcuIdentity, true, {}},
        {"image dated later: the About box offers the update",
         "01.12",
         "15/04/2011",
         "T468",
         EcuIdentity,
         true,
         {"About"}},
        {"image dated earlier", "01.12", "13/04/2011", "T468", EcuIdentity, true, {}},
        {"image without a project code",
         "01.12",
         "14/04/2011",
         "",
         "01.12 14/04/2011 LX735 SEQGAS X999",
         true,
         {}},
        {"codes differing in case only",
         "01.12",
         "14/04/2011",
         "T468",
         "01.12 14/04/2011 LX735 SEQGAS t468",
         true,
         {}},
        {"newer image: the update window, then the end",
         "01.13",
         "14/04/2011",
         "T468",
         EcuIdentity,
         false,
         {"FrmUpdate"}},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorRig rig(MonitorRig::WithIdentity(c.ecu));
        rig.WriteImage(c.version, c.date, c.project);
        const QByteArray setCom = rig.tree.Read("BIN/SetCom.ini");
        ASSERT_TRUE(WaitFor([&rig] { return Decided(rig); }, 60s));
        EXPECT_EQ(rig.ctx.Requests.FirmwareOk, c.accepted);
        EXPECT_EQ(rig.ctx.QuitRequest, !c.accepted);
        EXPECT_EQ(rig.events, c.events);
        EXPECT_TRUE(rig.boxes.boxes.empty());
        EXPECT_EQ(rig.tree.Read("BIN/SetCom.ini"), setCom) << "a fixed port stays as it is";
        EXPECT_TRUE(rig.timer2Running);
    }
}

TEST(Identification, OlderImageStopsTheProgramWithBothIdentities) {
    MonitorRig rig;
    rig.WriteImage("01.11", "01/02/2010", "T468");
    ASSERT_TRUE(WaitFor([&rig] { return Decided(rig); }, 60s));
    EXPECT_TRUE(rig.ctx.QuitRequest);
    EXPECT_FALSE(rig.ctx.Requests.FirmwareOk);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes.boxes[0].title, " Firmware ");
    EXPECT_EQ(rig.boxes.boxes[0].prompt,
              "MsgLive02\r\n\r\nRelease  ver 01.12.82 - 14/04/2011\r\n\r\n"
              "Firmware Ecu  ver 01.12 - 14/04/2011 - SEQGAS\r\n\r\n"
              "Firmware File ver 01.11 - 01/02/2010 - SEQGAS\r\n");
}

TEST(Identification, MissingImageStopsTheProgramEvenOffLine) {
    MonitorRig rig;
    rig.timer1Running = false; // no link at all
    ASSERT_TRUE(QFile::remove(rig.ctx.FirmwareFilePath));
    rig.Tick2();
    EXPECT_TRUE(rig.ctx.QuitRequest);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes.boxes[0].prompt, rig.ctx.FirmwareFilePath + " \r\nMsgLive01");
    EXPECT_EQ(rig.boxes.boxes[0].style, support::vbCritical);
}

// Off-line the image is looked for once a second, not at every tick: an image that
// goes away meanwhile still stops the program within that second.
TEST(Identification, ImageRemovedWhileOffLineStopsTheProgramWithinASecond) {
    MonitorRig rig;
    rig.timer1Running = false;
    rig.Tick2();
    ASSERT_FALSE(rig.ctx.QuitRequest);
    ASSERT_TRUE(QFile::remove(rig.ctx.FirmwareFilePath));
    const double removedAt = rig.time.NowUsec();
    ASSERT_TRUE(WaitFor([&rig] { return rig.ctx.QuitRequest; }, 2s));
    EXPECT_LE(rig.time.NowUsec() - removedAt, 1.1e6);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes.boxes[0].prompt, rig.ctx.FirmwareFilePath + " \r\nMsgLive01");
}

TEST(Identification, AskedUpdateThatCompletesKeepsTheProgramWithTimer2Paused) {
    MonitorRig rig;
    rig.ctx.UpdateRequest = true;
    bool pausedDuringUpdate = false;
    rig.monitor.hooks.ShowFrmUpdate = [&rig, &pausedDuringUpdate] {
        pausedDuringUpdate = !rig.timer2Running;
        rig.ctx.Requests.FirmwareOk = true; // the update completed
    };
    ASSERT_TRUE(WaitFor([&rig] { return Decided(rig); }, 60s));
    EXPECT_TRUE(pausedDuringUpdate);
    EXPECT_TRUE(rig.timer2Running);
    EXPECT_FALSE(rig.ctx.UpdateRequest);
    EXPECT_FALSE(rig.ctx.QuitRequest);
}

// An update left unfinished erased the ECU's identity: it is no foreign ECU, it needs
// the update finished.
TEST(Identification, ErasedEcuGetsTheUpdateWindow) {
    MonitorRig rig;
    rig.ecu.SetIdentity({QByteArray(6, '\xFF'), QByteArray(32, '\xFF')});
    ASSERT_TRUE(WaitFor([&rig] { return Decided(rig); }, 60s));
    EXPECT_EQ(rig.events, QStringList{"FrmUpdate"});
    EXPECT_TRUE(rig.boxes.boxes.empty());
    EXPECT_TRUE(rig.ctx.QuitRequest) << "the update (a stand-in here) did not complete";
}

TEST(Identification, ForeignEcuOnAFixedPortIsReportedAtThe22ndMismatch) {
    MonitorRig rig(MonitorRig::WithIdentity("01.12 14/04/2011 LX735 SEQGAS X999"));
    const QByteArray setCom = rig.tree.Read("BIN/SetCom.ini");
    ASSERT_TRUE(WaitFor([&rig] { return !rig.boxes.boxes.empty(); }, 120s));
    EXPECT_EQ(rig.Received(comm::CMD_READ_FIRMWARE), 22);
    EXPECT_EQ(rig.boxes.boxes[0].prompt,
              "MsgLive03\r\n\r\nRelease  ver 01.12.82 - 14/04/2011\r\n\r\n"
              "Firmware Ecu 01.12 14/04/2011 - 01.12 14/04/2011\r\n");
    EXPECT_EQ(rig.ctx.Comm().FlagRicercaCom(), comm::NoSearch) << "retried on the same port";
    EXPECT_FALSE(rig.ctx.Requests.FirmwareOk);
    EXPECT_FALSE(rig.ctx.QuitRequest);
    EXPECT_EQ(rig.tree.Read("BIN/SetCom.ini"), setCom);

    // The count starts again: the next message at the 44th mismatch.
    ASSERT_TRUE(WaitFor([&rig] { return rig.boxes.boxes.size() == 2; }, 120s));
    EXPECT_EQ(rig.Received(comm::CMD_READ_FIRMWARE), 44);
}

TEST(Identification, ForeignEcuDuringASearchMovesTheSearchOn) {
    MonitorRig rig(MonitorRig::WithIdentity("01.12 14/04/2011 LX735 SEQGAS X999"), true);
    ASSERT_TRUE(WaitFor([&rig] { return rig.Received(comm::CMD_READ_FIRMWARE) > 0; }, 60s));
    RunFor(1ms);
    EXPECT_EQ(rig.ctx.Comm().FlagRicercaCom(), 2) << "COM2 next";
    EXPECT_FALSE(rig.ctx.Requests.FirmwareOk);
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

TEST(Identification, SearchEndsAtThePortOfTheAcceptedEcu) {
    MonitorRig rig(MonitorRig::Quiet(), true);
    ASSERT_TRUE(WaitFor([&rig] { return Decided(rig); }, 60s));
    EXPECT_TRUE(rig.ctx.Requests.FirmwareOk);
    EXPECT_EQ(rig.ctx.Comm().FlagRicercaCom(), comm::NoSearch);
    const QByteArray setCom = rig.tree.Read("BIN/SetCom.ini");
    EXPECT_TRUE(setCom.contains("[SearchCom]\r\n 255 \r\n")) << setCom.toStdString();
    EXPECT_TRUE(setCom.contains("[Comport]\r\n1\r\n"));
}

TEST(Identification, UnreadableImageIsReportedOnceAndTheLinkStays) {
    MonitorRig rig;
    ASSERT_TRUE(QFile::remove(rig.tree.Path("BIN/Flash.ini")));
    RunFor(3s);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_TRUE(rig.boxes.boxes[0].prompt.contains("cannot be read"));
    EXPECT_FALSE(rig.ctx.QuitRequest);
    EXPECT_FALSE(rig.ctx.Requests.FirmwareOk);
    EXPECT_GT(rig.Received(comm::CMD_READ_FIRMWARE), 10) << "still trying";
}

// A damaged image names no version: it is "cannot be read" (once), never older than
// the ECU's firmware, and the program stays.
TEST(Identification, DamagedImagesCannotBeReadAndAreNeverOlder) {
    const struct {
        const char* name;
        std::function<QByteArray(QByteArray)> damage;
    } cases[] = {
        {"empty", [](QByteArray) { return QByteArray(); }},
        {"cut in a record", [](QByteArray b) { return b.left(b.size() / 2 + 7); }},
        {"line feeds only", [](QByteArray b) { return b.replace("\r\n", "\n"); }},
        {"one wrong checksum",
         [](QByteArray b) {
             const qsizetype end = b.indexOf("\r\n", b.size() / 2);
             b[end - 1] = b[end - 1] == '0' ? '1' : '0';
             return b;
         }},
        {"identity not covered",
         [](QByteArray b) {
             QList<QByteArray> lines = b.split('\n');
             lines.removeIf([](const QByteArray& l) { return l.mid(4, 4) == "FFE0"; });
             return lines.join('\n');
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorRig rig;
        rig.WriteImage("01.12", "14/04/2011", "T468");
        QFile image(rig.ctx.FirmwareFilePath);
        ASSERT_TRUE(image.open(QIODevice::ReadOnly));
        const QByteArray damaged = c.damage(image.readAll());
        image.close();
        rig.tree.Write("BIN/TarvencoInj468.frh", damaged);
        RunFor(3s);
        ASSERT_FALSE(rig.boxes.boxes.empty());
        EXPECT_TRUE(rig.boxes.boxes[0].prompt.contains("cannot be read"))
            << rig.boxes.boxes[0].prompt.toStdString();
        EXPECT_EQ(rig.boxes.boxes.size(), 1u) << rig.boxes.boxes.back().prompt.toStdString();
        EXPECT_FALSE(rig.ctx.QuitRequest);
        EXPECT_FALSE(rig.ctx.Requests.FirmwareOk);
        EXPECT_TRUE(rig.events.isEmpty()) << "no update window";
    }
}

} // namespace
} // namespace monitor_test
