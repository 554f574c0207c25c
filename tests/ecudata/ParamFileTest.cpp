// Parameter files: the writer, the reader's checks, and the send to the simulated ECU.
//
// The fixtures under fixtures/params and the shipped default sets data/LNG/Default.Xar
// and DefaultCng.Xar are the writer's own output for the sets built below. Run this
// program with LX735_WRITE_DATA=1 to write them again after a deliberate change.

#include "ecudata/ParamFile.h"
#include "EcuRig.h"
#include "ReplyFrames.h"
#include "common/BuildTools.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "common/Wait.h"
#include "ecudata/CompTables.h"
#include "ecudata/RequestServer.h"
#include "link/Frames.h"
#include "sim/Memory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using testing_support::RunFor;
using namespace std::chrono_literals;

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;
using ecudata_test::Reply;

namespace {

const ParamFileInfo Info{"Release  ver 01.12.82 - 14/04/2011", "LX735 Sequential Gas Injection",
                         "14/04/2011 12:00:00"};

// Line indexes of a file.
constexpr int B2Line = 3;
constexpr int B3Line = 5;
constexpr int GasTempLine = 7;
constexpr int PressLine = 11;
constexpr int SmagMarkerLine = 12;
constexpr int EmulaLine = 15;
constexpr int CorMarkerLine = 16;
constexpr int FirstCorLine = 17;
constexpr int FileLines = 209;

// The images of a program context, with the simulated ECU's scales.
struct Model {
    ConfigScale scale;
    EcuImages images;
    EcuRequests requests;
    EcuModel model{images, requests, scale};

    Model() { scale.K_Time_Pwm_us = 0.008; }

