// The firmware update as an installer makes it, against lx735-sim with firmware 01.39
// and an image 01.40 of the same date: the window opens at connection, Next and Esc
// drive it, and the ECU's side is checked in the simulator's dump and the link log.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int StartMs = 60000;
constexpr int UpdateMs = 150000;
const QString EcuIdentity = "01.39 14/04/2010 LX735 SEQGAS T468";
const QString Confirm = "\\r\\nThe engine is running or the ignition key is on. Continue?";
const QString Armed = "Ready: press Next to write the new firmware.";
const QString Done = "Firmware update completed.";
const QString ComError = "Communication error: the ECU does not answer.";
const QString LeaveAsked =
    "\\r\\nPress Esc again to leave the update: the program will close.\\r\\n\\r\\n";
const QString LinkDown = "The link to the ECU is down. The update goes on once it is back; Esc "
                         "leaves it and closes the program.";
const QString Question = "FrmUpdate - ScaricaFirmwareDefaultParametri |COMUNICATION ERROR, SEND "
                         "MESSAGE\\r\\n\\r\\nYES TO CONTINUE!";
const QString Backup = "BIN/UpdateBackup.var";
const QString RetryBackup = "BIN/UpdateBackupRetry.var";
const QString Record = "BIN/UpdateUnfinished.ini";
const QString RecordedEcu = "01.39 - 14/04/2010 - T468";
const QString Unfinished =
    "FrmUpdate|A firmware update did not write the installation's parameters back to the ECU.";
const QString NotLoaded = "FrmUpdate|Il Programma non è stato Caricato Correttamente !";
const QString Unreadable = "The firmware image or the flash map BIN/Flash.ini cannot be read.";
// The line dies at the 11th block until the test reconnects it.
const QString DeadLineAtBlock11 = "hangup cmd=8 skip=10 value=600000000";
constexpr quint32 FlashFirst = 0xF80000;
constexpr int FlashSize = 0x80000;
constexpr int ImageBlocks = 33;
// Sends of one failed try: the frame and its two resends (NumResend 2).
constexpr int SendsPerTry = 3;
constexpr int CorrectionCell = 2 * 20; // byte offset of cell 20

QByteArray Pattern(int size, int seed, int modulo = 256) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((seed + 7 * i) % modulo);
    }
    return bytes;
}

// The installation poked into the ECU before the update, RAM and saved copy alike:
// block, offset, bytes.
struct Poke {
    const char* block;
    int offset;
    QByteArray bytes;
};

const QList<Poke>& Installation() {
    static const QList<Poke> pokes = {
        {"zone2", 3, QByteArray::fromHex("3930000095110000")}, // service hours
        {"zone2", 11, QByteArray::fromHex("13")},              // option bits 0, 1, 4
        {"zone3", 4, QByteArray::fromHex("d204")},
        {"emulation", 0, Pattern(88, 3)},
        {"compGasTemp", 0, Pattern(32, 5, 90)},
        {"compSmag", 2, QByteArray::fromHex("21")},
        {"testRecord", 0, "INSTALLER 4711  "},
    };
    return pokes;
}

// The image's S2 records laid over the erased flash.
QByteArray ImageFlash(const QString& path) {
    QByteArray flash(FlashSize, static_cast<char>(0xFF));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (QByteArray line : file.readAll().split('\n')) {
        line = line.trimmed();
        if (line.startsWith("S2")) {
            const quint32 address = line.mid(4, 6).toUInt(nullptr, 16);
            const QByteArray data = QByteArray::fromHex(line.mid(10, line.size() - 12));
            flash.replace(static_cast<int>(address - FlashFirst), data.size(), data);
        }
    }
    return flash;
}

QString Quoted(const QString& text) {
    return '"' + text + '"';
}

QString UntilMsg(const QString& text, int ms) {
    return "until FrmUpdate.LblMsg text " + Quoted(text) + ' ' + QString::number(ms);
}

