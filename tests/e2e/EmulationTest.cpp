// The Lambda page and the compensation-tables window driven as an installer drives
// them, on the simulated ECU: what reaches the ECU's memory and what the page shows.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
constexpr double S = static_cast<double>(19.6f);
// Live reads, a read every 8 poll ticks: 64 ticks, longer than any write's countdown, so
// a write asked for before them has gone out by then (writes are served before reads).
constexpr int PollsForAWrite = 8;

int Byte(StagedProgram& staged, const QString& image, int offset) {
    const std::optional<SimDump> dump = staged.SimState("ecu");
    if (!dump) {
        return -1;
    }
    const QByteArray bytes = dump->Bytes(image, offset, 1);
    return bytes.isEmpty() ? -1 : quint8(bytes[0]);
}

int Word(StagedProgram& staged, const QString& image, int offset) {
    const std::optional<SimDump> dump = staged.SimState("ecu");
    const QByteArray bytes = dump ? dump->Bytes(image, offset, 2) : QByteArray();
    return bytes.size() == 2 ? qint16(quint8(bytes[0]) | quint8(bytes[1]) << 8) : -99999;
}

bool Eventually(StagedProgram& staged, const QString& image, int offset, int value) {
    return WaitFor([&] { return Byte(staged, image, offset) == value; }, LongMs * 1ms);
}

// The cells of a grid's row as the grid shows them now.
QStringList GridRow(StagedProgram& staged, const QString& grid, int row) {
    const std::optional<GridCells> cells = staged.Grid(grid);
    return cells ? cells->rows.value(row) : QStringList();
}

QString Text(StagedProgram& staged, const QString& name) {
    const auto fields = staged.ReadControl(name);
    return fields ? fields->value("text") : QString("<none>");
}

class EndToEndEmulation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        ASSERT_TRUE(staged.StartConnected());
        ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+X"}));
    }
    int Writes(const QString& name) { return int(staged.Requests(name).size()); }
    // Waits until a write of that name is logged after ms; its time, -1 when none came.
    qint64 WrittenAfter(const QString& name, qint64 ms) {
        QList<LoggedRequest> writes;
        WaitFor([&] { return !(writes = RequestsAfter(staged, name, ms)).isEmpty(); },
                LongMs * 1ms);
        return writes.isEmpty() ? -1 : writes.first().ms;
    }
    // Waits for the live reads that a write asked for before ms would have gone out by.
    bool PollsPast(qint64 ms) {
        return WaitForRequestsAfter(staged, "CMD_READ_MEM1", ms, PollsForAWrite, LongMs);
    }

    StagedProgram staged;
};

