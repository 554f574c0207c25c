// The Lambda page and the compensation-tables window driven as an installer drives
// them, on the simulated ECU: what reaches the ECU's memory and what the page shows.

#include "StagedProgram.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int LongMs = 60000;
constexpr double S = static_cast<double>(19.6f);

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
    return StagedProgram::WaitFor([&] { return Byte(staged, image, offset) == value; }, LongMs);
}

// The cells of a grid's row as the last "grid" line recorded them.
QStringList GridRow(StagedProgram& staged, const QString& grid, int row) {
    const QString prefix = QString("grid: %1 %2 ").arg(grid).arg(row);
    QStringList cells;
    for (const ProgramEvent& event : staged.Events()) {
        if (event.kind == "EVENT" && event.text.startsWith(prefix)) {
            cells.clear();
            const QStringList parts = event.text.mid(prefix.size()).split('"');
            for (int i = 1; i < parts.size(); i += 2) {
                cells << parts[i];
            }
        }
    }
    return cells;
}

QString Text(StagedProgram& staged, const QString& name) {
    const auto fields = staged.ReadControl(name);
    return fields ? fields->value("text") : QString("<none>");
}

class EndToEndEmulation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("ecu", {"--fast"}));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(StagedProgram::WaitFor(
            [&] { return !staged.Requests("CMD_READ_ERR").isEmpty(); }, LongMs));
        ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+X"}));
    }
    int Writes(const QString& name) { return int(staged.Requests(name).size()); }

    StagedProgram staged;
};

TEST_F(EndToEndEmulation, TheLambdaPageEditsReachTheEcu) {
    ASSERT_TRUE(staged.Run({"tab SstMain 4", "choose CmbAbilEmula 1"}));
    ASSERT_TRUE(
        StagedProgram::WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) != 0; }, LongMs));
    ASSERT_TRUE(staged.Run({"choose CmbAbilEmula 0"}));
    ASSERT_TRUE(
        StagedProgram::WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) == 0; }, LongMs));
    ASSERT_TRUE(staged.Run({"choose CmbAbilEmula 1"}));
    ASSERT_TRUE(
        StagedProgram::WaitFor([&] { return (Byte(staged, "zone2", 11) & 0x02) != 0; }, LongMs));

    // A threshold: Enter stores it, leaving with Tab writes nothing.
    ASSERT_TRUE(staged.Run({"until TxtEmulLevBassoAnte enabled 1 20000",
                            "click TxtEmulLevBassoAnte", "key TxtEmulLevBassoAnte Ctrl+A",
                            "type TxtEmulLevBassoAnte \"0.5\"", "key TxtEmulLevBassoAnte Return"}));
    EXPECT_EQ(Text(staged, "TxtEmulLevBassoAnte"), "0.51");
    ASSERT_TRUE(Eventually(staged, "emulation", 83, 26));
    ASSERT_TRUE(staged.Run({"wait 1000"}));
    const int before = Writes("CMD_WRIT_EMUS");
    ASSERT_TRUE(staged.Run({"click TxtEmulLevBassoAnte", "key TxtEmulLevBassoAnte Ctrl+A",
                            "type TxtEmulLevBassoAnte \"0.9\"", "key TxtEmulLevBassoAnte Tab",
                            "wait 2000"}));
    EXPECT_EQ(Writes("CMD_WRIT_EMUS"), before);

    // The value entry on a block of the table, then a cancelled one.
    ASSERT_TRUE(staged.Run(
        {"click GrdEmul 0 0", "key GrdEmul Shift+Right", "key GrdEmul Shift+Down",
         "key GrdEmul Return", "until FrmEnterValueLambda exists 1 20000",
         "type FrmEnterValueLambda.TxtValue \"0.45\"", "click FrmEnterValueLambda.CmdRet"}));
    ASSERT_TRUE(Eventually(staged, "emulation", 32 + 4 * 1 + 1, 23));
    for (int c = 0; c < 12; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(Byte(staged, "emulation", 32 + 4 * c + r), r <= 1 && c <= 1 ? 23 : 126)
                << r << c;
        }
    }
    ASSERT_TRUE(
        staged.Run({"key GrdEmul Return", "until FrmEnterValueLambda exists 1 20000",
                    "close FrmEnterValueLambda", "until FrmEnterValueLambda exists 0 20000"}));
    ASSERT_TRUE(StagedProgram::WaitFor(
        [&] {
            for (const ProgramEvent& e : staged.Events()) {
                if (e.kind == "EVENT" && e.text == "beep 600 100") {
                    return true;
                }
            }
            return false;
        },
        LongMs));

    // A held key: nothing written while it is held, one write after.
    ASSERT_TRUE(staged.Run({"wait 1000"}));
    const int writes = Writes("CMD_WRIT_EMUS");
    ASSERT_TRUE(staged.Run({"hold GrdEmul KP_Add 1000", "grid GrdEmul"}));
    const QStringList row0 = GridRow(staged, "GrdEmul", 0);
    ASSERT_EQ(row0.size(), 12);
    EXPECT_NE(row0[0], "0.45");
    const int code = int(std::nearbyint(row0[0].toDouble() * 1000 / S));
    ASSERT_TRUE(Eventually(staged, "emulation", 32, code));
    ASSERT_TRUE(staged.Run({"wait 2000"}));
    EXPECT_EQ(Writes("CMD_WRIT_EMUS"), writes + 1);
    EXPECT_EQ(Byte(staged, "emulation", 32 + 4 + 1), code);

    // Breakpoints: the last stops at 6000, another at its right neighbour.
    ASSERT_TRUE(staged.Run({"click GrdRpm 0 11", "hold GrdRpm Shift+= 1000", "click GrdRpm 0 5",
                            "hold GrdRpm Shift+= 1000", "wait 2000"}));
    EXPECT_TRUE(
        StagedProgram::WaitFor([&] { return Word(staged, "emulation", 22) == 6000; }, LongMs));
    EXPECT_EQ(Word(staged, "emulation", 10), 3200);

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
    ASSERT_TRUE(staged.Run(
        {"click MnuOffLine", "wait 500", "file \"" + saved + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return QFile::exists(saved); }, LongMs));
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

    ASSERT_TRUE(staged.Run({"file \"" + sent.fileName() + "\"", "click MnuFileLoadConf",
                            "wait 2000", "tab SstMain 4", "grid GrdEmul", "grid GrdRpm"}));
    ASSERT_TRUE(StagedProgram::WaitFor(
        [&] { return GridRow(staged, "GrdEmul", 0).value(0) == "0.45"; }, LongMs));
    EXPECT_EQ(GridRow(staged, "GrdRpm", 0).value(0), "1000");
    const QString again = staged.Path("again.var");
    ASSERT_TRUE(staged.Run({"file \"" + again + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return QFile::exists(again); }, LongMs));
    EXPECT_EQ(EmulaLineOf(staged.Read("again.var")), edited);

    const QString picture = staged.Path("lambda.png");
    ASSERT_TRUE(staged.Run({"grab \"" + picture + "\""}));
    EXPECT_TRUE(StagedProgram::WaitFor([&] { return QFile(picture).size() > 1000; }, LongMs));
}