    // The images as if the ECU holding this memory had been read.
    explicit Model(const sim::Memory& m) : Model() {
        ParseMem2(Reply(CMD_READ_MEM2, m.zone2), images, scale);
        ParseMem3(Reply(CMD_READ_MEM3, m.zone3), images, requests, scale);
        for (const CompTblInfo& t : CompTables) {
            const QByteArray sim::Memory::*zone[] = {
                &sim::Memory::compGasTemp, &sim::Memory::compRidTemp, &sim::Memory::compPress,
                &sim::Memory::compSmag};
            CompTblFromBytes(m.*zone[t.id - 1], t.form, CompTable(images, t.id));
        }
        StoreEmulaReply(Reply(CMD_READ_EMUS, m.emulation), images);
        for (int b = 0; b < TblCorBlocks; ++b) {
            DecodeTblCorBlock(QString(m.correction.mid(96 * b, 96).toHex().toUpper()), b,
                              images.TblCorEdit, scale);
        }
        ResetMemToWrite(images);
        requests = EcuRequests{};
    }
};

// ---- The sets the fixtures and the default files hold.

void PutCylTime(QByteArray& z3, int cylinder, int raw) {
    sim::PutU16(z3, sim::kZ3CylTime + 2 * (7 - cylinder), raw & 0xFFFF);
}

// The simulated ECU's factory set with a change in every block, fractions and negative
// values in the correction table.
sim::Memory SampleMemory() {
    sim::Memory m = sim::Memory::Factory();
    m.zone2[sim::kZ2Flags] = 0x12;
    sim::PutU16(m.zone3, sim::kZ3SwitchTemp, 40);
    PutCylTime(m.zone3, 0, 25);
    PutCylTime(m.zone3, 1, -13);
    m.compGasTemp[1] = static_cast<char>(-7);
    m.compRidTemp[30] = 1;
    m.compRidTemp[31] = 1;
    sim::PutU16(m.compPress, 2 * 3, 15);
    sim::PutU16(m.compSmag, 2 * 31, 12);
    for (int cell = 0; cell < 48; ++cell) {
        m.emulation[32 + cell] = static_cast<char>(0x60 + cell);
    }
    for (int cell = 0; cell <= 156; ++cell) {
        m.SetCorrectionCell(cell, cell % 7 - 3);
    }
    m.SetCorrectionCell(181, 250);  // offset 0.25 ms
    m.SetCorrectionCell(182, 1050); // slope 1.05
    return m;
}

// The default set of a fuel: an engine of 4 coils and 4 cylinders, values from the
// shipped configuration-scale lists and record ids, the default model.
sim::Memory DefaultSetMemory(bool cng) {
    sim::Memory m = sim::Memory::Factory();
    m.zone2 = QByteArray(sim::kZone2Size, '\0');
    sim::PutU16(m.zone2, sim::kZ2SwitchPeriod, 6000);

    QByteArray& z = m.zone3;
    z = QByteArray(sim::kZone3Size, '\0');
    z[sim::kZ3Bobine] = 4;
    z[sim::kZ3Cilindri] = 4;
    sim::PutU16(z, sim::kZ3SwitchTemp, 35);
    sim::PutU16(z, sim::kZ3SwitchRpm, 9375); // 1600 rpm
    z[6] = cng ? 2 : 0;                      // injector type: "High flow 1 Ohm", "Standard 3 Ohm"
    z[7] = cng ? 1 : 0;
    sim::PutU16(z, 8, cng ? 500 : 375); // the injector type's timings
    sim::PutU16(z, 10, cng ? 36 : 28);
    sim::PutU16(z, 12, cng ? 30 : 24);
    for (int cyl = 0; cyl < 4; ++cyl) {
        z[sim::kZ3CylState + 7 - cyl] = 1;
    }
    z[38] = cng ? 2 : 1; // level sensor: "Hall 0-5 V", "Resistive 90-0 Ohm"
    const int lpgLevels[] = {0, 204, 409, 618, 823, 1023};
    const int cngLevels[] = {102, 307, 512, 717, 921, 1023};
    for (int i = 0; i < 6; ++i) {
        sim::PutU16(z, 40 + 2 * i, cng ? cngLevels[i] : lpgLevels[i]);
    }
    z[53] = 3;                            // deceleration hysteresis 300 rpm
    z[54] = 10;                           // change-over step 250 ms
    sim::PutU16(z, 55, 400);              // change-over delay 10 s (25 ms a count)
    z[sim::kZ3BandLow] = 20;              // map-sample band 2000..2500 rpm
    z[sim::kZ3BandHigh] = 25;             //
    z[61] = 1;                            // lambda probe "0..0,8"
    sim::PutU16(z, 62, cng ? 1200 : 800); // end-of-gas pressure, mbar
    sim::PutU16(z, 64, 40);               // end-of-gas delay 1 s
    z[67] = 1;                            // end-of-gas check on
    z[68] = 40;                           // max power 4000
    z[69] = 10;                           // min power 1000..1500 rpm
    z[70] = 15;                           //
    z[72] = cng ? 2 : 1;                  // "MAP 4 bar", "MAP 2,5 bar"
    z[73] = 5;
    return m;
}

QByteArray Written(const sim::Memory& memory, const QString& decimalSep) {
    Model m(memory);
    return BuildParamFile(m.model, Info, decimalSep);
}

QList<QByteArray> SplitFile(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    for (QByteArray& line : lines) {
        line.chop(line.endsWith('\r') ? 1 : 0);
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QByteArray JoinFile(const QList<QByteArray>& lines) {
    return lines.join("\r\n") + "\r\n";
}

QByteArray SampleFile() {
    return Written(SampleMemory(), ",");
}

// The sample's correction table in the older layout of its last cells.
QByteArray OldLayoutFile() {
    QList<QByteArray> lines = SplitFile(SampleFile());
    const char* tail[] = {" 0",  " 0",  " 0",  " 0,25", " 1,05", " 0",
                          " 30", " 60", " 90", " 120",  " 157"};
    for (int k = 0; k < 11; ++k) {
        lines[FirstCorLine + 181 + k] = tail[k];
    }
    return JoinFile(lines);
}

// A file saved before the leaning table existed and before the emulation block was read.
QByteArray NoSmagNoEmulaFile() {
    QList<QByteArray> lines = SplitFile(SampleFile());
    lines[EmulaLine] = "";
    lines.remove(SmagMarkerLine, 2);
    return JoinFile(lines);
}

QString FixturePath(const QString& name) {
    return QStringLiteral(LX735_FIXTURES "/params/") + name;
}

QByteArray Fixture(const QString& name) {
    return testing_support::ReadFixture(FixturePath(name));
}

// ---- Helpers of the send tests.

// A fresh rig that has identified the ECU and read zone 2, as the program has before it
// sends a file.
struct Connected : EcuRig {
    Connected() {
        EXPECT_TRUE(Connect());
        EXPECT_TRUE(SendReadZone(link, ZoneMem2, model));
        requests.FirmwareOk = true;
    }
    QString Put(const QString& relative, const QByteArray& bytes) {
        tree.Write(relative, bytes);
        return tree.Path(relative);
    }
    ParamFileLoad Send(const QString& path, quint8 noSend = 0) {
        return SendParamFile(path, link, model, noSend);
    }
};

// What a rejected file must leave alone.
struct Snapshot {
    Mem2Rec mem2, mem2Write;
    Mem3Rec mem3, mem3Write;
    TblCor cor;
    CompTbl gas, smag;
    QByteArray emula;

    explicit Snapshot(const EcuImages& i)
        : mem2(i.Mem2Data), mem2Write(i.Mem2Write), mem3(i.Mem3Data), mem3Write(i.Mem3Write),
          cor(i.TblCorEdit), gas(i.CompTblGasTemp), smag(i.CompTblSmag), emula(i.EmulaLine) {}
    bool operator==(const Snapshot&) const = default;
};

} // namespace

// ---- The files of record.

TEST(ParamFile, FixturesAndDefaultSetsAreTheWritersOutput) {
    const struct {
        QString path;
        QByteArray bytes;
    } files[] = {
        {FixturePath("Sample.var"), SampleFile()},
        {FixturePath("OldLayout.var"), OldLayoutFile()},
        {FixturePath("NoSmagNoEmula.var"), NoSmagNoEmulaFile()},
        {testing_support::SourceDataPath("LNG/Default.Xar"), Written(DefaultSetMemory(false), ".")},
        {testing_support::SourceDataPath("LNG/DefaultCng.Xar"),
         Written(DefaultSetMemory(true), ".")},
    };
    const bool write = qEnvironmentVariableIntValue("LX735_WRITE_DATA") == 1;
    for (const auto& f : files) {
        if (write) {
            QDir().mkpath(QFileInfo(f.path).path());
            QFile out(f.path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(f.bytes);
        }
        EXPECT_EQ(testing_support::ReadFixture(f.path), f.bytes) << f.path.toStdString();
        EXPECT_EQ(SplitFile(f.bytes).size(),
                  f.path.endsWith("NoSmagNoEmula.var") ? FileLines - 2 : FileLines);
    }
}

TEST(ParamFile, TheDefaultSetsReadBackAsTheirFuelsSet) {
    for (const bool cng : {false, true}) {
        Model m;
        QString error;
        const QString path =
            testing_support::SourceDataPath(cng ? "LNG/DefaultCng.Xar" : "LNG/Default.Xar");
        const std::optional<ParamFileData> data = ReadParamFile(path, m.scale, error);
        ASSERT_TRUE(data) << error.toStdString();
        const sim::Memory expected = DefaultSetMemory(cng);
        EXPECT_EQ(data->mem2, expected.zone2);
        EXPECT_EQ(data->mem3, expected.zone3);
        EXPECT_EQ(data->mem3[7], cng ? 1 : 0) << "fuel type";
        EXPECT_EQ(data->emula, expected.emulation);
        EXPECT_EQ(data->comp[3], expected.compSmag);
        EXPECT_EQ(data->cor[182], 1);
        EXPECT_EQ(data->cor[190], 157);
        EXPECT_EQ(data->cor[191], -1);
    }
}

// ---- The writer.

TEST(ParamFile, TheFileLaysOutEveryBlock) {
    const QList<QByteArray> lines = SplitFile(SampleFile());
    ASSERT_EQ(lines.size(), FileLines);
    const char* markers[] = {"[INFO]",           "[BLK2]",           "[BLK3]",
                             "[BLKCompTempGas]", "[BLKCompTempRid]", "[BLKCompPress]",
                             "[BLKSmagAcc]",     "[EmulaLambda]",    "[COR]"};
    const int at[] = {0, 2, 4, 6, 8, 10, 12, 14, 16};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(lines[at[i]], markers[i]);
    }
    EXPECT_EQ(lines[1], "Release  ver 01.12.82 - 14/04/2011 LX735 Sequential Gas Injection, file "
                        "created 14/04/2011 12:00:00");
    const sim::Memory sample = SampleMemory();
    EXPECT_EQ(lines[B2Line], "B2" + sample.zone2.toHex().toUpper());
    EXPECT_EQ(lines[B3Line], "B3" + sample.zone3.toHex().toUpper());
    EXPECT_EQ(lines[PressLine], sample.compPress.toHex().toUpper());
    EXPECT_EQ(lines[EmulaLine], sample.emulation.toHex().toUpper());
    // Correction cells: a blank before a value not negative, the locale's decimal mark.
    EXPECT_EQ(lines[FirstCorLine + 0], "-0,024");
    EXPECT_EQ(lines[FirstCorLine + 3], " 0");
    EXPECT_EQ(lines[FirstCorLine + 6], " 0,024");
    EXPECT_EQ(lines[FirstCorLine + 181], " 0,25");
    EXPECT_EQ(lines[FirstCorLine + 182], " 1,05");
    EXPECT_EQ(lines[FirstCorLine + 190], " 157");
    EXPECT_EQ(lines[FirstCorLine + 191], "-1");
    EXPECT_EQ(SplitFile(Written(SampleMemory(), "."))[FirstCorLine + 181], " 0.25");
}

TEST(ParamFile, SavingKeepsThePendingEditsAndTheImages) {
    Model m(SampleMemory());
    m.images.Mem3Data.CylState[2] = 2;
    m.images.Mem2Data.FuelState = 3;
    m.images.Mem3Write.SwitchTemp = 55;
    m.images.Mem2Write.ModeReq = 0;
    m.images.Mem2Write.HoursGas = -1.0; // a pending hour reset
    m.requests.Mem3WriteCountdown = 3;
    const Mem2Rec mem2 = m.images.Mem2Data, mem2Write = m.images.Mem2Write;
    const Mem3Rec mem3 = m.images.Mem3Data, mem3Write = m.images.Mem3Write;
    const double kgm = m.scale.K_gm;

    const QList<QByteArray> lines = SplitFile(BuildParamFile(m.model, Info, ","));

    // The file carries the edits merged in, the fuel state 0, the cylinder plainly on and
    // the ECU's hours.
    QByteArray zone3 = SampleMemory().zone3;
    sim::PutU16(zone3, sim::kZ3SwitchTemp, 55);
    EXPECT_EQ(lines[B3Line], "B3" + zone3.toHex().toUpper());
    QByteArray zone2 = SampleMemory().zone2;
    zone2[sim::kZ2ModeReq] = 0;
    EXPECT_EQ(lines[B2Line], "B2" + zone2.toHex().toUpper());
    // Nothing of the program's state was consumed.
    EXPECT_EQ(m.images.Mem2Data, mem2);
    EXPECT_EQ(m.images.Mem2Write, mem2Write);
    EXPECT_EQ(m.images.Mem3Data, mem3);
    EXPECT_EQ(m.images.Mem3Write, mem3Write);
    EXPECT_EQ(m.images.Mem3Data.CylState[2], 2);
    EXPECT_EQ(m.scale.K_gm, kgm);
    EXPECT_FALSE(m.requests.RefreshPending);
}

TEST(ParamFile, SavingClampsTheTablesAsAWriteDoesAndChangesNothing) {
    Model m(SampleMemory());
    m.images.CompTblGasTemp[0] = 200;
    m.images.CompTblGasTemp[2] = -128;
    m.images.CompTblGasTemp[3] = -150;
    m.images.CompTblPress[0] = 5000;
    const QList<QByteArray> lines = SplitFile(BuildParamFile(m.model, Info, ","));
    EXPECT_EQ(lines[GasTempLine].left(8), "7FF9809C") << "127, -7, -128 as 0x80, -100";
    EXPECT_EQ(lines[PressLine].left(4), "A00F") << "4000, low byte first";
    EXPECT_EQ(m.images.CompTblGasTemp[0], 200);
    EXPECT_EQ(m.images.CompTblPress[0], 5000);
}

TEST(ParamFile, AFailedSaveLeavesNoFileAndSaysSo) {
    testing_support::TempTree tree;
    testing_support::MsgBoxCapture boxes;
    Model m(SampleMemory());
    const QString inMissingFolder = tree.Path("NOSUCH/a.var");
    EXPECT_FALSE(SaveParamFile(inMissingFolder, m.model, Info, ","));
    EXPECT_FALSE(QFileInfo::exists(inMissingFolder));
    // A folder in the way stays a folder.
    EXPECT_FALSE(SaveParamFile(tree.Path("BIN"), m.model, Info, ","));
    EXPECT_TRUE(QFileInfo(tree.Path("BIN")).isDir());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("a.var"));

    const QString path = tree.Path("a.var");
    EXPECT_TRUE(SaveParamFile(path, m.model, Info, ","));
    EXPECT_EQ(tree.Read("a.var"), SampleFile());
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST(ParamFile, Tempi4ExportsTheTable) {
    testing_support::TempTree tree;
    TblCor table{};
    table[1] = 0.5;
    table[2] = -1.25;
    table[191] = -1;
    ASSERT_TRUE(WriteTempi4(tree.Path("TEMPI4.TXT"), table, ","));
    const QList<QByteArray> lines = SplitFile(tree.Read("TEMPI4.TXT"));
    ASSERT_EQ(lines.size(), 192);
    EXPECT_EQ(lines[0], "\"Val_corTempiGas[0] = #0@\"");
    EXPECT_EQ(lines[1], "\"Val_corTempiGas[1] = #0,5@\"");
    EXPECT_EQ(lines[2], "\"Val_corTempiGas[2] = #-1,25@\"");
    EXPECT_EQ(lines[191], "\"Val_corTempiGas[191] = #-1@\"");
}

// ---- The reader.

TEST(ParamFile, GeneralNumbersReadInEitherDecimalMark) {
    for (const char* text : {"0,125", "0.125", " 0.125 ", "+0,125"}) {
        EXPECT_EQ(ParseGeneralNumber(text), 0.125) << text;
    }
    EXPECT_EQ(ParseGeneralNumber("-3"), -3);
    for (const char* text : {"", "1,2,3", "1.2,3", "abc", "1e3", "- 1"}) {
        EXPECT_FALSE(ParseGeneralNumber(text)) << text;
    }
}

TEST(ParamFile, HarmlessVariationsReadAsTheSameSet) {
    Model m;
    QString error;
    testing_support::TempTree tree;
    tree.Write("s.var", SampleFile());
    const std::optional<ParamFileData> sample = ReadParamFile(tree.Path("s.var"), m.scale, error);
    ASSERT_TRUE(sample) << error.toStdString();

    QList<QByteArray> blank = SplitFile(SampleFile());
    blank[GasTempLine - 1] += " ";
    blank[B3Line] = "  " + blank[B3Line] + " ";
    QList<QByteArray> dots = SplitFile(SampleFile());
    for (int k = FirstCorLine; k < FileLines; ++k) {
        dots[k].replace(',', '.');
    }
    QList<QByteArray> extra = SplitFile(SampleFile());
    extra.insert(CorMarkerLine, "[ADTOBD]");
    extra.insert(CorMarkerLine + 1, "0102");
    extra.insert(CorMarkerLine + 2, "");
    const QByteArray variants[] = {JoinFile(blank), JoinFile(dots), JoinFile(extra),
                                   SampleFile().replace("\r\n", "\n")};
    for (const QByteArray& bytes : variants) {
        tree.Write("v.var", bytes);
        const std::optional<ParamFileData> data = ReadParamFile(tree.Path("v.var"), m.scale, error);
        ASSERT_TRUE(data) << error.toStdString();
        EXPECT_EQ(data->mem2, sample->mem2);
        EXPECT_EQ(data->mem3, sample->mem3);
        EXPECT_EQ(data->comp, sample->comp);
        EXPECT_EQ(data->emula, sample->emula);
        EXPECT_EQ(data->cor, sample->cor);
    }

    const std::optional<ParamFileData> older =
        ReadParamFile(FixturePath("NoSmagNoEmula.var"), m.scale, error);
    ASSERT_TRUE(older) << error.toStdString();
    EXPECT_TRUE(older->comp[3].isEmpty());
    EXPECT_TRUE(older->emula.isEmpty());
    EXPECT_EQ(older->comp[2], sample->comp[2]);
}

TEST(ParamFile, AnOlderCorrectionLayoutIsMovedIntoTheCurrentOne) {
    Model m;
    QString error;
    const std::optional<ParamFileData> data =
        ReadParamFile(FixturePath("OldLayout.var"), m.scale, error);
    ASSERT_TRUE(data) << error.toStdString();
    // Offset, slope, then the eight point cells, 185 and 188 between their neighbours;
    // the last cell marks the current layout, so saving and loading again changes nothing.
    const double expected[] = {0.25, 1.05, 0, 30, 45, 60, 90, 105, 120, 157, -1};
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(data->cor[181 + k], expected[k]) << 181 + k;
    }
    EXPECT_EQ(data->cor[0], -0.024);

    m.images.TblCorEdit = data->cor;
    const QString saved = QDir::temp().filePath("lx735-old-layout-resaved.var");
    ASSERT_TRUE(SaveParamFile(saved, m.model, {"r", "t", "d"}, ","));
    const std::optional<ParamFileData> again = ReadParamFile(saved, m.scale, error);
    QFile::remove(saved);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(again->cor, data->cor);
}

TEST(ParamFile, ADamagedFileIsRefusedWithNothingChanged) {
    const auto edit = [](const std::function<void(QList<QByteArray>&)>& change) {
        QList<QByteArray> lines = SplitFile(SampleFile());
        change(lines);
        return JoinFile(lines);
    };
    const struct {
        const char* what;
        QByteArray file;
        const char* reason;
    } cases[] = {
        {"no [COR] marker", edit([](auto& l) { l.removeAt(CorMarkerLine); }), "[COR]"},
        {"no zone-3 record", edit([](auto& l) { l.removeAt(B3Line); }), "B3"},
        {"short zone-2 hex", edit([](auto& l) { l[B2Line].chop(2); }), "line 4"},
        {"short table hex", edit([](auto& l) { l[PressLine].chop(4); }), "line 12"},
        {"non-hex zone 3", edit([](auto& l) { l[B3Line][10] = 'G'; }), "line 6"},
        {"short emulation", edit([](auto& l) { l[EmulaLine].chop(2); }), "line 16"},
        {"bad number", edit([](auto& l) { l[FirstCorLine + 12] = " 1,2,3"; }), "line 30"},
        {"empty number", edit([](auto& l) { l[FirstCorLine + 12] = ""; }), "line 30"},
        {"ends inside [COR]", edit([](auto& l) { l.resize(FileLines - 5); }), "187"},
        {"ends after a marker", edit([](auto& l) { l.resize(EmulaLine); }), "[EmulaLambda]"},
        {"value out of reach", edit([](auto& l) { l[FirstCorLine + 3] = " 9999"; }), "ECU"},
    };
    for (const auto& c : cases) {
        EcuRig rig;
        testing_support::MsgBoxCapture boxes;
        Model sample(SampleMemory());
        rig.images.Mem3Data = sample.images.Mem3Data;
        rig.images.Mem3Write.SwitchTemp = 55;
        rig.images.TblCorEdit[5] = 1.5;
        const Snapshot before(rig.images);
        rig.tree.Write("bad.var", c.file);
        EXPECT_FALSE(SendParamFile(rig.tree.Path("bad.var"), rig.link, rig.model, 1).read)
            << c.what;
        EXPECT_TRUE(Snapshot(rig.images) == before) << c.what;
        EXPECT_TRUE(rig.ecu.CommandLog().isEmpty()) << c.what;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.what;
        EXPECT_TRUE(boxes.boxes[0].prompt.contains("bad.var")) << c.what;
        EXPECT_TRUE(boxes.boxes[0].prompt.contains(c.reason))
            << c.what << ": " << boxes.boxes[0].prompt.toStdString();
    }
    EcuRig rig;
    testing_support::MsgBoxCapture boxes;
    quint8 noSend = 0;
    EXPECT_FALSE(SendParamFile(rig.tree.Path("none.var"), rig.link, rig.model, noSend).read);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

// ---- Sending.

using B = ParamBlock;
const QList<ParamBlock> AllBlocks = {B::Mem2,      B::Mem3,     B::CompGasTemp, B::CompRidTemp,
                                     B::CompPress, B::CompSmag, B::Emulation,   B::Correction};

TEST(ParamFile, ASendWritesAndReadsBackEveryZoneInOrderAndSavesBackTheSameFile) {
    Connected rig;
    const QString path = rig.Put("a.var", Fixture("Sample.var"));
    const qsizetype start = rig.ecu.CommandLog().size();

    const ParamFileLoad load = rig.Send(path);
    EXPECT_TRUE(load.read);
    EXPECT_TRUE(load.notWritten.isEmpty());

    QList<quint8> expected = {CMD_WRT_MEM2,
                              CMD_READ_MEM2,
                              CMD_WRT_MEM3,
                              CMD_READ_MEM3,
                              CMD_WRITE_COMP_GAS_TEMP,
                              CMD_READ_COMP_GAS_TEMP,
                              CMD_WRITE_COMP_RID_TEMP,
                              CMD_READ_COMP_RID_TEMP,
                              CMD_WRITE_COMP_PRES_GAS,
                              CMD_READ_COMP_PRES_GAS,
                              CMD_WRITE_CMP_SMAG,
                              CMD_READ_CMP_SMAG,
                              CMD_WRIT_EMUS,
                              CMD_READ_EMUS};
    expected << QList<quint8>(4, CMD_WRT_TBL_COR) << QList<quint8>(4, CMD_READ_TBL_COR);
    EXPECT_EQ(rig.Commands(start), expected);
    const sim::Memory sample = SampleMemory();
    sim::Memory& ecu = rig.ecu.Ram();
    EXPECT_EQ(ecu.zone3, sample.zone3);
    EXPECT_EQ(ecu.zone2[sim::kZ2Flags], sample.zone2[sim::kZ2Flags]);
    EXPECT_EQ(ecu.compGasTemp, sample.compGasTemp);
    EXPECT_EQ(ecu.compRidTemp, sample.compRidTemp);
    EXPECT_EQ(ecu.compPress, sample.compPress);
    EXPECT_EQ(ecu.compSmag, sample.compSmag);
    EXPECT_EQ(ecu.emulation, sample.emulation);
    EXPECT_EQ(ecu.correction, sample.correction);
    EXPECT_TRUE(rig.images.Mem3Write == Model().images.Mem3Write) << "nothing left pending";
    EXPECT_EQ(rig.images.TblCorRead, rig.images.TblCorEdit) << "read back";
    EXPECT_FALSE(rig.requests.ReqReadComp || rig.requests.ReqReadTblCor) << "nothing to read";

    EXPECT_EQ(BuildParamFile(rig.model, Info, ","), Fixture("Sample.var"));
}

TEST(ParamFile, ASendKeepsTheEcusServiceHours) {
    for (const char* hours : {"FFFFFFFF", "00000000", "39300000"}) {
        Connected rig;
        QList<QByteArray> lines = SplitFile(Fixture("Sample.var"));
        lines[B2Line].replace(2 + 2 * sim::kZ2HoursGas, 8, hours);
        lines[B2Line].replace(2 + 2 * sim::kZ2HoursPetrol, 8, hours);
        ASSERT_TRUE(rig.Send(rig.Put("h.var", JoinFile(lines))).Complete());
        EXPECT_EQ(sim::GetU32(rig.ecu.Ram().zone2, sim::kZ2HoursGas), 1234u) << hours;
        EXPECT_EQ(sim::GetU32(rig.ecu.Ram().zone2, sim::kZ2HoursPetrol), 56u) << hours;
        EXPECT_EQ(rig.images.Mem2Data.HoursGas, 1234) << hours;
        EXPECT_EQ(rig.images.Mem2Data.HoursBenz, 56) << hours;
        EXPECT_EQ(rig.images.Mem2Write.HoursGas, 0) << hours;
    }
}

TEST(ParamFile, AnEcuByteOf0x80ComesBackAs0x80) {
    Connected rig;
    QList<QByteArray> lines = SplitFile(Fixture("Sample.var"));
    lines[GasTempLine].replace(0, 2, "80");
    ASSERT_TRUE(rig.Send(rig.Put("t.var", JoinFile(lines))).Complete());
    EXPECT_EQ(static_cast<quint8>(rig.ecu.Ram().compGasTemp[0]), 0x80);
    EXPECT_EQ(rig.images.CompTblGasTemp[0], -128);
    EXPECT_EQ(SplitFile(BuildParamFile(rig.model, Info, ","))[GasTempLine].left(2), "80");
}

TEST(ParamFile, AFailedRecordWriteStaysPendingWithNothingLost) {
    for (const quint8 failing : {CMD_WRT_MEM2, CMD_WRT_MEM3}) {
        Connected rig;
        rig.images.Mem3Write.SwitchTemp = 55;
        rig.images.Mem2Write.WantFlags(0x01, true);
        const Mem2Rec mem2 = rig.images.Mem2Data;
        const Mem3Rec mem3 = rig.images.Mem3Data;
        const Mem3Rec mem3Write = rig.images.Mem3Write;
        const double kgm = rig.scale.K_gm;
        const QString path = rig.Put("a.var", Fixture("Sample.var"));
        rig.FailNext(failing, 10);
        const qsizetype start = rig.ecu.CommandLog().size();

        EXPECT_EQ(rig.Send(path).notWritten, AllBlocks.mid(failing == CMD_WRT_MEM2 ? 0 : 1))
            << failing;

        EXPECT_FALSE(rig.Commands(start).contains(CMD_WRITE_COMP_GAS_TEMP)) << "nothing more";
        EXPECT_FALSE(rig.Commands(start).contains(CMD_WRT_TBL_COR));
        EXPECT_EQ(rig.images.Mem3Data, mem3) << failing;
        EXPECT_EQ(rig.images.Mem3Write, mem3Write) << "the pending edits are back";
        EXPECT_EQ(rig.images.Mem2Write.FlagsMask, 0x01);
        EXPECT_EQ(rig.images.Mem2Write.Flags, 0x01);
        EXPECT_EQ(rig.scale.K_gm, kgm);
        if (failing == CMD_WRT_MEM2) {
            EXPECT_EQ(rig.images.Mem2Data, mem2);
        } else {
            EXPECT_EQ(rig.images.Mem2Data.Flags, 0x12) << "zone 2 went through";
        }

        // Sent again later, it goes through.
        rig.ecu.ClearFaults();
        ASSERT_TRUE(rig.Connect());
        EXPECT_TRUE(rig.Send(path).Complete()) << failing;
        // The ECU moves its cylinder states on its own; the rest is the file's.
        EXPECT_EQ(rig.ecu.Ram().zone3.left(sim::kZ3CylState),
                  SampleMemory().zone3.left(sim::kZ3CylState));
        EXPECT_EQ(rig.ecu.Ram().zone3.mid(sim::kZ3CylTime),
                  SampleMemory().zone3.mid(sim::kZ3CylTime));
    }
}

// A block refused or lost, in its write or in its read-back, ends the send there: the
// link is restarting, and the rest must wait for the ECU to be identified again. The
// blocks not written are read again; the ECU keeps the blocks before them.
TEST(ParamFile, TheFirstBlockNotTakenEndsTheSendAndTheRestIsReadAgain) {
    const struct {
        sim::FaultKind kind;
        quint8 command;
        ParamBlock first; // the first block not written
    } cases[] = {
        {sim::FaultKind::Status, CMD_WRITE_COMP_PRES_GAS, B::CompPress},
        {sim::FaultKind::Silence, CMD_WRITE_COMP_GAS_TEMP, B::CompGasTemp},
        {sim::FaultKind::Silence, CMD_READ_COMP_RID_TEMP, B::CompRidTemp},
        {sim::FaultKind::Status, CMD_WRIT_EMUS, B::Emulation},
        {sim::FaultKind::Silence, CMD_READ_EMUS, B::Emulation},
        {sim::FaultKind::Silence, CMD_READ_MEM3, B::Mem3},
        {sim::FaultKind::Status, CMD_WRT_TBL_COR, B::Correction},
        {sim::FaultKind::Silence, CMD_READ_TBL_COR, B::Correction},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << sim::FaultKindName(c.kind).toStdString() << " cmd " << int(c.command));
        Connected rig;
        rig.ecu.ErrorBytes()[3] = 2;
        // A default set: its error clear belongs to a whole load.
        const QString path = rig.Put("LNG/Default.Xar", Fixture("Sample.var"));
        sim::Fault fault;
        fault.kind = c.kind;
        fault.command = c.command;
        fault.count = sim::kForever;
        rig.ecu.AddFault(fault);
        const qsizetype start = rig.ecu.CommandLog().size();

        const ParamFileLoad load = rig.Send(path);

        const QList<ParamBlock> lost = AllBlocks.mid(AllBlocks.indexOf(c.first));
        EXPECT_TRUE(load.read);
        EXPECT_EQ(load.notWritten, lost);
        const QList<quint8> sent = rig.Commands(start);
        const qsizetype failed = sent.indexOf(c.command);
        ASSERT_GE(failed, 0);
        EXPECT_EQ(sent.mid(failed), QList<quint8>(sent.size() - failed, c.command))
            << "nothing after the failed exchange";
        EXPECT_EQ(rig.ecu.ErrorBytes()[3], 2) << "the errors stay";
        const EcuRequests& r = rig.requests;
        EXPECT_EQ(r.ReqReadMem3, lost.contains(B::Mem3));
        EXPECT_EQ(r.ReqReadComp, lost.contains(B::CompSmag));
        EXPECT_EQ(r.ReqReadEmus, lost.contains(B::Emulation));
        EXPECT_TRUE(r.ReqReadTblCor);
        EXPECT_FALSE(r.ReqReadMem2);
        // What went before is in the ECU (written whatever its read-back gave).
        EXPECT_EQ(rig.ecu.Ram().zone3.left(sim::kZ3CylState),
                  SampleMemory().zone3.left(sim::kZ3CylState));
    }
}

TEST(ParamFile, ABlockTheFileOrTheEcuLacksIsNotSent) {
    for (const bool olderEcu : {false, true}) {
        Connected rig;
        if (olderEcu) { // firmware of the image's version without the leaning table
            rig.link.FirmwareEcu("011214042011");
            rig.link.FirmwareFle("011215042011");
        }
        const CompTbl smag = rig.images.CompTblSmag;
        const qsizetype start = rig.ecu.CommandLog().size();
        const QString file = olderEcu ? "Sample.var" : "NoSmagNoEmula.var";
        ASSERT_TRUE(rig.Send(rig.Put("o.var", Fixture(file))).Complete()) << olderEcu;
        const QList<quint8> commands = rig.Commands(start);
        EXPECT_TRUE(commands.contains(CMD_WRITE_COMP_PRES_GAS));
        EXPECT_FALSE(commands.contains(CMD_WRITE_CMP_SMAG));
        EXPECT_FALSE(commands.contains(CMD_READ_CMP_SMAG));
        EXPECT_EQ(commands.contains(CMD_WRIT_EMUS), olderEcu);
        EXPECT_EQ(rig.images.CompTblSmag, smag);
        EXPECT_EQ(rig.ecu.Ram().compPress, SampleMemory().compPress);
    }
}

// Off-line, or before the ECU is identified, nothing is sent and the images hold the
// file; with ParamNoSend the correction table alone goes.
TEST(ParamFile, OnlyAnIdentifiedEcuOnARunningLinkIsWritten) {
    enum Case { Stopped, NotIdentified, NoSend };
    for (const Case c : {Stopped, NotIdentified, NoSend}) {
        Connected rig;
        const QByteArray zone3 = rig.ecu.Ram().zone3;
        if (c == Stopped) {
            rig.link.ComState(COM_STOP);
            RunFor(10ms);
        }
        rig.requests.FirmwareOk = c != NotIdentified;
        const qsizetype start = rig.ecu.CommandLog().size();
        const ParamFileLoad load = rig.Send(rig.Put("a.var", Fixture("Sample.var")), c == NoSend);
        EXPECT_EQ(load.notWritten, c == NoSend ? QList<ParamBlock>{} : AllBlocks) << c;
        EXPECT_EQ(rig.Commands(start), c == NoSend ? QList<quint8>(4, CMD_WRT_TBL_COR) +
                                                         QList<quint8>(4, CMD_READ_TBL_COR)
                                                   : QList<quint8>{})
            << c;
        EXPECT_EQ(rig.ecu.Ram().zone3, zone3);
        // The images hold the file.
        EXPECT_EQ(rig.images.Mem3Data.SwitchTemp, 40);
        EXPECT_EQ(rig.images.TblCorEdit[181], 0.25);
    }
}

// The off-line load reads blanks around a block's lines as the check does: the images
// take every block, and the set saved from them is the file without the blanks.
TEST(ParamFile, AnOffLineLoadTakesBlockLinesWithBlanksAroundThem) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {{"", " "}, {"", "\t"}, {"", " \t  "}, {"\t ", ""}, {" ", "\t"}};
    for (const auto& c : cases) {
        Connected rig;
        rig.link.ComState(COM_STOP);
        RunFor(10ms);
        QList<QByteArray> lines = SplitFile(Fixture("Sample.var"));
        for (int k = B2Line - 1; k <= CorMarkerLine; ++k) {
            lines[k] = c.before + lines[k] + c.after;
        }
        const QString path = rig.Put("b.var", JoinFile(lines));
        const QString shown = QString("\"%1\" \"%2\"").arg(c.before, c.after);

        testing_support::MsgBoxCapture boxes;
        ASSERT_TRUE(rig.Send(path).read) << shown.toStdString();
        EXPECT_TRUE(ImportParamFileEmula(path, rig.images)) << shown.toStdString();
        QString error;
        const std::optional<ParamFileData> data = ReadParamFile(path, rig.scale, error);
        ASSERT_TRUE(data) << error.toStdString();
        for (std::size_t t = 0; t < CompTables.size(); ++t) {
            CompTblFromBytes(data->comp[t], CompTables[t].form,
                             CompTable(rig.images, CompTables[t].id));
        }
        EXPECT_TRUE(boxes.boxes.empty()) << shown.toStdString();
        EXPECT_FALSE(rig.images.EmulaEdit.Any()) << shown.toStdString();
        EXPECT_EQ(BuildParamFile(rig.model, Info, ","), Fixture("Sample.var"))
            << shown.toStdString();
    }
}

