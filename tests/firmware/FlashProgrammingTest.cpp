// The flash operations on their own against the simulated ECU: what they refuse and
// what they judge by.

#include "UpdateRig.h"

#include "firmware/FlashProgramming.h"
#include "link/ClsComm.h"
#include "link/Frames.h"

#include <QFile>
#include <gtest/gtest.h>

namespace firmware_test {
namespace {

using namespace comm;
using firmware::EraseAllFlash;
using firmware::SetEcuPrg;

const QString NotLoaded = "Il Programma non è stato Caricato Correttamente !";

TEST(FlashProgramming, SetEcuPrgSendsNothingWhileTheEcuTakesBlocks) {
    UpdateRig t;
    ClsComm& link = t.rig.ctx.Comm();
    link.EcuState(ECU_FLASH_WRT);
    EXPECT_TRUE(SetEcuPrg(link));
    EXPECT_TRUE(t.rig.Commands().isEmpty());

    // After a link restart the ECU may have restarted too: programming mode is asked again.
    link.ComState(COM_RESTART);
    ASSERT_TRUE(firmware::WaitForLink(link));
    EXPECT_TRUE(SetEcuPrg(link));
    EXPECT_EQ(t.rig.Commands(), QList<quint8>{CMD_SET_ECU_PRG});
    t.rig.ecu.ClearCommandLog();

    link.EcuState(ECU_RUN);
    t.Silence(CMD_SET_ECU_PRG, sim::kForever);
    EXPECT_FALSE(SetEcuPrg(link));
    ASSERT_EQ(t.boxes.boxes.size(), 1u);
    EXPECT_EQ(t.boxes.boxes[0].prompt, "COMUNICATION ERROR, SEND MESSAGE");
    EXPECT_EQ(t.boxes.boxes[0].style, support::vbCritical);
    EXPECT_EQ(t.boxes.boxes[0].title, "FrmUpdate");
    EXPECT_EQ(link.AttesaGlobale_usec(), link.AttesaGlobaleConf()) << "the reply wait restored";
}

// Nothing is erased unless the image and the map make sense.
TEST(FlashProgramming, EraseRefusesWhatCannotBeWritten) {
    struct Case {
        const char* name;
        QByteArray image; // "" removes it
        bool zeroWidthMap;
        bool box;
    };
    const Case cases[] = {
        {"no image", "", false, true},
        {"no S2 record", "S0030000FC\r\n", false, true},
        {"a flash map of no width", {}, true, true},
        {"a damaged record", "S208F800001122334455\r\nS208F80004112233445A\r\n", false, true},
        {"every record outside the map", "S208010000112233444C\r\nS2087F000011223344CE\r\n", false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateRig t;
        ClsComm& link = t.rig.ctx.Comm();
        const QString image = t.rig.ctx.FirmwareFilePath;
        if (c.zeroWidthMap) {
            link.LargFlash(0);
        } else if (c.image.isEmpty()) {
            ASSERT_TRUE(QFile::remove(image));
        } else {
            t.rig.tree.Write("BIN/TarvencoInj468.frh", c.image);
        }
        EXPECT_FALSE(EraseAllFlash(link, image));
        EXPECT_EQ(t.boxes.boxes.size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(t.boxes.boxes[0].prompt, NotLoaded);
            EXPECT_EQ(t.boxes.boxes[0].style, support::vbExclamation);
        }
        EXPECT_EQ(t.rig.Received(CMD_ERASE_FLASH), 0);
    }
}

// A refused erase is no erase, even when the ECU took blocks before it.
TEST(FlashProgramming, EraseIsJudgedByItsOwnReply) {
    UpdateRig t;
    ClsComm& link = t.rig.ctx.Comm();
    ASSERT_TRUE(SetEcuPrg(link));
    link.EcuState(ECU_FLASH_WRT);
    sim::Fault refused;
    refused.kind = sim::FaultKind::Status;
    refused.command = CMD_ERASE_FLASH;
    refused.count = sim::kForever;
    refused.value = 254;
    t.rig.ecu.AddFault(refused);
    EXPECT_FALSE(EraseAllFlash(link, t.rig.ctx.FirmwareFilePath));
    EXPECT_GE(t.rig.Received(CMD_ERASE_FLASH), 1);

    t.rig.ecu.ClearFaults();
    EXPECT_TRUE(EraseAllFlash(link, t.rig.ctx.FirmwareFilePath));
    EXPECT_EQ(t.rig.ecu.Mode(), sim::EcuMode::FlashWrt);
    EXPECT_EQ(link.AttesaGlobale_usec(), link.AttesaGlobaleConf());
}

} // namespace
} // namespace firmware_test