TEST_F(EndToEndEmulation, TheCompensationWindowWritesOnceAfterAHeldKey) {
    ASSERT_TRUE(
        staged.Run({"tab SstMain 3", "until CmdTableComp enabled 1 20000", "click CmdTableComp",
                    "until FrmCompensaTbl exists 1 20000", "grid FrmCompensaTbl.GrdTemp"}));
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
    ASSERT_TRUE(
        StagedProgram::WaitFor([&] { return Writes("CMD_WRITE_COMP_GAS_TEMP") == 1; }, LongMs));
    ASSERT_TRUE(staged.Run({"wait 2000", "grid FrmCompensaTbl.GrdTemp"}));
    EXPECT_EQ(Writes("CMD_WRITE_COMP_GAS_TEMP"), 1);
    const QStringList percent = GridRow(staged, "FrmCompensaTbl.GrdTemp", 1);
    for (int c = 1; c <= 15; ++c) {
        EXPECT_EQ(qint8(Byte(staged, "compGasTemp", 2 * (c - 1) + 1)), percent.value(c).toInt())
            << c;
    }

    // Enable boxes and the step number.
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.ChkGrdTemp"}));
    ASSERT_TRUE(Eventually(staged, "compGasTemp", 30, 0));
    ASSERT_TRUE(staged.Run({"tab SstMain 0", "until LblCompAttiva visible 0 20000"}));
    const int pressBefore = Writes("CMD_WRITE_COMP_PRES_GAS");
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.ChkGrdPres"}));
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return Word(staged, "compPress", 60) == 1; }, LongMs));
    EXPECT_EQ(Word(staged, "compPress", 62), 1);
    EXPECT_EQ(Writes("CMD_WRITE_COMP_PRES_GAS"), pressBefore + 1);
    ASSERT_TRUE(staged.Run(
        {"until LblCompAttiva visible 1 20000", "choose FrmCompensaTbl.CmbSmagAcc \"12\""}));
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return Word(staged, "compSmag", 62) == 12; }, LongMs));
    EXPECT_EQ(Word(staged, "compSmag", 60), 0);

    // The leaning axis unlocked and stepped; the window closed with the change pending.
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.CmdModScala"}));
    EXPECT_EQ(Text(staged, "FrmCompensaTbl.CmdModScala"), "Blocca Scala");
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.GrdSmag 0 1", "key FrmCompensaTbl.GrdSmag F9",
                            "grid FrmCompensaTbl.GrdSmag", "close FrmCompensaTbl"}));
    EXPECT_EQ(GridRow(staged, "FrmCompensaTbl.GrdSmag", 0).value(1), "1.008");
    ASSERT_TRUE(StagedProgram::WaitFor([&] { return Word(staged, "compSmag", 0) == 126; }, LongMs));
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join("\n").toStdString();
}

} // namespace
} // namespace e2e