TEST_F(EndToEndEmulation, TheLambdaPageEditsReachTheEcu) {
    ASSERT_TRUE(staged.Run({"tab SstMain 4", "choose CmbAbilEmula 1"}));
    ASSERT_TRUE(WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) != 0; }, LongMs * 1ms));
    ASSERT_TRUE(staged.Run({"choose CmbAbilEmula 0"}));
    ASSERT_TRUE(WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) == 0; }, LongMs * 1ms));
    ASSERT_TRUE(staged.Run({"choose CmbAbilEmula 1"}));
    ASSERT_TRUE(WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) != 0; }, LongMs * 1ms));

    // A threshold: Enter stores it, leaving with Tab writes nothing.
    ASSERT_TRUE(staged.Run({"until TxtEmulLevBassoAnte enabled 1 60000",
                            "click TxtEmulLevBassoAnte", "key TxtEmulLevBassoAnte Ctrl+A",
                            "type TxtEmulLevBassoAnte \"0.5\"", "key TxtEmulLevBassoAnte Return"}));
    EXPECT_EQ(Text(staged, "TxtEmulLevBassoAnte"), "0.51");
    ASSERT_GE(WrittenAfter("CMD_WRIT_EMUS", staged.CommandMs("key TxtEmulLevBassoAnte Return")), 0);
    ASSERT_TRUE(Eventually(staged, "emulation", 83, 26));
    ASSERT_TRUE(staged.Run({"click TxtEmulLevBassoAnte", "key TxtEmulLevBassoAnte Ctrl+A",
                            "type TxtEmulLevBassoAnte \"0.9\"", "key TxtEmulLevBassoAnte Tab"}));
    const qint64 left = staged.CommandMs("key TxtEmulLevBassoAnte Tab");
    ASSERT_TRUE(PollsPast(left));
    EXPECT_TRUE(RequestsAfter(staged, "CMD_WRIT_EMUS", left).isEmpty());
    EXPECT_EQ(Byte(staged, "emulation", 83), 26);

    // The value entry on a block of the table, then a cancelled one.
    ASSERT_TRUE(staged.Run(
        {"click GrdEmul 0 0", "key GrdEmul Shift+Right", "key GrdEmul Shift+Down",
         "key GrdEmul Return", "until FrmEnterValueLambda exists 1 60000",
         "type FrmEnterValueLambda.TxtValue \"0.45\"", "click FrmEnterValueLambda.CmdRet"}));
    ASSERT_TRUE(Eventually(staged, "emulation", 32 + 4 * 1 + 1, 23));
    for (int c = 0; c < 12; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(Byte(staged, "emulation", 32 + 4 * c + r), r <= 1 && c <= 1 ? 23 : 126)
                << r << c;
        }
    }
    ASSERT_TRUE(
        staged.Run({"key GrdEmul Return", "until FrmEnterValueLambda exists 1 60000",
                    "close FrmEnterValueLambda", "until FrmEnterValueLambda exists 0 60000"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const ProgramEvent& e : staged.Events()) {
                if (e.kind == "EVENT" && e.text == "beep 600 100") {
                    return true;
                }
            }
            return false;
        },
        LongMs * 1ms));

    // A held key: nothing written while it is held, one write after.
    const qint64 held = staged.Events().last().ms; // the block's write is in the ECU before
    ASSERT_TRUE(staged.Run({"hold GrdEmul KP_Add 1000"}));
    const qint64 released = staged.CommandMs("hold GrdEmul KP_Add 1000"); // recorded at its end
    const QStringList row0 = GridRow(staged, "GrdEmul", 0);
    ASSERT_EQ(row0.size(), 12);
    EXPECT_NE(row0[0], "0.45");
    const int code = int(std::nearbyint(row0[0].toDouble() * 1000 / S));
    const qint64 written = WrittenAfter("CMD_WRIT_EMUS", held);
    ASSERT_GE(written, 0);
    EXPECT_GE(written, released) << "nothing written while the key is held";
    ASSERT_TRUE(Eventually(staged, "emulation", 32, code));
    ASSERT_TRUE(PollsPast(written));
    EXPECT_EQ(GoodExchangesAfter(staged, "CMD_WRIT_EMUS", held).size(), 1);
    EXPECT_EQ(Byte(staged, "emulation", 32 + 4 + 1), code);

    // Breakpoints: the last stops at 6000, another at its right neighbour.
    ASSERT_TRUE(staged.Run({"click GrdRpm 0 11", "hold GrdRpm Shift+= 1000", "click GrdRpm 0 5",
                            "hold GrdRpm Shift+= 1000"}));
    EXPECT_TRUE(WaitFor(
        [&] {
            return Word(staged, "emulation", 22) == 6000 && Word(staged, "emulation", 10) == 3200;
        },
        LongMs * 1ms))
        << Word(staged, "emulation", 22) << " " << Word(staged, "emulation", 10);

    // A new lambda type.
    ASSERT_TRUE(staged.Run({"choose CmbSwtchLambda 4"}));
    ASSERT_TRUE(Eventually(staged, "zone3", 61, 4));
    ASSERT_TRUE(Eventually(staged, "emulation", 85, 45));
    for (int i = 32; i < 80; ++i) {
        EXPECT_EQ(Byte(staged, "emulation", i), 61) << i;
    }
    EXPECT_EQ(Byte(staged, "emulation", 82), 76);
    EXPECT_EQ(Byte(staged, "emulation", 83), 45);
    EXPECT_EQ(Byte(staged, "emulation", 84), 76);
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join("\n").toStdString();
}

// The parameter file's block as a hex line.
QString EmulaLineOf(const QByteArray& file) {
    const QList<QByteArray> lines = file.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() == "[EmulaLambda]") {
            return QString::fromLatin1(lines[i + 1].trimmed());
        }
    }
    return {};
}