// The requests' command names in order, without the keep-alives and the live-data polls.
QStringList Commands(const StagedProgram& staged, qint64 fromMs = 0) {
    QStringList names;
    for (const LoggedRequest& r : staged.Requests()) {
        if (r.ms >= fromMs && r.name != "CMD_GET_ECO" && r.name != "CMD_READ_MEM1") {
            names << r.name;
        }
    }
    return names;
}

// The flash address of every block frame sent, in the order sent.
QList<quint32> BlockAddresses(const StagedProgram& staged) {
    QList<quint32> blocks;
    for (const LoggedExchange& e : staged.Exchanges()) {
        if (e.name == "CMD_WRT_FLASH_ZONE") {
            blocks << (static_cast<quint8>(e.request[5]) << 16 |
                       static_cast<quint8>(e.request[6]) << 8 | static_cast<quint8>(e.request[7]));
        }
    }
    return blocks;
}

bool InOrder(const QStringList& names, const QStringList& expected) {
    qsizetype at = 0;
    for (const QString& name : expected) {
        at = names.indexOf(name, at);
        if (at < 0) {
            return false;
        }
        ++at;
    }
    return true;
}

class FirmwareUpdate : public ::testing::Test {
protected:
    // The ECU with its installation, the program connected and the window open.
    void Start(const QStringList& simFaults = {}) {
        ASSERT_TRUE(staged.Valid());
        ASSERT_TRUE(staged.WriteImage("01.40", "14/04/2010", "T468"));
        QStringList args = {"--fast", "--identity", EcuIdentity};
        for (const QString& fault : simFaults) {
            args << "--fault" << fault;
        }
        const QString link = staged.StartSim("ecu", args);
        ASSERT_FALSE(link.isEmpty());
        // One correction cell moved by 7 counts from the factory table.
        const std::optional<SimDump> factory = staged.SimState("ecu");
        ASSERT_TRUE(factory);
        QByteArray cell = factory->Bytes("correction", CorrectionCell, 2);
        ASSERT_EQ(cell.size(), 2);
        cell[0] = static_cast<char>(cell[0] + 7);
        pokes = Installation();
        pokes.append({"correction", CorrectionCell, cell});
        for (const Poke& p : pokes) {
            for (const QString prefix : {"", "saved."}) {
                ASSERT_TRUE(staged.SimPoke("ecu", prefix + p.block, p.offset, p.bytes));
            }
        }
        ASSERT_TRUE(staged.SimControl("ecu", "set rpm 850\nset key 1"));
        staged.MapCom(1, link);
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(staged.Run({"until FrmUpdate.LblRelEcu_Val text \"01.39 - 14/04/2010\" " +
                                QString::number(StartMs)}));
    }