TEST(ParamFile, OnlyTheDefaultSetsClearTheEcusErrors) {
    const struct {
        const char* name;
        bool clears;
    } cases[] = {{"LNG/Default.Xar", true},
                 {"LNG/DefaultCng.Xar", true},
                 {"LNG/Copy.Xar", false},
                 {"BIN/Default.Xar", false}};
    for (const auto& c : cases) {
        Connected rig;
        rig.ecu.ErrorBytes()[3] = 2;
        const qsizetype start = rig.ecu.CommandLog().size();
        ASSERT_TRUE(rig.Send(rig.Put(c.name, Fixture("Sample.var"))).Complete());
        EXPECT_EQ(rig.Commands(start).last() == CMD_CANC_ERR, c.clears) << c.name;
        EXPECT_EQ(rig.ecu.ErrorBytes()[3] == 0, c.clears) << c.name;
    }
    // The same file named by another spelling of its path.
    Connected rig;
    rig.Put("LNG/Default.Xar", Fixture("Sample.var"));
    ASSERT_TRUE(rig.Send(rig.tree.Root() + "/BIN/../LNG/Default.Xar").Complete());
    EXPECT_EQ(rig.Commands().last(), CMD_CANC_ERR);
}

TEST(ParamFile, SendTblCorPutsTheTableBackAfterAFailure) {
    Connected rig;
    Model sample(SampleMemory());
    rig.images.TblCorEdit = sample.images.TblCorEdit;
    EXPECT_TRUE(SendTblCor(rig.link, rig.model, ","));
    EXPECT_EQ(rig.images.TblCorRead, sample.images.TblCorEdit);

    TblCor edited = sample.images.TblCorEdit;
    edited[10] = 0.5;
    rig.images.TblCorEdit = edited;
    rig.images.TblCorRead[10] = 0.25;
    rig.FailNext(CMD_READ_TBL_COR, 100);
    EXPECT_FALSE(SendTblCor(rig.link, rig.model, ","));
    EXPECT_EQ(rig.images.TblCorEdit, edited);
    EXPECT_EQ(rig.images.TblCorRead, edited);
    EXPECT_EQ(rig.Received(CMD_WRT_TBL_COR), 8) << "written once in each call";
}
