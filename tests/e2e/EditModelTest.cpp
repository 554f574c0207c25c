// The installer's edits against lx735-sim at every moment they can come: before the
// ECU's blocks are read, while they are read, right before a save, a load or a close,
// while a write is refused. No edit is lost, none is written over data the installer
// did not touch, and a saved file holds what the screen shows.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString Sim = "com1";

// The developer view: the Lambda tab, the compensation and expert buttons.
const QStringList DeveloperView = {"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+X"};
const QStringList NothingToSave = {
    "The ECU's settings have not been read yet: there is nothing to save."};

// The hex line after the marker of a parameter file, as bytes (a zone record's first
// byte is its prefix: B3 before zone 3).
QByteArray Section(const QByteArray& file, const QByteArray& marker) {
    const QList<QByteArray> lines = file.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() == marker) {
            return QByteArray::fromHex(lines[i + 1].trimmed());
        }
    }
    return {};
}

// The file with the block after the marker replaced.
QByteArray WithSection(const QByteArray& file, const QByteArray& marker, const QByteArray& block) {
    QList<QByteArray> lines = file.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() == marker) {
            lines[i + 1] = block.toHex().toUpper() + "\r";
        }
    }
    return lines.join('\n');
}

// Upper-case hex with a blank between bytes, as the dump's Hex gives it.
std::string Hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper().toStdString();
}

class EndToEndEditModel : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // The simulated ECU on COM1, these control lines taken before the program starts;
    // a silent one answers nothing until Answer().
    bool StartSim(const QString& lines = QString(), bool silent = false) {
        QStringList args = {"--fast"};
        if (silent) {
            args << "--fault"
                 << "silence count=forever";
        }
        const QString link = staged.StartSim(Sim, args);
        if (link.isEmpty()) {
            return false;
        }
        staged.MapCom(1, link);
        return lines.isEmpty() || staged.SimControl(Sim, lines);
    }
    // The program on an answering ECU, its first read shown on the Configuration tab.
    void StartOnConfiguration(const QString& lines = QString()) {
        ASSERT_TRUE(StartSim(lines));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(staged.Run({"tab SstMain 1", "until CmbSwtchTemp text 35 60000"}));
    }
    // The silent ECU answers from now on; True once the program has read its blocks.
    bool Answer() {
        const qint64 from = Now();
        return staged.SimControl(Sim, "clear") &&
               WaitFor([&] { return !RequestsAfter(staged, "CMD_READ_ERR", from).isEmpty(); },
                       LongMs * 1ms);
    }

    // The time of the program's last record, on the link log's clock.
    qint64 Now() const {
        const QList<ProgramEvent> events = staged.Events();
        return events.isEmpty() ? 0 : events.last().ms;
    }
    // Waits for the live reads that a write asked for before ms has gone out by: 64 poll
    // ticks, longer than any write's countdown.
    bool PollsPast(qint64 ms) {
        return WaitForRequestsAfter(staged, "CMD_READ_MEM1", ms, 8, LongMs);
    }

    std::optional<SimDump> Dump() { return staged.SimState(Sim); }
    std::string Zone(const QString& image, int offset, int count) {
        const std::optional<SimDump> dump = Dump();
        return dump ? Hex(dump->Bytes(image, offset, count)) : "<no dump>";
    }
    bool ZoneBecomes(const QString& image, int offset, const std::string& hex) {
        return WaitFor([&] { return Zone(image, offset, int(hex.size() + 1) / 3) == hex; },
                       LongMs * 1ms);
    }
    QString Field(const QString& control, const QString& field) {
        const auto fields = staged.ReadControl(control);
        return fields ? fields->value(field) : "<refused>";
    }
    QString Title() { return Field("FrmLX735", "title"); }
    // The message boxes so far whose text holds every one of the texts.
    int BoxesSaying(const QStringList& texts) const {
        int n = 0;
        for (const QString& box : staged.MessageBoxes()) {
            n += std::all_of(texts.begin(), texts.end(),
                             [&](const QString& text) { return box.contains(text); });
        }
        return n;
    }
    bool Refused(const QString& line) const {
        for (const QString& refusal : staged.Refusals()) {
            if (refusal.startsWith(line + " (")) {
                return true;
            }
        }
        return false;
    }
    // File > Save configuration to the file of the tree right after the lines; its
    // bytes, "" when none was written.
    QByteArray SaveRightAfter(const QStringList& lines, const QString& name) {
        const QString path = staged.Path(name);
        EXPECT_TRUE(
            staged.Run(lines + QStringList{"file \"" + path + "\"", "click MnuFileSaveConf"}));
        WaitFor([&] { return QFile::exists(path); }, LongMs * 1ms);
        return staged.Read(name);
    }

    StagedProgram staged;
};