TEST_F(EndToEndEmulation, AFileSentOffLineShowsItsBlockAndIsSavedAgain) {
    const QString saved = staged.Path("saved.var");
    ASSERT_TRUE(staged.Run({"click MnuOffLine", "until TxtStatusBar(1) text \"COM STOP\" 60000",
                            "file \"" + saved + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(saved); }, LongMs * 1ms));
    QByteArray file = staged.Read("saved.var");
    const QString line = EmulaLineOf(file);
    ASSERT_EQ(line.size(), 176);
    // The first table cell 0.45 V (code 23) and the first rpm breakpoint 1000.
    QString edited = line;
    edited.replace(0, 4, "E803");
    edited.replace(64, 2, "17");
    file.replace(line.toLatin1(), edited.toLatin1());
    QFile sent(staged.Path("sent.var"));
    ASSERT_TRUE(sent.open(QIODevice::WriteOnly));
    sent.write(file);
    sent.close();

    // The file is loaded on the next poll ticks.
    ASSERT_TRUE(
        staged.Run({"file \"" + sent.fileName() + "\"", "click MnuFileLoadConf", "tab SstMain 4"}));
    ASSERT_TRUE(
        WaitFor([&] { return GridRow(staged, "GrdEmul", 0).value(0) == "0.45"; }, LongMs * 1ms));
    EXPECT_EQ(GridRow(staged, "GrdRpm", 0).value(0), "1000");
    const QString again = staged.Path("again.var");
    ASSERT_TRUE(staged.Run({"file \"" + again + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(again); }, LongMs * 1ms));
    EXPECT_EQ(EmulaLineOf(staged.Read("again.var")), edited);

    // The picture shows the page with its table and breakpoints.
    const std::optional<QImage> picture = Grab(staged, staged.Path("lambda.png"));
    ASSERT_TRUE(picture);
    for (const char* grid : {"GrdEmul", "GrdRpm"}) {
        const auto fields = staged.ReadControl(grid);
        ASSERT_TRUE(fields) << grid;
        EXPECT_EQ(PictureMisses(*picture, *fields).toStdString(), "") << grid;
    }
}

TEST_F(EndToEndEmulation, TheCompensationWindowWritesOnceAfterAHeldKey) {
    ASSERT_TRUE(staged.Run({"tab SstMain 3", "until CmdTableComp enabled 1 60000",
                            "click CmdTableComp", "until FrmCompensaTbl exists 1 60000"}));
    EXPECT_EQ(GridRow(staged, "FrmCompensaTbl.GrdTemp", 0).value(1), "-20");
    EXPECT_EQ(GridRow(staged, "FrmCompensaTbl.GrdTemp", 0).value(15), "120");
    const auto check = staged.ReadControl("FrmCompensaTbl.ChkGrdTemp");
    ASSERT_TRUE(check);
    EXPECT_EQ(check->value("checked"), "1");
    EXPECT_EQ(Text(staged, "FrmCompensaTbl.CmbSmagAcc"), "8");

    ASSERT_TRUE(staged.Run(
        {"click FrmCompensaTbl.GrdTemp 1 3", "hold FrmCompensaTbl.GrdTemp KP_Add 1000"}));
    const int afterHold = Writes("CMD_WRITE_COMP_GAS_TEMP");
    EXPECT_EQ(afterHold, 0);
    const qint64 written = WrittenAfter("CMD_WRITE_COMP_GAS_TEMP", 0);
    ASSERT_GE(written, 0);
    ASSERT_TRUE(PollsPast(written));
    EXPECT_EQ(GoodExchangesAfter(staged, "CMD_WRITE_COMP_GAS_TEMP", 0).size(), 1);
    const QStringList percent = GridRow(staged, "FrmCompensaTbl.GrdTemp", 1);
    for (int c = 1; c <= 15; ++c) {
        EXPECT_EQ(qint8(Byte(staged, "compGasTemp", 2 * (c - 1) + 1)), percent.value(c).toInt())
            << c;
    }

    // Enable boxes and the step number.
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.ChkGrdTemp"}));
    ASSERT_TRUE(Eventually(staged, "compGasTemp", 30, 0));
    ASSERT_TRUE(staged.Run({"tab SstMain 0", "until LblCompAttiva visible 0 60000"}));
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.ChkGrdPres"}));
    const qint64 pressChecked = staged.CommandMs("click FrmCompensaTbl.ChkGrdPres");
    ASSERT_TRUE(WaitFor([&] { return Word(staged, "compPress", 60) == 1; }, LongMs * 1ms));
    EXPECT_EQ(Word(staged, "compPress", 62), 1);
    ASSERT_TRUE(PollsPast(WrittenAfter("CMD_WRITE_COMP_PRES_GAS", pressChecked)));
    EXPECT_EQ(GoodExchangesAfter(staged, "CMD_WRITE_COMP_PRES_GAS", pressChecked).size(), 1);
    ASSERT_TRUE(staged.Run(
        {"until LblCompAttiva visible 1 60000", "choose FrmCompensaTbl.CmbSmagAcc \"12\""}));
    ASSERT_TRUE(WaitFor([&] { return Word(staged, "compSmag", 62) == 12; }, LongMs * 1ms));
    EXPECT_EQ(Word(staged, "compSmag", 60), 0);

    // The leaning axis unlocked and stepped; the window closed with the change pending.
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.CmdModScala"}));
    EXPECT_EQ(Text(staged, "FrmCompensaTbl.CmdModScala"), "Blocca Scala");
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.GrdSmag 0 1", "key FrmCompensaTbl.GrdSmag F9"}));
    EXPECT_EQ(GridRow(staged, "FrmCompensaTbl.GrdSmag", 0).value(1), "1.008");
    ASSERT_TRUE(staged.Run({"close FrmCompensaTbl"}));
    ASSERT_TRUE(WaitFor([&] { return Word(staged, "compSmag", 0) == 126; }, LongMs * 1ms));
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join("\n").toStdString();
}

