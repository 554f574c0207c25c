// A parameter file loaded through the File menu into lx735-sim while the ECU refuses one
// of its tables: the flash is not saved, the installer is told which blocks are missing,
// the caption names no file, and a load sent again waits for the ECU to be identified.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
constexpr int SwitchTempOffset = 2; // zone 3, 16 bits

const QString RefusedPressureTable = "status cmd=59 count=forever";
const QString Missing = "\\r\\n- Reducer pressure compensation\\r\\n- Leaning on acceleration"
                        "\\r\\n- Lambda emulation\\r\\n- Correction table\\r\\n";

class EndToEndParamLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        ASSERT_TRUE(staged.StartConnected());
    }

    // The ECU's set as the program saves it, with another change-over temperature.
    QString FileWithSwitchTemp(int celsius) {
        const QString saved = staged.Path("saved.var");
        EXPECT_TRUE(staged.Run({"file \"" + saved + "\"", "click MnuFileSaveConf"}));
        EXPECT_TRUE(WaitFor([&] { return QFile::exists(saved); }, LongMs * 1ms));
        QList<QByteArray> lines = staged.Read("saved.var").split('\n');
        for (QByteArray& line : lines) {
            if (line.startsWith("B3")) {
                line.replace(2 + 2 * SwitchTempOffset, 4,
                             QByteArray::number(celsius, 16).rightJustified(2, '0').toUpper() +
                                 "00");
            }
        }
        QFile file(staged.Path("load.var"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        return file.fileName();
    }

    QString Zone3Hex(const QString& image) {
        const std::optional<SimDump> dump = staged.SimState("ecu");
        return dump ? dump->Hex(image, SwitchTempOffset, 2) : "<no dump>";
    }

    QString Title() {
        const auto fields = staged.ReadControl("FrmLX735");
        return fields ? fields->value("title") : "<none>";
    }

    // The first box that tells of blocks not written; "" when none came.
    QString NotWrittenBox() {
        QString box;
        WaitFor(
            [&] {
                for (const QString& b : staged.MessageBoxes()) {
                    if (b.contains("Not written to the ECU:")) {
                        box = b;
                        return true;
                    }
                }
                return false;
            },
            LongMs * 1ms);
        return box;
    }

    StagedProgram staged;
};

TEST_F(EndToEndParamLoad, ARefusedTableLeavesTheFlashUnsavedAndIsTold) {
    const QString path = FileWithSwitchTemp(0x3D);
    const QString before = Zone3Hex("saved.zone3");
    ASSERT_TRUE(staged.SimControl("ecu", RefusedPressureTable));
    ASSERT_TRUE(staged.Run({"answer No", "file \"" + path + "\"", "click MnuFileLoadConf"}));

    const QString box = NotWrittenBox();
    ASSERT_FALSE(box.isEmpty()) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(box.contains("|The parameter file was not loaded completely:\\r\\n" + path))
        << box.toStdString();
    EXPECT_TRUE(box.contains(Missing)) << box.toStdString();
    EXPECT_FALSE(box.contains("zone 3"));
    EXPECT_TRUE(box.endsWith("Nothing was saved in the ECU's flash. Send the whole file again?"));
    EXPECT_FALSE(Title().contains(".var")) << Title().toStdString();

    // The ECU's memory holds the blocks before the table; its flash, nothing of the file.
    EXPECT_EQ(Zone3Hex("zone3"), "3D 00");
    EXPECT_EQ(Zone3Hex("saved.zone3"), before);
    const qint64 refused = staged.Requests("CMD_WRITE_COMP_PRES_GAS").first().ms;
    for (const char* rest : {"CMD_WRITE_CMP_SMAG", "CMD_WRIT_EMUS", "CMD_WRT_TBL_COR"}) {
        EXPECT_TRUE(RequestsAfter(staged, rest, refused).isEmpty()) << rest;
    }
    // No: the file is not sent again; the polls go on.
    ASSERT_TRUE(WaitForRequestsAfter(staged, "CMD_READ_MEM1", refused, 20, LongMs));
    EXPECT_EQ(staged.Requests("CMD_WRT_MEM3").size(), 1);
    EXPECT_TRUE(staged.Requests("CMD_SAVE_FLASH").isEmpty());
}

// The refusal restarts the link. Yes sends the whole file again, but only once the ECU has
// been identified after the restart; with the table taken, the flash is saved.
TEST_F(EndToEndParamLoad, ALoadSentAgainWaitsForTheIdentification) {
    const QString path = FileWithSwitchTemp(0x3E);
    ASSERT_TRUE(staged.SimControl("ecu", RefusedPressureTable));
    ASSERT_TRUE(staged.Run({"answer Yes", "file \"" + path + "\"", "click MnuFileLoadConf"}));
    ASSERT_FALSE(NotWrittenBox().isEmpty());
    ASSERT_TRUE(staged.SimControl("ecu", "clear"));
    ASSERT_TRUE(
        WaitFor([&] { return !staged.Requests("CMD_SAVE_FLASH").isEmpty(); }, LongMs * 1ms));

    const qint64 refused = staged.Requests("CMD_WRITE_COMP_PRES_GAS").first().ms;
    const QList<LoggedRequest> identified = RequestsAfter(staged, "CMD_READ_FIRMWARE", refused);
    ASSERT_FALSE(identified.isEmpty());
    for (const char* rest : {"CMD_WRITE_CMP_SMAG", "CMD_WRIT_EMUS", "CMD_WRT_TBL_COR"}) {
        const QList<LoggedRequest> sent = RequestsAfter(staged, rest, refused);
        ASSERT_FALSE(sent.isEmpty()) << rest;
        EXPECT_GE(sent.first().ms, identified.first().ms) << rest;
    }
    const QList<LoggedRequest> again = RequestsAfter(staged, "CMD_WRT_MEM2", refused);
    ASSERT_FALSE(again.isEmpty());
    EXPECT_GE(again.first().ms, identified.first().ms);
    EXPECT_TRUE(WaitFor([&] { return Zone3Hex("saved.zone3") == "3E 00"; }, LongMs * 1ms));
    EXPECT_TRUE(WaitFor([&] { return Title().endsWith("[" + path + "]"); }, LongMs * 1ms));
}

} // namespace
} // namespace e2e