// ---- Before the first read

// An edit of a block, and the block as the edit leaves it once the block is read.
struct EarlyEdit {
    const char* name;
    QStringList reach; // the lines that bring up the control
    QStringList edit;
    const char* image;
    int offset;
    int count;
    void (*apply)(QByteArray& block); // the edit on the block as read
};

// The ECU's diagnosis on (zone 2) and threshold bits beside the minimum-rpm bit (zone 3):
// placeholder flags would switch the one off and wipe the others.
const QString EcuFlags = "zone2 11 14\nzone3 66 28";
const EarlyEdit EarlyEdits[] = {
    {"CompensationPlus",
     {"tab SstMain 3", "until SstMain enabled 1 60000", "click CmdTableComp"},
     {"click FrmCompensaTbl.GrdTemp 1 3", "key FrmCompensaTbl.GrdTemp KP_Add"},
     "compGasTemp",
     0,
     32,
     [](QByteArray& b) { ++b[5]; }},
    // The type's own defaults go into the table and the thresholds; the axes stay.
    {"LambdaType",
     {"tab SstMain 4"},
     {"choose CmbSwtchLambda 4"},
     "emulation",
     0,
     88,
     [](QByteArray& b) {
         b.replace(32, 48, QByteArray(48, char(61)));
         b.replace(82, 4, QByteArray::fromHex("4C2D4C2D"));
     }},
    {"Diagnostics",
     {"tab SstMain 1", "click CmdExpert(0)"},
     {"click FrmSetExpert.ChkAbilDiag"},
     "zone2",
     11,
     1,
     [](QByteArray& b) { b[0] = char(b[0] & ~0x04); }},
    {"MinimumRpm",
     {"tab SstMain 1", "click CmdExpert(0)"},
     {"click FrmSetExpert.ChkMinRpmAbil"},
     "zone3",
     66,
     1,
     [](QByteArray& b) { b[0] = char(b[0] | 0x01); }},
};

TEST_F(EndToEndEditModel, EditsBeforeTheFirstReadAreRefusedAndWipeNothing) {
    ASSERT_TRUE(StartSim(EcuFlags, true));
    const std::optional<SimDump> before = Dump();
    ASSERT_TRUE(before);
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(staged.Run(DeveloperView));
    for (const EarlyEdit& e : EarlyEdits) {
        staged.Run(e.reach + e.edit);
        EXPECT_TRUE(Refused(e.edit.last())) << e.name << ": an edit of a block not yet read";
    }

    ASSERT_TRUE(Answer());
    ASSERT_TRUE(PollsPast(Now()));
    const std::optional<SimDump> read = Dump();
    ASSERT_TRUE(read);
    for (const EarlyEdit& e : EarlyEdits) {
        EXPECT_EQ(Hex(read->Bytes(e.image, e.offset, e.count)),
                  Hex(before->Bytes(e.image, e.offset, e.count)))
            << e.name << ": the ECU's block as it was";
    }

    // Once read, the same edit changes only what it edits.
    QStringList lines;
    std::vector<std::string> wanted;
    for (const EarlyEdit& e : EarlyEdits) {
        lines << e.reach + e.edit;
        QByteArray block = before->Bytes(e.image, e.offset, e.count);
        e.apply(block);
        wanted.push_back(Hex(block));
    }
    ASSERT_TRUE(staged.Run(lines));
    std::optional<SimDump> edited;
    WaitFor(
        [&] {
            edited = Dump();
            for (std::size_t i = 0; edited && i < wanted.size(); ++i) {
                const EarlyEdit& e = EarlyEdits[i];
                if (Hex(edited->Bytes(e.image, e.offset, e.count)) != wanted[i]) {
                    return false;
                }
            }
            return edited.has_value();
        },
        LongMs * 1ms);
    ASSERT_TRUE(edited);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const EarlyEdit& e = EarlyEdits[i];
        EXPECT_EQ(Hex(edited->Bytes(e.image, e.offset, e.count)), wanted[i]) << e.name;
    }
}