    // Engine stopped, key off, and the first press accepted.
    void Arm() {
        ASSERT_TRUE(staged.SimControl("ecu", "set rpm 0\nset key 0"));
        ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Armed, 60000)}));
    }

    void ExpectFlashIsTheImage() {
        const std::optional<SimDump> dump = staged.SimState("ecu");
        ASSERT_TRUE(dump);
        EXPECT_EQ(dump->FlashBytes(FlashFirst, FlashSize),
                  ImageFlash(staged.Path("BIN/TarvencoInj468.frh")));
    }

    // The installation in RAM and flash; the blocks left out as they are now.
    void ExpectInstallationBack(const QStringList& leftOut = {}) {
        const std::optional<SimDump> dump = staged.SimState("ecu");
        ASSERT_TRUE(dump);
        for (const QString prefix : {"", "saved."}) {
            for (const Poke& p : pokes) {
                if (leftOut.contains(p.block)) {
                    continue;
                }
                QByteArray expected = p.bytes;
                if (QString(p.block) == "zone2" && p.offset == 11) {
                    expected = QByteArray::fromHex("12"); // option bit 0 cleared
                }
                EXPECT_EQ(dump->Bytes(prefix + p.block, p.offset, p.bytes.size()), expected)
                    << (prefix + p.block).toStdString() << " at " << p.offset;
            }
        }
    }

    // The read-back kept as a parameter file holds the ECU's blocks as they are now.
    void ExpectBackupOfTheInstallation() {
        const std::optional<SimDump> dump = staged.SimState("ecu");
        ASSERT_TRUE(dump);
        const QList<QByteArray> lines = staged.Read("BIN/UpdateBackup.var").split('\n');
        const auto after = [&](const QByteArray& marker) {
            const qsizetype at = lines.indexOf(marker + '\r');
            return at < 0 ? QByteArray() : lines.value(at + 1).trimmed();
        };
        EXPECT_EQ(after("[BLK3]"), "B3" + dump->images.value("zone3").toHex().toUpper());
        EXPECT_EQ(after("[BLK2]").mid(2 + 2 * 3, 2 * 9),
                  dump->images.value("zone2").mid(3, 9).toHex().toUpper())
            << "hours and options";
        EXPECT_EQ(after("[EmulaLambda]"), dump->images.value("emulation").toHex().toUpper());
        EXPECT_EQ(after("[BLKCompTempGas]"), dump->images.value("compGasTemp").toHex().toUpper());
        EXPECT_EQ(after("[BLKSmagAcc]"), dump->images.value("compSmag").toHex().toUpper());
    }

    // The update cut after the erase (No to the question at the 11th block): the program
    // ends and the ECU, erased, restarts on its factory parameters, every block but the
    // service hours, which live apart.
    void CutUpdateAfterTheErase() {
        Start({QString("silence cmd=8 skip=10 count=%1").arg(3 * SendsPerTry)});
        Arm();
        ASSERT_TRUE(staged.SendScript({"answer No", "click FrmUpdate.CmdUpdate"}));
        ASSERT_TRUE(staged.WaitForProgramEnd(UpdateMs).has_value());
        const std::optional<SimDump> erased = staged.SimState("ecu");
        ASSERT_TRUE(erased);
        ASSERT_EQ(erased->mode, "flash");
        for (const Poke& p : pokes) {
            const QByteArray factory = erased->Bytes("saved." + QString(p.block), p.offset,
                                                     static_cast<int>(p.bytes.size()));
            ASSERT_TRUE(staged.SimPoke("ecu", p.block, p.offset, factory));
        }
        erasedFlash = erased->flash;
    }

    // A damaged line in place of the image's 6th line.
    void DamageImage(const std::function<void(QByteArray&)>& damage) {
        QList<QByteArray> lines = staged.Read(Image).split('\n');
        ASSERT_GT(lines.size(), 6);
        ASSERT_TRUE(lines[5].startsWith("S2"));
        damage(lines[5]);
        ASSERT_TRUE(staged.Write(Image, lines.join('\n')));
    }

    QString Native(const QString& relative) const {
        return QDir::toNativeSeparators(QDir::cleanPath(staged.Path(relative)));
    }

    QString ParamsAreIn(const QString& relative) const {
        return "The installation's parameters are in " + Native(relative) +
               ". To send them to the ECU: File > Load, choose that file.";
    }

    int BoxesSaying(const QString& start) const {
        const QStringList boxes = staged.MessageBoxes();
        return static_cast<int>(std::count_if(
            boxes.begin(), boxes.end(), [&](const QString& b) { return b.startsWith(start); }));
    }

    const QString Image = "BIN/TarvencoInj468.frh";
    StagedProgram staged;
    QList<Poke> pokes;
    QMap<quint32, QByteArray> erasedFlash;
};

