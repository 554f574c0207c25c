// The General page against the simulated ECU on simulated time: the values the page
// shows follow the ECU's engine through the scales of the wire, the logo switches the
// fuel, an error raised in the ECU shows the error button and its state in the list,
// Clear empties the ECU's errors, and the service window shows and erases its hours.

#include "LiveWindowRig.h"
#include "common/Wait.h"

#include "ecudata/EcuErrorTexts.h"
#include "monitor/FrmErrEcu.h"
#include "monitor/FrmService.h"
#include "sim/Faults.h"
#include "sim/Memory.h"
#include "sim/Scales.h"
#include "support/Conversions.h"
#include "support/UCtrlBar.h"
#include "ui/Controls.h"

#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cmath>

using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace monitor_test {
namespace {

// What the ECU sends for a value: its nearest count of the wire's unit.
double OnTheWire(double value, double unit) {
    return std::nearbyint(value / unit) * unit;
}

class LivePageSimTest : public LiveWindowRig {
protected:
    LivePageSimTest() {
        sim::EngineState& e = ecu.Engine();
        e.key = true;
        e.rpm = 2000;
        e.petrolMs = 5.0;
        e.gasDeltaMs = 0.8;
        e.gasPressureMbar = 1150;
        e.press2Mbar = 450;
        e.vacuumMbar = 600;
        e.reducerTempC = 45;
        e.gasTempC = 22;
        e.supplyV = 13.8;
        e.lambda1V = 0.45;
        e.lambda2V = 0.7;
        StartTimers();
        EXPECT_TRUE(WaitFor(
            [this] { return context->Requests.FirmwareOk && !context->Requests.FirstReadPending; },
            60s))
            << "identified and read";
    }

    QString Fixed(double value, int decimals, int digits) {
        return support::FormatFixed(value, decimals, digits, context->DecimalSep);
    }
    int Segments(const QString& bar) {
        const auto& b = dynamic_cast<support::UCtrlBar&>(Widget(bar));
        return b.Valore() / b.StepVal();
    }
    // Petrol time of injector i as the ECU spreads it.
    double PetrolMs(int i) {
        return OnTheWire(ecu.Engine().petrolMs * (1 + 0.03 * std::sin(1.7 * i)), sim::kTimeInjMs);
    }
};

TEST_F(LivePageSimTest, PageFollowsTheEngine) {
    RunFor(3s); // the smoothed values settle
    const int rpm = Text("TxtRpm(0)").toInt();
    EXPECT_NEAR(rpm, 2000, 1);
    EXPECT_EQ(Text("TxtRpm(1)"), Text("TxtRpm(0)"));
    EXPECT_EQ(Text("TxtTmpVap(0)"), "45");
    EXPECT_EQ(Text("TxtTmpGas(1)"), "22");
    EXPECT_EQ(Text("TxtPressure(0)"), Fixed(OnTheWire(1150, sim::kMapInMbar) / 1000, 3, 1));
    EXPECT_EQ(Text("TxtVacuum"), Fixed(OnTheWire(450, sim::kMapIn1Mbar) / 1000, 3, 1));
    EXPECT_EQ(Text("TxtSupply"), Fixed(OnTheWire(13.8, sim::kSupplyV), 1, 1));
    EXPECT_EQ(Text("TxtSupply"), "13,8");

    // The ECU changes over to gas once warm: petrol 5 ms, gas 5 + 0.8 ms.
    ASSERT_EQ(ecu.FuelState(), sim::kFuelGas);
    double average = 0;
    for (int i = 0; i < 4; ++i) {
        average += PetrolMs(i);
        EXPECT_EQ(Segments(ui::ArrayName("InjPetBar", i)), 5) << i;
        EXPECT_EQ(Segments(ui::ArrayName("InjGasBar", i)), 6) << i;
    }
    EXPECT_EQ(Text("TxtInjTimePet(0)"), Fixed(average / 4, 2, 2));
    EXPECT_EQ(Text("CkbKey"), "KEY");
    EXPECT_TRUE(Text("TxtStatusBar(2)").startsWith("Time: 0:00:"));

    ecu.Engine().key = false;
    RunFor(1s);
    EXPECT_EQ(Text("TxtRpm(0)"), "0000");
    EXPECT_EQ(Segments("InjPetBar(0)"), 0);
}

TEST_F(LivePageSimTest, LambdaFollowsTheProbes) {
    RunFor(1s);
    EXPECT_EQ(Text("TxtLambda(0)"), Fixed(OnTheWire(0.45, sim::kLambdaV), 3, 1));
    EXPECT_EQ(Text("TxtLambda2(1)"), Fixed(OnTheWire(0.7, sim::kLambdaV), 3, 1));
}

TEST_F(LivePageSimTest, LogoClickSwitchesTheFuelAndTheGasBarsFollow) {
    ASSERT_TRUE(WaitFor([this] { return Text("CkbStatoAlim") == "GAS"; }, 20s));
    ASSERT_TRUE(WaitFor([this] { return Segments("InjGasBar(3)") == 6; }, 20s));

    QTest::mouseClick(&Widget("ImgLogo"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return Text("CkbStatoAlim") == "BNZ"; }, 20s));
    EXPECT_EQ(ecu.FuelState(), sim::kFuelPetrol);
    RunFor(1s);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Segments(ui::ArrayName("InjGasBar", i)), 0) << "on petrol " << i;
        EXPECT_EQ(Segments(ui::ArrayName("InjPetBar", i)), 5) << i;
    }

    QTest::mouseClick(&Widget("ImgLogoS"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return Text("CkbStatoAlim") == "GAS"; }, 20s));
    EXPECT_TRUE(WaitFor([this] { return Segments("InjGasBar(0)") == 6; }, 20s));
}