TEST_F(EndToEndEditModel, ASaveBeforeTheFirstReadIsRefused) {
    ASSERT_TRUE(StartSim(QString(), true));
    ASSERT_TRUE(staged.StartProgram());
    const QString path = staged.Path("early.var");
    ASSERT_TRUE(staged.Run({"file \"" + path + "\"", "click MnuFileSaveConf"}));
    ASSERT_TRUE(WaitFor([&] { return BoxesSaying(NothingToSave) > 0 || QFile::exists(path); },
                        LongMs * 1ms));
    EXPECT_EQ(BoxesSaying(NothingToSave), 1) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(path)) << "a file of placeholders";
    EXPECT_FALSE(Title().contains("early.var")) << Title().toStdString();
}

// ---- While the blocks are read

// A link restart has the tables read again; the first table's read is lost twice, and
// the edit of the second lands while its read waits.
TEST_F(EndToEndEditModel, ACompensationEditDuringTheTablesReadIsWritten) {
    StartOnConfiguration();
    ASSERT_TRUE(staged.Run(
        DeveloperView + QStringList{"tab SstMain 3", "until SstMain enabled 1 60000",
                                    "click CmdTableComp", "until FrmCompensaTbl exists 1 60000"}));
    const std::optional<GridCells> shown = staged.Grid("FrmCompensaTbl.GrdTemp");
    ASSERT_TRUE(shown);
    const int percent = shown->rows.value(1).value(3).toInt();
    ASSERT_EQ(Zone("compGasTemp", 5, 1), Hex(QByteArray(1, char(percent))));

    const qint64 restart = Now();
    ASSERT_TRUE(staged.SimControl(Sim, "silence cmd=12 count=3\nsilence cmd=54 count=2"));
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_COMP_RID_TEMP", restart, 1, LongMs));
    const QString plus = "key FrmCompensaTbl.GrdTemp KP_Add";
    ASSERT_TRUE(staged.Run({"click FrmCompensaTbl.GrdTemp 1 3", plus}));
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_COMP_GAS_TEMP", restart, 1, LongMs));
    ASSERT_LT(staged.CommandMs(plus),
              RequestsAfter(staged, "CMD_READ_COMP_GAS_TEMP", restart).first().ms)
        << "the edit came before its table's read";

    const std::string edited = Hex(QByteArray(1, char(percent + 1)));
    EXPECT_TRUE(ZoneBecomes("compGasTemp", 5, edited)) << Zone("compGasTemp", 0, 32);
    const std::optional<GridCells> after = staged.Grid("FrmCompensaTbl.GrdTemp");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->rows.value(1).value(3).toInt(), percent + 1);
}

// ---- Loads, saves and closes right after an edit