// With the program's pauses at their real length: the ECU's restart after the flash end
// is held for 10 s and followed by a 4 s pause before the next request.
TEST_F(FirmwareUpdate, CompletesWithTheParametersKept) {
    staged.SetTimeScale(1);
    Start();
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Confirm, 60000)}));
    Arm();
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Done, UpdateMs)}));

    const QStringList sent = Commands(staged);
    EXPECT_TRUE(InOrder(sent, {"CMD_READ_MEM2", "CMD_READ_MEM3", "CMD_READ_EMUS",
                               "CMD_READ_TBL_COR", "CMD_READ_DCOL_FL", "CMD_SET_ECU_PRG",
                               "CMD_ERASE_FLASH", "CMD_WRT_FLASH_ZONE", "CMD_WRT_FLASH_END",
                               "CMD_READ_FIRMWARE", "CMD_WRT_MEM2", "CMD_WRT_MEM3", "CMD_WRIT_EMUS",
                               "CMD_WRT_TBL_COR", "CMD_WRIT_DCOL", "CMD_CANC_SMPL_BNZ",
                               "CMD_CANC_SMPL_GAS", "CMD_CANC_ERR", "CMD_SAVE_FLASH"}))
        << sent.join(' ').toStdString();
    QList<quint32> blocks = BlockAddresses(staged);
    EXPECT_TRUE(std::is_sorted(blocks.begin(), blocks.end())) << "ascending";
    // A frame sent again after a reply lost on a loaded machine is the same block.
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    EXPECT_EQ(blocks.size(), ImageBlocks) << "blank blocks are not sent";
    // From the last flash end (the first may have been sent again) to the next request.
    const QList<LoggedRequest> requests = staged.Requests();
    qsizetype end = requests.size() - 1;
    while (end >= 0 && requests[end].name != "CMD_WRT_FLASH_END") {
        --end;
    }
    ASSERT_TRUE(end >= 0 && end + 1 < requests.size());
    EXPECT_GE(requests[end + 1].ms - requests[end].ms, 14000) << "the restart's hold and pause";
    ExpectFlashIsTheImage();
    ExpectInstallationBack();
    ExpectBackupOfTheInstallation();

    const qint64 escMs = staged.Requests().last().ms;
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdEsc", "until FrmUpdate exists 0 60000"}));
    EXPECT_TRUE(
        WaitFor([&] { return Commands(staged, escMs).contains("CMD_READ_MEM3"); }, StartMs * 1ms))
        << "polling the new firmware";
    EXPECT_TRUE(staged.ProgramRunning());
}

// The line dies for 2 s at the 11th block: the try waits for the link, nothing is skipped.
TEST_F(FirmwareUpdate, LinkLostMidProgrammingIsWaitedFor) {
    Start({"hangup cmd=8 skip=10 value=2000000"});
    Arm();
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Done, UpdateMs)}));
    for (const ProgramEvent& e : staged.Events()) {
        EXPECT_NE(e.kind, "MSGBOX") << e.text.toStdString();
    }
    ExpectFlashIsTheImage();
    ExpectInstallationBack();
}

// The 11th block fails three tries with the link alive: Yes leaves it unwritten, the
// loop stops there (the link restarted, so the ECU is not known to take blocks), the
// window says how many blocks are missing and Next writes the flash again.
TEST_F(FirmwareUpdate, SkippedBlockIsWrittenByTheNextPress) {
    Start({QString("silence cmd=8 skip=10 count=%1").arg(3 * SendsPerTry)});
    Arm();
    ASSERT_TRUE(staged.Run(
        {"answer Yes", "click FrmUpdate.CmdUpdate",
         UntilMsg(ComError + QString("\\r\\n\\r\\nBlocks not written: %1").arg(ImageBlocks - 10),
                  UpdateMs)}));
    EXPECT_EQ(staged.MessageBoxes(), QStringList{Question});
    EXPECT_FALSE(Commands(staged).contains("CMD_WRT_FLASH_END"));
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Done, UpdateMs)}));
    ExpectFlashIsTheImage();
    ExpectInstallationBack();
}

