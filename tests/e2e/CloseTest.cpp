// Closing the real program while the ECU is still owed something, against lx735-sim:
// an edit not yet written goes out before the program ends; with the link lost the
// installer is asked, and No keeps the program and the edit; a close during a
// calibration undoes it first.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString AskWithoutWriting = "Some changes are not yet written to the ECU";
const QString AskCalibration = "An automatic calibration is under way.";

class EndToEndClose : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // The Configuration tab, once the first read is shown on it.
    void OpenConfiguration() {
        ASSERT_TRUE(staged.StartConnected("com1"));
        ASSERT_TRUE(staged.Run({"tab SstMain 1", "until CmbSwtchTemp text 35 60000"}));
    }
    QString Zone(const QString& image, int offset, int count) {
        const std::optional<SimDump> dump = staged.SimState("com1");
        return dump ? dump->Hex(image, offset, count) : "<no dump>";
    }
    int BoxesSaying(const QString& text) {
        int n = 0;
        for (const QString& box : staged.MessageBoxes()) {
            n += box.contains(text) ? 1 : 0;
        }
        return n;
    }
    bool Ended() { return staged.WaitForProgramEnd(LongMs).has_value(); }

    StagedProgram staged;
};

// The first write of the edit is lost on the line: it is still on its way when the close
// comes, and goes out on the link's resend.
TEST_F(EndToEndClose, AnEditPendingAtTheCloseIsWrittenBeforeTheProgramEnds) {
    OpenConfiguration();
    ASSERT_TRUE(staged.SimControl("com1", "silence cmd=17 count=1"));
    ASSERT_TRUE(staged.SendScript({"choose CmbSwtchTemp \"45\"", "close"}));
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Zone("zone3", 2, 1), "2D");
    EXPECT_EQ(BoxesSaying(AskWithoutWriting), 0);
}

TEST_F(EndToEndClose, WithTheLinkLostTheInstallerIsAskedAndNoKeepsTheEdit) {
    OpenConfiguration();
    ASSERT_TRUE(staged.SimControl("com1", "silence count=forever"));
    ASSERT_TRUE(staged.SendScript({"answer No", "choose CmbSwtchTemp \"45\"", "close"}));
    ASSERT_TRUE(WaitFor([&] { return BoxesSaying(AskWithoutWriting) == 1; }, LongMs * 1ms));
    EXPECT_TRUE(staged.ProgramRunning());

    // The ECU answers again: the edit kept goes out, and a close now just ends.
    ASSERT_TRUE(staged.SimControl("com1", "clear"));
    ASSERT_TRUE(WaitFor([&] { return Zone("zone3", 2, 1) == "2D"; }, LongMs * 1ms));
    ASSERT_TRUE(staged.SendScript({"close"}));
    ASSERT_TRUE(Ended());
    EXPECT_EQ(BoxesSaying(AskWithoutWriting), 1);
}

// The engine at 2200 rpm on petrol; the close comes once the calibration has put the ECU in
// slave mode and its working table in place.
TEST_F(EndToEndClose, ACloseDuringACalibrationUndoesItFirst) {
    ASSERT_TRUE(staged.StartOnCalibrationTab("set target 1.04"));
    const std::optional<SimDump> start = staged.SimState("com1");
    ASSERT_TRUE(start);
    ASSERT_TRUE(staged.Run({"click CmdCalStart", "until LblCalStep text \"\\r\\nStep 02\" 120000"},
                           150000));
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::optional<SimDump> now = staged.SimState("com1");
            return now && now->mode == "slave" &&
                   now->images.value("correction") != start->images.value("correction");
        },
        LongMs * 1ms));

    ASSERT_TRUE(staged.SendScript({"answer Yes", "close"}));
    ASSERT_TRUE(Ended());
    EXPECT_EQ(BoxesSaying(AskCalibration), 1);
    const std::optional<SimDump> end = staged.SimState("com1");
    ASSERT_TRUE(end);
    EXPECT_EQ(end->mode, "run");
    EXPECT_EQ(end->images.value("zone3"), start->images.value("zone3"));
    EXPECT_EQ(end->images.value("correction"), start->images.value("correction"));
    EXPECT_EQ(end->Hex("zone2", 0, 1), start->Hex("zone2", 0, 1)); // the supply mode
}

} // namespace
} // namespace e2e
