// The mouse wheel of the real program against lx735-sim: with the pointer only resting
// on a Configuration combo it writes nothing into the ECU; once the combo has the
// keyboard focus, the wheel changes it and the ECU follows.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndWheel : public testing::Test {
protected:
    // On a desktop with a window manager, which gives the program's window the keyboard
    // as an installer's desktop does (offscreen, no window is active once the splash
    // has gone, so nothing could have the focus).
    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
                << tool << " is not installed (scripts/install-deps.sh)";
        }
        ASSERT_FALSE(x.Display().isEmpty()) << "Xvfb did not come up";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", x.Display());
        ASSERT_TRUE(windowManager.Start("openbox", {}, environment));
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.StartProgram(x.Display()));
        ASSERT_TRUE(staged.Run({"tab SstMain 1", "until CmbSwtchTemp text 35 60000"}));
    }
    QString Zone(const QString& image, int offset, int count) {
        const std::optional<SimDump> dump = staged.SimState("com1");
        return dump ? dump->Hex(image, offset, count) : "<no dump>";
    }
    QString Text(const QString& control) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value("text") : "<refused>";
    }

    XServer x; // before the program, which it outlives
    Child windowManager;
    StagedProgram staged;
};

TEST_F(EndToEndWheel, AConfigurationComboTakesTheWheelOnlyWithTheFocus) {
    ASSERT_EQ(Zone("zone3", 2, 2), "23 00") << "35 degrees";
    const QString unfocused = "wheel CmbSwtchTemp -2";
    ASSERT_TRUE(staged.Run({unfocused}));
    // A change would be written at the latest after the next zone-3 read; watch three.
    const qint64 turned = staged.CommandMs(unfocused);
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_MEM3", turned, 3, LongMs));
    EXPECT_TRUE(RequestsAfter(staged, "CMD_WRT_MEM3", turned).isEmpty());
    EXPECT_EQ(Zone("zone3", 2, 2), "23 00");
    EXPECT_EQ(Text("CmbSwtchTemp"), "35");

    // Reached with the keyboard (a key pressed on it takes the focus there first), the
    // combo has the focus once its window is active: two notches towards the installer
    // move it two items down.
    ASSERT_TRUE(staged.Run({"key CmbSwtchTemp Shift",
                            QStringLiteral("until CmbSwtchTemp focus 1 %1").arg(LongMs),
                            "wheel CmbSwtchTemp -2"}));
    EXPECT_TRUE(WaitFor([&] { return Zone("zone3", 2, 2) == "2D 00"; }, LongMs * 1ms))
        << Zone("zone3", 0, 8).toStdString();
    EXPECT_EQ(Text("CmbSwtchTemp"), "45");
}

} // namespace
} // namespace e2e