// The line dies at the 11th block and stays dead: one question, the window says the link
// is down while it waits, and once the line is back the update goes on from that block.
TEST_F(FirmwareUpdate, DeadLinkAsksOnceAndGoesOnWhenItIsBack) {
    Start({DeadLineAtBlock11});
    Arm();
    ASSERT_TRUE(staged.Run({"answer Yes", "click FrmUpdate.CmdUpdate", UntilMsg(LinkDown, UpdateMs),
                            "until FrmUpdate.CmdEsc visible 1 60000"}));
    ASSERT_TRUE(staged.SimControl("ecu", "reconnect"));
    ASSERT_TRUE(staged.Run({UntilMsg(Done, UpdateMs)}));
    EXPECT_EQ(staged.MessageBoxes(), QStringList{Question});
    ExpectFlashIsTheImage();
    ExpectInstallationBack();
    const QList<quint32> blocks = BlockAddresses(staged);
    EXPECT_TRUE(std::is_sorted(blocks.begin(), blocks.end())) << "never back to an earlier block";
    EXPECT_EQ(QSet<quint32>(blocks.begin(), blocks.end()).size(), ImageBlocks);
    EXPECT_EQ(staged.Requests("CMD_ERASE_FLASH").size(), 1);
}

// The ECU restarts in run mode while the line is dead at the 11th block: it refuses the
// blocks once the line is back, and Next enters programming mode again before it erases,
// so the update completes without restarting the program.
TEST_F(FirmwareUpdate, EcuRestartedMidProgrammingCompletesAfterNext) {
    Start({DeadLineAtBlock11});
    Arm();
    ASSERT_TRUE(
        staged.Run({"answer Yes", "click FrmUpdate.CmdUpdate", UntilMsg(LinkDown, UpdateMs)}));
    ASSERT_TRUE(staged.SimControl("ecu", "mode run\nreconnect"));
    ASSERT_TRUE(staged.Run(
        {UntilMsg(ComError + QString("\\r\\n\\r\\nBlocks not written: %1").arg(ImageBlocks - 10),
                  UpdateMs)}));
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(Done, UpdateMs)}));
    const qint64 nextMs = staged.CommandMs("click FrmUpdate.CmdUpdate");
    const QList<LoggedExchange> prg = GoodExchangesAfter(staged, "CMD_SET_ECU_PRG", nextMs);
    const QList<LoggedExchange> erase = GoodExchangesAfter(staged, "CMD_ERASE_FLASH", nextMs);
    ASSERT_EQ(prg.size(), 1);
    ASSERT_EQ(erase.size(), 1);
    EXPECT_LE(prg[0].ms, erase[0].ms);
    EXPECT_EQ(staged.MessageBoxes(), QStringList{Question});
    ExpectFlashIsTheImage();
    ExpectInstallationBack();
    EXPECT_TRUE(staged.ProgramRunning());
}

TEST_F(FirmwareUpdate, EscTwiceOnTheFirstScreenEndsTheProgram) {
    Start();
    ASSERT_TRUE(staged.Run(
        {"click FrmUpdate.CmdEsc", UntilMsg(LeaveAsked, 10000), "click FrmUpdate.CmdEsc"}));
    ASSERT_TRUE(staged.WaitForProgramEnd(StartMs).has_value());
    EXPECT_FALSE(Commands(staged).contains("CMD_SET_ECU_PRG"));
}

TEST_F(FirmwareUpdate, SilentEmulationReadStopsBeforeProgramming) {
    Start({"silence cmd=65 count=forever"});
    Arm();
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(ComError, UpdateMs)}));
    EXPECT_TRUE(staged.Run(
        {"until FrmUpdate.CmdUpdate visible 0 60000", "until FrmUpdate.CmdEsc visible 1 60000"}));
    EXPECT_FALSE(Commands(staged).contains("CMD_SET_ECU_PRG"));
}

