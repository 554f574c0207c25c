// The Modeling page of the real program against lx735-sim, driven by its controls: a
// point step and an offset step written into the ECU's correction table, the ECU's table
// shown as the model, the injector type's rule applied, the reset to the default table,
// the model through a parameter file, and a saved file that restores the ECU's table.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

class EndToEndModeling : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // The simulator with its control lines, then the program, connected and on the
    // Modeling tab with its points shown.
    void Open(const QString& simLines = {}) {
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        if (!simLines.isEmpty()) {
            ASSERT_TRUE(staged.SimControl("com1", simLines));
        }
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(WaitForSettingsRead(staged, LongMs));
        // The tab strip stays disabled while the page reads the ECU's table afresh.
        ASSERT_TRUE(staged.Run({"tab SstMain 3", "until LblPntMod(7) visible 1 60000",
                                "until SstMain enabled 1 " + QString::number(LongMs)}));
    }
    // A box's text with the decimal mark as a point, whatever the locale.
    QString Text(const QString& control) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value("text").replace(',', '.') : "<refused>";
    }
    bool TextBecomes(const QString& control, const QString& text) {
        return WaitFor([&] { return Text(control) == text; }, LongMs * 1ms);
    }
    // Correction cells as the simulated ECU holds them in RAM.
    QList<int> Cells(int from, int count) {
        const std::optional<SimDump> dump = staged.SimState("com1");
        return dump ? dump->Words("correction", from, count) : QList<int>();
    }
    int Cell(int k) {
        const QList<int> c = Cells(k, 1);
        return c.isEmpty() ? -99999 : c[0];
    }
    bool CellBecomes(int k, int value) {
        return WaitFor([&] { return Cell(k) == value; }, LongMs * 1ms);
    }
    QStringList RequestsSince(qsizetype from) {
        QStringList names;
        for (const LoggedRequest& r : staged.Requests().mid(from)) {
            if (r.name != "CMD_GET_ECO") {
                names << r.name;
            }
        }
        return names;
    }
    QString Title() {
        const auto window = staged.ReadControl("FrmLX735");
        return window ? window->value("title") : "<refused>";
    }
    void OffsetUp(int times = 1) {
        QStringList lines;
        for (int i = 0; i < times; ++i) {
            lines << "click CmdOffsetUp";
        }
        ASSERT_TRUE(staged.Run(lines));
    }

    StagedProgram staged;
};

TEST_F(EndToEndModeling, PointStepReachesTheEcuTable) {
    Open();
    const qint64 from = staged.LogLines().isEmpty() ? 0 : staged.LogLines().last().ms;
    ASSERT_TRUE(staged.Run({"click LblPntMod(3)", "click CmdUp"}));
    EXPECT_EQ(Text("TxtYPos(2)"), "0.1");
    // The table's answered exchanges only: the poll's own reads may come between them, and
    // a frame sent again after a lost reply counts once.
    const auto tableExchanges = [&] {
        QStringList names;
        for (const LoggedExchange& e : staged.Exchanges()) {
            if (e.ms > from && e.Good() && e.name.endsWith("_TBL_COR")) {
                names << e.name;
            }
        }
        return names;
    };
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList table = tableExchanges();
            const qsizetype write = table.indexOf("CMD_WRT_TBL_COR");
            return write >= 0 && table.mid(write).count("CMD_READ_TBL_COR") >= 4;
        },
        LongMs * 1ms))
        << tableExchanges().join(' ').toStdString();
    const QStringList table = tableExchanges();
    EXPECT_EQ(table.mid(table.indexOf("CMD_WRT_TBL_COR"), 8),
              QStringList(4, "CMD_WRT_TBL_COR") + QStringList(4, "CMD_READ_TBL_COR"));
    EXPECT_EQ(Cell(71), 13);
    EXPECT_EQ(Cell(186), 71);
}

TEST_F(EndToEndModeling, OffsetStepShiftsEveryCell) {
    Open();
    OffsetUp();
    EXPECT_EQ(Text("TxtOffsetPos"), "0.1");
    ASSERT_TRUE(CellBecomes(181, 104));
    EXPECT_EQ(Cells(0, 181), QList<int>(181, 13));
}

TEST_F(EndToEndModeling, TheEcusTableIsShownAsTheModel) {
    Open("cell 181 520\ncell 182 1100");
    EXPECT_TRUE(TextBecomes("TxtOffsetPos", "0.5"));
    EXPECT_TRUE(TextBecomes("TxtALfaPos", "1.10"));
}

TEST_F(EndToEndModeling, ComputeModelAppliesTheInjectorTypesRule) {
    QByteArray scale = staged.Read("LNG/ConfigScale.ini");
    ASSERT_TRUE(scale.contains("P7|+0|+150;R0|1|6"));
    scale.replace(scale.indexOf("P7|+0|+150;R0|1|6"), 17, "P1|+0|+100");
    QFile file(staged.Path("LNG/ConfigScale.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(scale);
    file.close();
    Open();
    OffsetUp(5);
    ASSERT_TRUE(CellBecomes(181, 520));
    ASSERT_EQ(Text("TxtOffsetPos"), "0.5");
    // The developer view (Shift+Ctrl+Alt+X and the password) shows the compute button.
    ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key SstMain Ctrl+Alt+Shift+X", "tab SstMain 2",
                            "until CmdComputeModl(0) visible 1 60000", "click CmdComputeModl(0)"}));
    EXPECT_TRUE(TextBecomes("TxtOffsetPos", "0.4")) << Text("TxtOffsetPos").toStdString();
    EXPECT_TRUE(CellBecomes(181, 420));
}

