// The warning and selection colours of the real program as its window's picture shows
// them, on the simulated ECU: the slope box beyond its limit, the temperature box while
// the calibration waits for the reducer to warm, and the Lambda page's grid selection.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QProcessEnvironment>
#include <QRect>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString Red = "#ff0000";
const QString Yellow = "#ffff00";
const QString Black = "#000000";

int Pixels(const QImage& picture, const QRect& rect, const QString& colour) {
    const QRgb wanted = QColor(colour).rgb();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            count += (picture.pixel(x, y) | 0xff000000u) == wanted;
        }
    }
    return count;
}

// A small square near the top left corner of a cell of the 4 x 12 grid at that
// rectangle, clear of the cell's text and lines.
QRect CellCorner(const QRect& grid, int row, int col) {
    const double width = grid.width() / 12.0;
    const double height = grid.height() / 4.0;
    return {grid.left() + int((col + 0.15) * width), grid.top() + int((row + 0.25) * height), 3, 3};
}

class EndToEndColours : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }
    // The simulated ECU as its control lines set it, and the program connected to it.
    // On a desktop with a window manager, as an installer's: offscreen no window is
    // active once the splash has gone, so no control could take or lose the focus.
    void OnDesktop() {
        for (const char* tool : {"Xvfb", "openbox"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
                << tool << " is not installed (scripts/install-deps.sh)";
        }
        x = std::make_unique<XServer>();
        ASSERT_FALSE(x->Display().isEmpty()) << "Xvfb did not come up";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", x->Display());
        ASSERT_TRUE(windowManager.Start("openbox", {}, environment));
    }
    void Start(const QString& simLines, const QString& display = QString()) {
        const QString link = staged.StartSim("ecu", {"--fast"});
        ASSERT_FALSE(link.isEmpty());
        ASSERT_TRUE(staged.SimControl("ecu", simLines));
        staged.MapCom(1, link);
        ASSERT_TRUE(staged.StartProgram(display));
        ASSERT_TRUE(
            WaitFor([&] { return !staged.Requests("CMD_READ_ERR").isEmpty(); }, LongMs * 1ms));
    }
    // Grabs the window until its picture shows the control in these colours ("none" for a
    // fore colour not looked for); the last miss when it never did within the bound.
    QString SeenWithin(const QString& control, const QString& back, const QString& fore) {
        QString miss = "no picture";
        int grabs = 0;
        WaitFor(
            [&] {
                std::optional<QMap<QString, QString>> fields = staged.ReadControl(control);
                const std::optional<QImage> picture =
                    Grab(staged, staged.Path(QString("colours-%1.png").arg(++grabs)));
                if (!fields || !picture) {
                    return false;
                }
                fields->insert("back", back);
                fields->insert("fore", fore);
                miss = PictureMisses(*picture, *fields);
                return miss.isEmpty();
            },
            LongMs * 1ms);
        return miss;
    }

    std::unique_ptr<XServer> x; // before the program, which it outlives
    Child windowManager;
    StagedProgram staged;
};

// The slope raised past its maximum (1.25 in the staged scales): the box blinks red.
TEST_F(EndToEndColours, TheSlopeBoxBeyondItsLimitIsDrawnRed) {
    ASSERT_TRUE(staged.StartConnected());
    ASSERT_TRUE(staged.Run({"tab SstMain 3", "until LblPntMod(7) visible 1 60000",
                            "until SstMain enabled 1 " + QString::number(LongMs)}));
    QStringList steps(30, "click CmdAlfaUp");
    ASSERT_TRUE(staged.Run(steps));
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto fields = staged.ReadControl("TxtALfaPos");
            return fields && fields->value("text").replace(',', '.').toDouble() > 1.25;
        },
        LongMs * 1ms));
    EXPECT_EQ(SeenWithin("TxtALfaPos", Red, "none").toStdString(), "");
    // And back in its normal colour between: the box of the selected line is yellow.
    EXPECT_EQ(SeenWithin("TxtALfaPos", Yellow, "none").toStdString(), "");
}

// A cold reducer holds the calibration at its start: the temperature box blinks between
// yellow with black digits and black with yellow digits.
TEST_F(EndToEndColours, TheTemperatureWaitBlinksTheTemperatureBox) {
    Start("set rpm 2200\nset petrol 3.0\nset reducer 40\nzone2 0 00");
    ASSERT_TRUE(
        staged.Run({"tab SstMain 2", "until CmdCalStart enabled 1 60000", "click CmdCalStart"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto fields = staged.ReadControl("LblCalMsg");
            return fields && fields->value("text").endsWith(" 40 < 50");
        },
        LongMs * 1ms));
    EXPECT_EQ(SeenWithin("TxtTmpVap(1)", Yellow, Black).toStdString(), "");
    EXPECT_EQ(SeenWithin("TxtTmpVap(1)", Black, Yellow).toStdString(), "");
}

// The focused grid's current cell is yellow; the grid the focus left shows no selection,
// as it looked before it was ever selected.
TEST_F(EndToEndColours, OnlyTheFocusedGridShowsItsSelection) {
    OnDesktop();
    // The ECU's emulation on, so that the grids take input; the developer view shows
    // the page.
    Start("zone2 11 02", x->Display());
    ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+X", "tab SstMain 4",
                            "until GrdEmul enabled 1 60000"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::optional<GridCells> cells = staged.Grid("GrdRpm");
            return cells && !cells->rows.value(0).value(0).isEmpty();
        },
        LongMs * 1ms));
    const auto emulFields = staged.ReadControl("GrdEmul");
    const auto barFields = staged.ReadControl("GrdBar");
    ASSERT_TRUE(emulFields && barFields);
    const QRect emul = RectOf(*emulFields);
    const QRect bar = RectOf(*barFields);
    // A key pressed on a grid takes the focus there, as a click of the installer's does.
    ASSERT_TRUE(staged.Run({"key GrdEmul Shift", "click GrdEmul 1 2", "click GrdEmul 2 4 Shift"}));
    const std::optional<QImage> inTable = Grab(staged, staged.Path("grids-table.png"));
    ASSERT_TRUE(inTable);
    EXPECT_EQ(Pixels(*inTable, CellCorner(emul, 2, 4), Yellow),
              CellCorner(emul, 2, 4).width() * CellCorner(emul, 2, 4).height())
        << "the current cell";
    EXPECT_EQ(Pixels(*inTable, bar, Yellow), 0);
    // The rest of the block in the selection's colour, while the table has the focus.
    const QRect blockCell = CellCorner(emul, 1, 2);
    const QString selection = inTable->pixelColor(blockCell.topLeft()).name();
    EXPECT_EQ(Pixels(*inTable, blockCell, selection), blockCell.width() * blockCell.height());

    ASSERT_TRUE(staged.Run({"key GrdBar Shift", "click GrdBar 2 0"}));
    const std::optional<QImage> inBar = Grab(staged, staged.Path("grids-bar.png"));
    ASSERT_TRUE(inBar);
    EXPECT_GT(Pixels(*inBar, bar, Yellow), 100);
    EXPECT_EQ(Pixels(*inBar, emul, Yellow), 0);
    EXPECT_EQ(Pixels(*inBar, emul, selection), 0);
}

} // namespace
} // namespace e2e