// An update cut after the erase, the ECU restarted on its factory parameters: at the next
// start the program says where the installation is, and the retry writes back every
// block of the first try's backup, not the erased ECU's factory read-back, which it
// keeps apart. The test record, which the file does not hold, is told as not restored.
TEST_F(FirmwareUpdate, RetryOnAnErasedEcuWritesTheFirstBackupBack) {
    CutUpdateAfterTheErase();
    const QByteArray backup = staged.Read(Backup);
    ASSERT_FALSE(backup.isEmpty());
    ASSERT_FALSE(staged.Read(Record).isEmpty());

    ASSERT_TRUE(staged.StartProgram());
    const QString done =
        Done + "\\r\\n\\r\\nThe parameters of an update that did not finish stay in " +
        Native(Backup) + "; this update's read-back is saved in " + Native(RetryBackup) +
        ".\\r\\n\\r\\nThe test record could not be restored: " + Native(Backup) +
        " does not hold it.";
    ASSERT_TRUE(staged.Run(
        {"until FrmUpdate.LblRelEcu_Val text \"FF.FF - FF/FF/FFFF\" " + QString::number(StartMs),
         "click FrmUpdate.CmdUpdate", UntilMsg(Armed, 60000), "click FrmUpdate.CmdUpdate",
         UntilMsg(done, UpdateMs)},
        StartMs + UpdateMs));
    EXPECT_EQ(BoxesSaying(Unfinished), 1);
    ExpectFlashIsTheImage();
    ExpectInstallationBack({"testRecord"});
    const std::optional<SimDump> dump = staged.SimState("ecu");
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->Bytes("testRecord", 0, 16), dump->Bytes("saved.testRecord", 0, 16));
    EXPECT_NE(dump->Bytes("testRecord", 0, 16), QByteArray("INSTALLER 4711  "));
    EXPECT_EQ(staged.Read(Backup), backup);
    EXPECT_FALSE(staged.Read(RetryBackup).isEmpty());
    EXPECT_FALSE(QFile::exists(staged.Path(Record))) << "the set is back";
}

// An erased ECU is programmed without a question only with an image of the recorded
// project, not older than the recorded firmware. Otherwise the program asks first,
// showing both identities; No leaves the ECU as it is.
TEST_F(FirmwareUpdate, ErasedEcuAsksBeforeAnImageTheRecordDoesNotVouchFor) {
    CutUpdateAfterTheErase();
    const QByteArray record = staged.Read(Record);
    ASSERT_FALSE(record.isEmpty());
    struct Case {
        const char* what;
        QString version;
        QString project;
        bool recorded;
        QString asked; // the identities the question shows
    };
    const Case cases[] = {
        {"another project", "01.40", "T999", true,
         RecordedEcu + ". Image: 01.40 - 14/04/2010 - T999"},
        {"an older version", "01.02", "T468", true,
         RecordedEcu + ". Image: 01.02 - 14/04/2010 - T468"},
        {"no record", "01.40", "T468", false, "unknown. Image: 01.40 - 14/04/2010 - T468"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(staged.WriteImage(c.version, "14/04/2010", c.project));
        if (c.recorded) {
            ASSERT_TRUE(staged.Write(Record, record));
        } else {
            ASSERT_TRUE(QFile::remove(staged.Path(Record)));
        }
        const int asked = BoxesSaying("FrmUpdate|The ECU's firmware is erased.");
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(staged.Run({"until FrmUpdate.LblRelEcu_Val text \"FF.FF - FF/FF/FFFF\" " +
                                    QString::number(StartMs),
                                "click FrmUpdate.CmdUpdate", UntilMsg(Armed, 60000), "answer No",
                                "click FrmUpdate.CmdUpdate", UntilMsg(LeaveAsked, 60000),
                                "click FrmUpdate.CmdEsc"},
                               StartMs + 30000));
        ASSERT_TRUE(staged.WaitForProgramEnd(StartMs).has_value());
        EXPECT_EQ(
            BoxesSaying("FrmUpdate|The ECU's firmware is erased. Recorded before the erase: " +
                        c.asked + ". Program the ECU with this image?"),
            1);
        EXPECT_EQ(BoxesSaying("FrmUpdate|The ECU's firmware is erased."), asked + 1);
        const std::optional<SimDump> dump = staged.SimState("ecu");
        ASSERT_TRUE(dump);
        EXPECT_EQ(dump->flash, erasedFlash) << "nothing erased or written";
    }
}

// The write-back the ECU does not answer after a good flash: the window says at once
// where the installation is; each later start says it again, the backup stays as it
// was, and File > Load of the backup puts the installation back and ends the record.
TEST_F(FirmwareUpdate, FailedWriteBackIsToldUntilTheBackupIsSent) {
    Start({"silence cmd=16 count=forever"});
    Arm();
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate",
                            UntilMsg(ComError + "\\r\\n\\r\\n" + ParamsAreIn(Backup), UpdateMs)}));
    ExpectFlashIsTheImage();
    const QByteArray backup = staged.Read(Backup);
    ASSERT_FALSE(backup.isEmpty());
    ASSERT_TRUE(staged.Run(
        {"click FrmUpdate.CmdEsc", UntilMsg(LeaveAsked, 10000), "click FrmUpdate.CmdEsc"}));
    ASSERT_TRUE(staged.WaitForProgramEnd(StartMs).has_value());
    EXPECT_EQ(BoxesSaying(Unfinished), 0);

    ASSERT_TRUE(staged.SimControl("ecu", "clear"));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitForSettingsRead(staged, UpdateMs));
    EXPECT_EQ(staged.MessageBoxes().filter(Unfinished).size(), 1);
    EXPECT_TRUE(staged.MessageBoxes().filter(Unfinished).first().endsWith(ParamsAreIn(Backup)));
    EXPECT_EQ(staged.Read(Backup), backup);
    ASSERT_TRUE(staged.Run({"file \"" + staged.Path(Backup) + "\"", "click MnuFileLoadConf"}));
    EXPECT_TRUE(WaitFor([&] { return !QFile::exists(staged.Path(Record)); }, UpdateMs * 1ms))
        << "the record ends once the backup is sent whole";
    ExpectInstallationBack({"testRecord"});
}

