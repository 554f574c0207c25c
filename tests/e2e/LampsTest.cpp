// What the General page tells the installer goes out when the ECU says so, as drawn:
// the KEY lamp after the key is turned off, the EV 1 and EV 2 lamps after gas and back
// to petrol, and the injector labels as the chooser moves on and back to all injectors.
// Driven through the program's test script against lx735-sim.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QDebug>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndLamps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1"));
        // On petrol and asking for petrol: a warm ECU asking for gas would change over by
        // itself while the test looks.
        ASSERT_TRUE(
            staged.SimControl("com1", "set key 1\nset rpm 2000\nset reducer 90\nzone2 0 00"));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(
            WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; }, LongMs * 1ms));
        // Past the pages' refresh after the first complete read, which also sets the
        // injector chooser back to all injectors.
        ASSERT_TRUE(staged.Run({"until CmbSwtchTemp text 35 60000"}));
        // The button face: the injector labels stand in it while all injectors are chosen.
        face = Back("LblInj(0)");
        ASSERT_FALSE(face.isEmpty());
    }

    QString Back(const QString& name) {
        const auto fields = staged.ReadControl(name);
        return fields ? fields->value("back") : QString("<not read>");
    }
    // Waits until the control is drawn in the button face (or, with lit, in another colour).
    bool Drawn(const QString& name, bool lit) {
        return WaitFor([&] { return (Back(name) == face) != lit; }, LongMs * 1ms);
    }
    // Clicks the logo and waits until the switch it asks for has ended: the ECU sent back to
    // run mode and polled again. A click while a switch is under way asks for nothing.
    bool SwitchFuel() {
        if (!staged.Run({"click ImgLogo"})) {
            return false;
        }
        const qint64 clicked = staged.CommandMs("click ImgLogo");
        QList<LoggedExchange> run;
        return WaitFor(
                   [&] {
                       run = GoodExchangesAfter(staged, "CMD_SET_ECU_RUN", clicked);
                       return !run.isEmpty();
                   },
                   LongMs * 1ms) &&
               WaitForRequestsAfter(staged, "CMD_READ_MEM1", run.first().ms, 1, LongMs);
    }
    // The injector labels as drawn: True where a label stands out of the button face.
    QList<bool> Marked() {
        QList<bool> marked;
        for (int i = 0; i < 4; ++i) {
            marked << (Back(QStringLiteral("LblInj(%1)").arg(i)) != face);
        }
        return marked;
    }

    StagedProgram staged;
    QString face;
};

TEST_F(EndToEndLamps, TheKeyLampGoesOutWithTheKey) {
    ASSERT_TRUE(Drawn("CkbKey", true)) << Back("CkbKey").toStdString();
    ASSERT_TRUE(staged.SimControl("com1", "set key 0"));
    EXPECT_TRUE(Drawn("CkbKey", false)) << Back("CkbKey").toStdString();
    EXPECT_EQ(staged.ReadControl("CkbKey")->value("checked"), "0");
}

TEST_F(EndToEndLamps, TheValveLampsGoOutBackOnPetrol) {
    const QStringList valves = {"CkbeV_01", "CkbeV_02"};
    for (const QString& lamp : valves) {
        ASSERT_TRUE(Drawn(lamp, false)) << "on petrol " << lamp.toStdString();
    }
    // The logo asks for gas, and again for petrol.
    ASSERT_TRUE(SwitchFuel());
    for (const QString& lamp : valves) {
        ASSERT_TRUE(Drawn(lamp, true)) << "on gas " << lamp.toStdString();
    }
    ASSERT_TRUE(SwitchFuel());
    for (const QString& lamp : valves) {
        EXPECT_TRUE(Drawn(lamp, false))
            << "back on petrol " << lamp.toStdString() << " " << Back(lamp).toStdString();
    }
}

TEST_F(EndToEndLamps, OnlyTheChosenInjectorsLabelIsMarked) {
    const struct {
        int choice;
        int marked; // label index, -1 none
    } steps[] = {{3, 2}, {4, 3}, {0, -1}};
    for (const auto& step : steps) {
        ASSERT_TRUE(staged.Run({"choose CmbInj " + QString::number(step.choice)}));
        QList<bool> expected;
        for (int i = 0; i < 4; ++i) {
            expected << (i == step.marked);
        }
        // The labels follow the choice once the page has redrawn them.
        QList<bool> marked;
        EXPECT_TRUE(WaitFor(
            [&] {
                marked = Marked();
                return marked == expected;
            },
            LongMs * 1ms))
            << "choice " << step.choice << ": " << QDebug::toString(marked).toStdString();
    }
}

} // namespace
} // namespace e2e