TEST_F(LivePageSimTest, ErrorRaisedInTheEcuShowsAndClears) {
    EXPECT_TRUE(Hidden("CmdErrInj"));
    ecu.ErrorBytes()[3] = 1;
    ASSERT_TRUE(WaitFor([this] { return !Hidden("CmdErrInj"); }, 504 * 14ms + 1s))
        << "within one error-read period";
    EXPECT_EQ(context->Comm().ErrInj(3), 1);
    QTest::mouseClick(&static_cast<QPushButton&>(Widget("CmdErrInj")), Qt::LeftButton);
    monitor::FrmErrEcu& list = Live().ErrorList();
    ASSERT_FALSE(list.isHidden());
    const QStringList& texts = context->Texts.EcuErrorTexts;
    EXPECT_EQ(list.Grid().item(3, 1)->text(), ecudata::GetErrEcuSubText(texts, 3, 1));
    EXPECT_EQ(list.Grid().item(3, 1)->text(), "Short circuit");

    QTest::mouseClick(&static_cast<QPushButton&>(Widget("CmdErrInjCanc")), Qt::LeftButton);
    EXPECT_EQ(ecu.ErrorBytes(), QByteArray(sim::kErrorBytes, '\0'));
    EXPECT_TRUE(list.Grid().item(3, 1)->text().isEmpty());
    EXPECT_TRUE(Hidden("CmdErrInj"));
    RunFor(504 * 14ms + 1s);
    EXPECT_TRUE(Hidden("CmdErrInj")) << "the next read finds no error";
}

TEST_F(LivePageSimTest, ServiceWindowShowsTheEcuHoursAndEraseZeroesThem) {
    sim::PutU32(ecu.Ram().zone2, sim::kZ2HoursGas, 123);
    sim::PutU32(ecu.Ram().zone2, sim::kZ2HoursPetrol, 45);
    ASSERT_TRUE(WaitFor([this] { return context->Images.Mem2Data.HoursGas == 123; }, 5s));
    Live().CmdService_Click();
    EXPECT_EQ(Text("LblTimeGas"), "Hours on gas:  123");
    EXPECT_EQ(Text("LblTimePetrol"), "Hours on petrol:  45");

    QTest::mouseClick(&static_cast<QPushButton&>(Widget("CmdErase")), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return context->Images.Mem2Data.HoursGas == 0; }, 5s));
    EXPECT_EQ(sim::GetU32(ecu.Ram().zone2, sim::kZ2HoursGas), 0u);
    EXPECT_EQ(sim::GetU32(ecu.Ram().zone2, sim::kZ2HoursPetrol), 0u);
    EXPECT_EQ(context->Images.Mem2Data.HoursBenz, 0);
}

} // namespace
} // namespace monitor_test

namespace monitor_test {
namespace {

// Every live record offers its operating point to the point log, with the average
// petrol time the injector display keeps.
TEST_F(LivePageSimTest, PointLogCarriesTheAveragePetrolTime) {
    RunFor(1s);
    context->Comm().FlagLogPoint(true);
    ecu.Engine().rpm = 3000; // another cell of the log
    ASSERT_TRUE(WaitFor(
        [this] {
            return QFile::exists(tree.Path("BIN/LogPoint.TXT")) &&
                   tree.Read("BIN/LogPoint.TXT").contains(" mSec");
        },
        5s));
    const QByteArray text = tree.Read("BIN/LogPoint.TXT");
    const QByteArray line = text.left(text.lastIndexOf(" mSec"));
    const double logged = QString(line.right(6)).trimmed().replace(',', '.').toDouble();
    double average = 0;
    for (int i = 0; i < 4; ++i) {
        average += PetrolMs(i) / 4;
    }
    EXPECT_NEAR(logged, average, 0.001);
}

// An ECU that stops answering leaves no value looking live: the page and the frame are
// emptied at the first try left unanswered, and filled again by the next live record.
TEST_F(LivePageSimTest, ASilentEcuEmptiesTheLiveValuesUntilItAnswersAgain) {
    RunFor(3s);
    const char* boxes[] = {"TxtRpm(0)",        "TxtRpm(1)",        "TxtTmpVap(0)",
                           "TxtTmpGas(1)",     "TxtPressure(0)",   "TxtSupply",
                           "TxtInjTimePet(0)", "TxtInjTimeGas(1)", "TxtLambda(0)"};
    for (const char* box : boxes) {
        ASSERT_FALSE(Text(box).isEmpty()) << box;
    }
    sim::Fault silence;
    silence.kind = sim::FaultKind::Silence;
    silence.count = sim::kForever;
    ecu.AddFault(silence);
    ASSERT_TRUE(WaitFor([this] { return context->Comm().NoReply(); }, 10s));
    RunFor(500ms);
    for (const char* box : boxes) {
        EXPECT_EQ(Text(box), "") << box;
    }
    EXPECT_EQ(Segments("InjPetBar(0)"), 0);

    ecu.ClearFaults();
    for (const char* box : boxes) {
        EXPECT_TRUE(WaitFor([&] { return !Text(box).isEmpty(); }, 20s)) << box;
    }
}

} // namespace
} // namespace monitor_test