// A damaged line among the image's records, however it is damaged, refuses the image
// before anything is erased, as a wrong checksum does: at the start, and when the image
// is damaged while the update window is open.
TEST_F(FirmwareUpdate, DamagedImageIsRefusedAtTheStart) {
    ASSERT_TRUE(staged.WriteImage("01.40", "14/04/2010", "T468"));
    DamageImage([](QByteArray& line) { line.prepend(' '); });
    const QString link = staged.StartSim("ecu", {"--fast", "--identity", EcuIdentity});
    ASSERT_FALSE(link.isEmpty());
    staged.MapCom(1, link);
    ASSERT_TRUE(staged.StartProgram());
    EXPECT_TRUE(
        WaitFor([&] { return !staged.MessageBoxes().filter(Unreadable).isEmpty(); }, StartMs * 1ms))
        << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(staged.Run({"until FrmUpdate exists 0 60000"}));
    EXPECT_FALSE(Commands(staged).contains("CMD_SET_ECU_PRG"));
}

TEST_F(FirmwareUpdate, ImageDamagedWhileTheWindowIsOpenIsRefusedBeforeTheErase) {
    Start();
    DamageImage([](QByteArray& line) { line[0] = 'X'; });
    Arm();
    const std::optional<SimDump> before = staged.SimState("ecu");
    ASSERT_TRUE(before);
    ASSERT_TRUE(staged.Run({"click FrmUpdate.CmdUpdate", UntilMsg(ComError, UpdateMs)}));
    EXPECT_EQ(BoxesSaying(NotLoaded), 1) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_FALSE(Commands(staged).contains("CMD_ERASE_FLASH"));
    const std::optional<SimDump> after = staged.SimState("ecu");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->flash, before->flash);
    EXPECT_FALSE(QFile::exists(staged.Path(Record))) << "nothing was erased";
}

} // namespace
} // namespace e2e
