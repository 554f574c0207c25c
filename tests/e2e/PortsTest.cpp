// The port in use, end to end: the program on a fixed COM3 talks to the simulated ECU
// there, and a search started from the settings file walks the ports until the ECU
// answers, then fixes that port in BIN/SetCom.ini. (The Device menu's own choices are
// tested in process: the program takes no remote commands.)

#include "StagedProgram.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int LongMs = 60000;

TEST(EndToEndPorts, FixedCom3TalksToTheEcuThere) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(3, false);
    staged.MapCom(3, staged.StartSim("com3"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; },
                                       LongMs));
    EXPECT_TRUE(staged.Read("BIN/RxTx.TXT").contains(" R 42")) << "replies came back";
    const QByteArray settings = staged.Read("BIN/SetCom.ini");
    EXPECT_TRUE(settings.contains("[Comport]\r\n3\r\n"));
    EXPECT_TRUE(settings.contains("[SearchCom]\r\n 255 \r\n"));
}

TEST(EndToEndPorts, SearchFixesThePortWhereTheEcuAnswers) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(1, true); // COM1 and COM2 lead nowhere
    staged.MapCom(3, staged.StartSim("com3"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(StagedProgram::WaitFor(
        [&] {
            const QByteArray settings = staged.Read("BIN/SetCom.ini");
            return settings.contains("[SearchCom]\r\n 255 \r\n");
        },
        LongMs));
    const QByteArray settings = staged.Read("BIN/SetCom.ini");
    EXPECT_TRUE(settings.contains("[Comport]\r\n3\r\n")) << settings.constData();
    EXPECT_TRUE(settings.contains("[UsbCom]\r\n 0 \r\n"));
    EXPECT_TRUE(StagedProgram::WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; },
                                       LongMs));
    EXPECT_TRUE(staged.Events().isEmpty());
}

} // namespace
} // namespace e2e
