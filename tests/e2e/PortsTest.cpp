// The port in use, end to end: the program on a fixed COM3 talks to the simulated ECU
// there, and a search started from the settings file walks the ports until the ECU
// answers, then fixes that port in BIN/SetCom.ini; why a port cannot be opened reads
// whole in the status bar. (The Device menu's own choices are tested in process: the
// program takes no remote commands.)

#include "StagedProgram.h"
#include "common/Wait.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

TEST(EndToEndPorts, FixedCom3TalksToTheEcuThere) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(3, false);
    staged.MapCom(3, staged.StartSim("com3"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; }, LongMs * 1ms));
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
    ASSERT_TRUE(WaitFor(
        [&] {
            const QByteArray settings = staged.Read("BIN/SetCom.ini");
            return settings.contains("[SearchCom]\r\n 255 \r\n");
        },
        LongMs * 1ms));
    const QByteArray settings = staged.Read("BIN/SetCom.ini");
    EXPECT_TRUE(settings.contains("[Comport]\r\n3\r\n")) << settings.constData();
    EXPECT_TRUE(settings.contains("[UsbCom]\r\n 0 \r\n"));
    EXPECT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 3; }, LongMs * 1ms));
    EXPECT_TRUE(staged.Events().isEmpty());
}

// The rightmost column of the cell's inside that holds ink (any colour but its back);
// -1 when none does.
int LastInkColumn(const QImage& picture, const QRect& cell, const QColor& back) {
    const QRect inside = cell.adjusted(3, 3, -3, -3); // within the frame lines
    for (int x = inside.right(); x >= inside.left(); --x) {
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            if ((picture.pixel(x, y) | 0xff000000u) != back.rgb()) {
                return x;
            }
        }
    }
    return -1;
}

// A fixed port whose device is missing: the reason and its remedy read whole in the
// status bar of the window at its start size, in both languages of the Language menu.
TEST(EndToEndPorts, WhyThePortCannotBeOpenedReadsWhole) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(1, false);
    staged.MapCom(1, "/dev/ttyLX9");
    ASSERT_TRUE(staged.StartProgram());
    const struct {
        const char* language;
        const char* text;
    } cases[] = {
        {"MnuLngT(1)",
         "COM1 (/dev/ttyLX9): dispositivo assente; collegare il cavo o cambiare porta"},
        {"MnuLngT(0)",
         "COM1 (/dev/ttyLX9): no such device; plug in the cable or pick another port"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        ASSERT_TRUE(
            staged.Run({QString("click %1").arg(c.language),
                        QString("until TxtStatusBar(0) text \"%1\" %2").arg(text).arg(LongMs)},
                       LongMs + 20000));
        const auto fields = staged.ReadControl("TxtStatusBar(0)");
        const std::optional<QImage> picture =
            Grab(staged, staged.Path(QString("ports-%1.png").arg(c.language)));
        ASSERT_TRUE(fields && picture);
        EXPECT_EQ(fields->value("text"), text);
        // Text cut off at the cell's edge leaves ink in its last few columns (the text
        // stops 4 pixels inside the cell): a whole text ends well before them.
        const QRect cell = RectOf(*fields);
        const int lastInk = LastInkColumn(*picture, cell, QColor(fields->value("back")));
        EXPECT_GT(lastInk, cell.left() + cell.width() / 2) << "the text is drawn";
        EXPECT_LT(lastInk, cell.right() - 4 - 6) << "the text ends inside the cell";
    }
}

} // namespace
} // namespace e2e