// Edits of the block in quick succession, each before the one before it is written: every
// one of them is in the ECU, and the page shows them.
TEST_F(EndToEndEmulation, LambdaEditsInQuickSuccessionAllReachTheEcu) {
    ASSERT_TRUE(staged.Run({"tab SstMain 4", "choose CmbAbilEmula 1"}));
    ASSERT_TRUE(WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) != 0; }, LongMs * 1ms));
    ASSERT_TRUE(staged.Run(
        {"until CmbRitardo enabled 1 60000", "choose CmbFiltro 5", "choose CmbRitardo \"5\""}));
    EXPECT_TRUE(WaitFor(
        [&] {
            return Byte(staged, "emulation", 87) == 0x51 && Word(staged, "emulation", 80) == 200;
        },
        LongMs * 1ms))
        << Byte(staged, "emulation", 87) << " " << Word(staged, "emulation", 80);

    // Two thresholds typed in a row.
    ASSERT_TRUE(staged.Run({"until TxtEmulLevBassoAnte enabled 1 60000",
                            "click TxtEmulLevBassoAnte", "key TxtEmulLevBassoAnte Ctrl+A",
                            "type TxtEmulLevBassoAnte \"0.5\"", "key TxtEmulLevBassoAnte Return",
                            "click TxtEmulLevBassoPost", "key TxtEmulLevBassoPost Ctrl+A",
                            "type TxtEmulLevBassoPost \"0.3\"", "key TxtEmulLevBassoPost Return"}));
    EXPECT_TRUE(WaitFor(
        [&] { return Byte(staged, "emulation", 83) == 26 && Byte(staged, "emulation", 85) == 15; },
        LongMs * 1ms))
        << Byte(staged, "emulation", 83) << " " << Byte(staged, "emulation", 85);
    EXPECT_EQ(Byte(staged, "emulation", 87), 0x51);
    EXPECT_EQ(Word(staged, "emulation", 80), 200);
    EXPECT_EQ(Text(staged, "CmbFiltro"), "5");
    EXPECT_EQ(Text(staged, "CmbRitardo"), "5");
    EXPECT_EQ(Text(staged, "TxtEmulLevBassoAnte"), "0.51");
    EXPECT_EQ(Text(staged, "TxtEmulLevBassoPost"), "0.29");
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join("\n").toStdString();
}

// Two compensation tables changed in quick succession, the second before the first is
// written: both are in the ECU.
TEST_F(EndToEndEmulation, TwoCompensationTablesChangedInQuickSuccessionAreBothWritten) {
    ASSERT_TRUE(staged.Run({"tab SstMain 3", "until CmdTableComp enabled 1 60000",
                            "click CmdTableComp", "until FrmCompensaTbl exists 1 60000"}));
    const int percent = GridRow(staged, "FrmCompensaTbl.GrdTemp", 1).value(3).toInt();
    ASSERT_EQ(Word(staged, "compPress", 60), 0);
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.GrdTemp 1 3", "key FrmCompensaTbl.GrdTemp KP_Add",
                            "click FrmCompensaTbl.ChkGrdPres"}));
    EXPECT_TRUE(WaitFor(
        [&] {
            return qint8(Byte(staged, "compGasTemp", 5)) == percent + 1 &&
                   Word(staged, "compPress", 60) == 1;
        },
        LongMs * 1ms))
        << qint8(Byte(staged, "compGasTemp", 5)) << " " << Word(staged, "compPress", 60);
    EXPECT_EQ(GridRow(staged, "FrmCompensaTbl.GrdTemp", 1).value(3).toInt(), percent + 1);
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join("\n").toStdString();
}

} // namespace
} // namespace e2e