// Reset after an offset edit: the default set's table, the error clear and the flash
// save reach the ECU, nothing else of the set.
class EndToEndModelingReset : public EndToEndModeling, public testing::WithParamInterface<bool> {};

TEST_P(EndToEndModelingReset, SendsOnlyTheDefaultTable) {
    Open();
    OffsetUp();
    ASSERT_TRUE(CellBecomes(181, 104));
    if (GetParam()) {
        ASSERT_TRUE(staged.SimControl("com1", "status cmd=19 count=3"));
    }
    const qsizetype before = staged.Requests().size();
    ASSERT_TRUE(staged.Run({"answer Yes", "click CmdReset"}));
    ASSERT_TRUE(CellBecomes(181, 0));
    ASSERT_TRUE(
        WaitFor([&] { return RequestsSince(before).contains("CMD_SAVE_FLASH"); }, LongMs * 1ms));
    const QStringList requests = RequestsSince(before);
    EXPECT_TRUE(requests.contains("CMD_CANC_ERR"));
    for (const char* never :
         {"CMD_WRT_MEM3", "CMD_WRIT_EMUS", "CMD_WRITE_COMP_GAS_TEMP", "CMD_WRITE_COMP_RID_TEMP",
          "CMD_WRITE_COMP_PRES_GAS", "CMD_WRITE_CMP_SMAG"}) {
        EXPECT_FALSE(requests.contains(never)) << never;
    }
    EXPECT_EQ(Cells(0, 181), QList<int>(181, 0));
    EXPECT_TRUE(TextBecomes("TxtOffsetPos", "0.0"));
    EXPECT_TRUE(Title().endsWith("LNG/Default.Xar]")) << Title().toStdString();
}

INSTANTIATE_TEST_SUITE_P(FirstWrite, EndToEndModelingReset, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Refused" : "Taken"; });

TEST_F(EndToEndModeling, ResetOnCngQueuesTheCngDefaults) {
    Open("zone3 7 01");
    ASSERT_TRUE(staged.Run({"answer Yes", "click CmdReset"}));
    EXPECT_TRUE(WaitFor([&] { return Title().endsWith("LNG/DefaultCng.Xar]"); }, LongMs * 1ms))
        << Title().toStdString();
}

TEST_F(EndToEndModeling, ModelThroughAParameterFile) {
    Open();
    OffsetUp();
    ASSERT_TRUE(CellBecomes(181, 104));
    const QString saved = staged.Path("m.var");
    ASSERT_TRUE(staged.Run({"file \"" + saved + "\"", "click CmdModSave"}));
    ASSERT_TRUE(WaitFor([&] { return Title().endsWith(" - [" + saved + "]"); }, LongMs * 1ms))
        << staged.MessageBoxes().join("\n").toStdString() << Title().toStdString();
    QByteArray text = staged.Read("m.var");
    const qsizetype cor = text.indexOf("[COR]");
    ASSERT_GT(cor, 0);
    // The [COR] block ends with Offset, Alfa, the eight point cells and -1.
    const qsizetype alfa = text.lastIndexOf("\r\n 1\r\n 0\r\n 28\r\n");
    ASSERT_GT(alfa, cor);
    const qsizetype offset = text.lastIndexOf("\r\n", alfa - 1) + 2;
    EXPECT_TRUE(text.mid(offset, alfa - offset).replace(',', '.').startsWith(" 0.104"));
    // The file's numbers carry the locale's decimal mark.
    text.replace(offset, alfa - offset,
                 text.mid(offset, alfa - offset).contains(',') ? " 0,52" : " 0.52");
    QFile file(staged.Path("o.var"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    ASSERT_TRUE(
        staged.Run({"answer Yes", "file \"" + staged.Path("o.var") + "\"", "click CmdModOpen"}));
    EXPECT_TRUE(CellBecomes(181, 520));
    EXPECT_TRUE(TextBecomes("TxtOffsetPos", "0.5"));
}

TEST_F(EndToEndModeling, FileSavedConnectedRestoresTheEcusTable) {
    QString cells;
    for (int k = 0; k <= 180; k += 3) {
        cells += QString("cell %1 %2\n").arg(k).arg(k % 11 - 5);
    }
    Open(cells + "cell 181 300");
    ASSERT_TRUE(TextBecomes("TxtOffsetPos", "0.3")); // the ECU's table is the model
    const QList<int> before = Cells(0, 191);
    const QString saved = staged.Path("s.var");
    ASSERT_TRUE(staged.Run({"file \"" + saved + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(saved); }, LongMs * 1ms));
    ASSERT_TRUE(staged.SimControl("com1", "cell 10 77\ncell 100 -77\ncell 181 900"));
    ASSERT_TRUE(staged.Run({"file \"" + saved + "\"", "click MnuFileLoadConf"}));
    EXPECT_TRUE(WaitFor([&] { return Cells(0, 191) == before; }, LongMs * 1ms));
}

TEST_F(EndToEndModeling, GrabShowsTheChart) {
    Open("set animate 0"); // the engine's marker stays at the origin
    const std::optional<QImage> picture = Grab(staged, staged.Path("modeling.png"));
    ASSERT_TRUE(picture);
    // The model's points where they stand on the chart (the first lies under the engine's
    // marker at the origin).
    for (int k = 1; k < 8; ++k) {
        const auto point = staged.ReadControl(QString("LblPntMod(%1)").arg(k));
        ASSERT_TRUE(point) << k;
        EXPECT_EQ(PictureMisses(*picture, *point).toStdString(), "") << k;
    }
}

} // namespace
} // namespace e2e