TEST_F(EndToEndEditModel, ALoadWhileALambdaEditWaitsLeavesTheFilesBlockInRamAndFlash) {
    StartOnConfiguration();
    ASSERT_TRUE(staged.Run(DeveloperView));
    const QByteArray saved = SaveRightAfter({}, "ecu.var");
    QByteArray block = Section(saved, "[EmulaLambda]");
    ASSERT_EQ(block.size(), 88);
    block[32] = 0x17; // the first cell 0.45 V
    const QString path = staged.Path("load.var");
    ASSERT_TRUE(staged.Write("load.var", WithSection(saved, "[EmulaLambda]", block)));

    ASSERT_TRUE(staged.Run(
        {"tab SstMain 4", "choose CmbFiltro 5", "file \"" + path + "\"", "click MnuFileLoadConf"}));
    ASSERT_TRUE(
        WaitFor([&] { return !staged.Requests("CMD_SAVE_FLASH").isEmpty(); }, LongMs * 1ms));
    ASSERT_TRUE(PollsPast(staged.Requests("CMD_SAVE_FLASH").last().ms));
    const std::optional<SimDump> dump = Dump();
    ASSERT_TRUE(dump);
    EXPECT_EQ(Hex(dump->images.value("saved.emulation")), Hex(block)) << "flash: the file's";
    EXPECT_EQ(Hex(dump->images.value("emulation")), Hex(block)) << "RAM: the file's";
}

TEST_F(EndToEndEditModel, ASaveRightAfterAnEditHoldsTheEdit) {
    StartOnConfiguration();
    ASSERT_TRUE(staged.Run(DeveloperView));
    const std::optional<SimDump> before = Dump();
    ASSERT_TRUE(before);

    QByteArray filtered = before->Bytes("emulation", 0, 88);
    filtered[87] = char((filtered[87] & 0x0F) | 0x50);
    const QByteArray lambda = SaveRightAfter({"tab SstMain 4", "choose CmbFiltro 5"}, "lambda.var");
    EXPECT_EQ(Hex(Section(lambda, "[EmulaLambda]")), Hex(filtered));

    // Six cylinders: the count, and cylinders 5 and 6 switched on by the set-up step.
    const QByteArray cylinders =
        SaveRightAfter({"tab SstMain 1", "choose CmbSwtchCilindri \"6\""}, "cylinders.var");
    const QByteArray zone3 = Section(cylinders, "[BLK3]").mid(1);
    EXPECT_EQ(Hex(zone3.mid(1, 1)), "06");
    EXPECT_EQ(Hex(zone3.mid(14, 8)), "00 00 01 01 01 01 01 01");
}

TEST_F(EndToEndEditModel, ACloseRightAfterACylinderCountWritesIt) {
    StartOnConfiguration();
    ASSERT_TRUE(staged.SendScript({"choose CmbSwtchCilindri \"6\"", "close"}));
    ASSERT_TRUE(staged.WaitForProgramEnd(LongMs));
    EXPECT_EQ(Zone("zone3", 1, 1), "06");
}

// ---- Dialogs reopened before their write lands

struct Reopened {
    const char* name;
    const char* open;  // the button on the Configuration page
    const char* bar;   // the dialog's scroll bar
    const char* key;   // one step up
    int offset;        // the bar's value in zone 3, 16 bits
    const char* start; // the ECU's value there
    const char* twice; // after two steps
};

void PrintTo(const Reopened& r, std::ostream* out) {
    *out << r.name;
}

class EndToEndReopened : public EndToEndEditModel, public testing::WithParamInterface<Reopened> {};

