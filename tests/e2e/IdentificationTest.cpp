// The identification at connection with firmware image variants against the
// simulated ECU (whose identity is "01.12 14/04/2011 LX735 SEQGAS T468").

#include "StagedProgram.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString Foreign = "01.12 14/04/2011 LX735 SEQGAS X999";

bool Polling(const StagedProgram& staged, qint64 afterMs = 0) {
    int n = 0;
    for (const LoggedRequest& r : staged.Requests("CMD_READ_MEM1")) {
        n += r.ms > afterMs;
    }
    return n >= 5;
}

TEST(EndToEndIdentification, SameVersionAndDateIsAcceptedQuietly) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.MapCom(1, staged.StartSim("com1"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return Polling(staged); }, LongMs * 1ms));
    EXPECT_TRUE(staged.Events().isEmpty());
}

TEST(EndToEndIdentification, LaterImageDateOffersTheUpdateAndPollingGoesOn) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    ASSERT_TRUE(staged.WriteImage("01.12", "15/04/2011", "T468"));
    staged.MapCom(1, staged.StartSim("com1"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return !staged.Events().isEmpty(); }, LongMs * 1ms));
    const ProgramEvent about = staged.Events().first();
    EXPECT_EQ(about.kind, "EVENT");
    EXPECT_EQ(about.text, "MnuInfoAbout_Click");
    EXPECT_TRUE(WaitFor([&] { return Polling(staged, about.ms); }, LongMs * 1ms));
    EXPECT_TRUE(staged.ProgramRunning());
    EXPECT_EQ(staged.Events().size(), 1);
}

struct EndingCase {
    const char* name;
    QString version;       // "" leaves the image out
    QStringList fragments; // of the box's text
};

TEST(EndToEndIdentification, ImagesThatEndTheProgram) {
    const EndingCase cases[] = {
        {"older image",
         "01.11",
         {" Firmware |", "older", "Release  ver 01.12.82 - 14/04/2011",
          "Firmware Ecu  ver 01.12 - 14/04/2011 - SEQGAS\\r\\n\\r\\n"
          "Firmware File ver 01.11 - 14/04/2011 - SEQGAS"}},
        {"missing image", "", {" Firmware |", "TarvencoInj468.frh \\r\\n", "missing"}},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        StagedProgram staged;
        ASSERT_TRUE(staged.Valid());
        if (c.version.isEmpty()) {
            ASSERT_TRUE(QFile::remove(staged.Path("BIN/TarvencoInj468.frh")));
        } else {
            ASSERT_TRUE(staged.WriteImage(c.version, "14/04/2011", "T468"));
        }
        staged.MapCom(1, staged.StartSim("com1"));
        ASSERT_TRUE(staged.StartProgram());
        const std::optional<int> exitCode = staged.WaitForProgramEnd(LongMs);
        ASSERT_TRUE(exitCode.has_value()) << "the program ends";
        EXPECT_EQ(*exitCode, 0);
        const QList<ProgramEvent> events = staged.Events();
        ASSERT_EQ(events.size(), 1);
        EXPECT_EQ(events[0].kind, "MSGBOX");
        for (const QString& fragment : c.fragments) {
            EXPECT_TRUE(events[0].text.contains(fragment))
                << fragment.toStdString() << " in " << events[0].text.toStdString();
        }
        EXPECT_TRUE(staged.Requests("CMD_READ_MEM1").isEmpty()) << "never polled";
    }
}

TEST(EndToEndIdentification, ForeignEcuDuringASearchMovesTheSearchToTheNextPort) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(1, true);
    staged.MapCom(1, staged.StartSim("com1", {"--fast", "--identity", Foreign}));
    staged.MapCom(2, staged.StartSim("com2", {"--fast"}));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return Polling(staged); }, LongMs * 1ms));
    const QByteArray setCom = staged.Read("BIN/SetCom.ini");
    EXPECT_TRUE(setCom.contains("[Comport]\r\n2\r\n")) << setCom.toStdString();
    EXPECT_TRUE(setCom.contains("[SearchCom]\r\n 255 \r\n")) << "the found port is kept";
    EXPECT_TRUE(staged.Events().isEmpty());
}

TEST(EndToEndIdentification, ForeignEcuOnAFixedPortIsReportedAtThe22ndMismatch) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.MapCom(1, staged.StartSim("com1", {"--fast", "--identity", Foreign}));
    const QByteArray setCom = staged.Read("BIN/SetCom.ini");
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return !staged.Events().isEmpty(); }, 100s))
        << staged.Requests("CMD_READ_FIRMWARE").size() << " identity reads";
    const ProgramEvent box = staged.Events().first();
    EXPECT_EQ(box.kind, "MSGBOX");
    EXPECT_TRUE(box.text.contains("Firmware Ecu 01.12 14/04/2011 - 01.12 14/04/2011"))
        << box.text.toStdString();
    int before = 0;
    for (const LoggedRequest& r : staged.Requests("CMD_READ_FIRMWARE")) {
        before += r.ms <= box.ms;
    }
    EXPECT_EQ(before, 22);
    EXPECT_TRUE(staged.Requests("CMD_READ_MEM1").isEmpty());
    EXPECT_EQ(staged.Read("BIN/SetCom.ini"), setCom) << "a fixed port stays as it is";
    EXPECT_TRUE(staged.ProgramRunning()) << "and the link restarts on it";
}

} // namespace
} // namespace e2e