// The zone-3 write held off until the second step.
TEST_P(EndToEndReopened, ADialogReopenedBeforeItsWriteShowsTheEditAndStepsFromIt) {
    const Reopened& r = GetParam();
    StartOnConfiguration(QString("zone3 %1 %2").arg(r.offset).arg(r.start));
    const QString bar = QString(r.bar);
    const QString dialog = bar.section('.', 0, 0);
    const QStringList open = {QString("click ") + r.open, "until " + bar + " exists 1 60000"};
    const QString step = "key " + bar + " " + r.key;
    ASSERT_TRUE(staged.SimControl(Sim, "silence cmd=17 count=forever"));
    ASSERT_TRUE(staged.Run(open + QStringList{step}));
    const QString edited = Field(bar, "value");
    ASSERT_TRUE(staged.Run(QStringList{"close " + dialog} + open));
    EXPECT_EQ(Field(bar, "value").toStdString(), edited.toStdString())
        << "the reopened dialog shows the edit";
    ASSERT_TRUE(staged.Run({step}));
    ASSERT_TRUE(staged.SimControl(Sim, "clear"));
    EXPECT_TRUE(ZoneBecomes("zone3", r.offset, r.twice)) << Zone("zone3", r.offset, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, EndToEndReopened,
    testing::Values(Reopened{"Injectors", "CmdTpyInj", "FrmInjSet.HScrTime(1)", "Right", 34, "6400",
                             "C8 00"},
                    Reopened{"LevelThresholds", "CmdTpyGLS", "FrmLevelSetting.HScrLevel(1)", "PgUp",
                             46, "6A02", "32 03"}),
    [](const testing::TestParamInfo<Reopened>& info) { return std::string(info.param.name); });

// ---- Rules of one edit

// 35 and 40 take the cold list of delays, 45 the warm one: the delay the installer never
// chose is the ECU's, whatever the cold list offered on the way.
TEST_F(EndToEndEditModel, SteppingTheChangeOverTemperatureKeepsTheDelay) {
    StartOnConfiguration();
    const std::string delay = Zone("zone3", 55, 2);
    ASSERT_TRUE(staged.Run({"choose CmbSwtchTemp \"40\"", "choose CmbSwtchTemp \"45\""}));
    ASSERT_TRUE(ZoneBecomes("zone3", 2, "2D 00"));
    ASSERT_TRUE(PollsPast(Now()));
    EXPECT_EQ(Zone("zone3", 55, 2), delay);
}

// ---- Off-line and refused writes

TEST_F(EndToEndEditModel, AFileLoadedOffLineIsNamedOnlyWhileOffLineAndIsTold) {
    ASSERT_TRUE(StartSim(QString(), true));
    const QString path = staged.Path("queued.var");
    ASSERT_TRUE(staged.Write("queued.var", staged.Read("LNG/Default.Xar")));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(staged.Run({"file \"" + path + "\"", "click MnuFileLoadConf", "click MnuOffLine",
                            "until TxtStatusBar(1) text \"COM STOP\" 60000"}));
    EXPECT_TRUE(WaitFor([&] { return Title().endsWith("[" + path + "]"); }, LongMs * 1ms))
        << Title().toStdString();

    ASSERT_TRUE(staged.SimControl(Sim, "clear"));
    const qint64 chosen = Now();
    ASSERT_TRUE(staged.Run({"click MnuDevCom(1)"}));
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_ERR", chosen, 1, LongMs));
    const QStringList told = {"queued.var", "was loaded off-line only"};
    WaitFor([&] { return !Title().contains(path) && BoxesSaying(told) > 0; }, LongMs * 1ms);
    EXPECT_FALSE(Title().contains(path)) << Title().toStdString();
    ASSERT_TRUE(PollsPast(Now()));
    EXPECT_EQ(BoxesSaying(told), 1) << staged.MessageBoxes().join('\n').toStdString();
}

TEST_F(EndToEndEditModel, AWriteRefusedForEverIsToldOnceAndLandsWhenTaken) {
    StartOnConfiguration();
    ASSERT_TRUE(staged.SimControl(Sim, "status cmd=17 count=forever"));
    ASSERT_TRUE(staged.Run({"choose CmbEmptyGas 0"}));
    const QStringList refuses = {"refuses", "kept"};
    ASSERT_TRUE(WaitFor([&] { return BoxesSaying(refuses) > 0; }, LongMs * 1ms))
        << "nobody is told of the refusal";
    // Another round of the refused write (a try and the link's two resends) after it.
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_WRT_MEM3", Now(), 3, LongMs));
    ASSERT_TRUE(staged.SimControl(Sim, "clear"));
    EXPECT_TRUE(ZoneBecomes("zone3", 67, "00"));
    ASSERT_TRUE(PollsPast(Now()));
    EXPECT_EQ(BoxesSaying(refuses), 1) << staged.MessageBoxes().join('\n').toStdString();
}

} // namespace
} // namespace e2e
