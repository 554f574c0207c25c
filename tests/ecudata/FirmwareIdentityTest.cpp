// The ECU's and the image's firmware identities against the simulated ECU.

#include "EcuRig.h"
#include "common/BuildTools.h"
#include "ecudata/FirmwareImage.h"
#include "link/Frames.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace ecudata;
using namespace comm;
using ecudata_test::EcuRig;

namespace {

// The identity string as the link object holds it.
QString IdentityText(const sim::Identity& id) {
    const QByteArray block = id.Bytes();
    return QString(block.left(6).toHex().toUpper()) + QString::fromLatin1(block.mid(6));
}

sim::Fault Fault(sim::FaultKind kind, int command) {
    sim::Fault fault;
    fault.kind = kind;
    fault.command = command;
    fault.count = sim::kForever;
    fault.value = kind == sim::FaultKind::Status ? 254 : 0;
    return fault;
}

// A rig with the shipped flash map and image, which watches the busy pointer.
struct IdentityRig : EcuRig {
    IdentityRig() {
        for (const char* file : {"BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
            tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
        }
        const auto step = time.onPump;
        time.onPump = [this, step] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busySeen |= cursor && cursor->shape() == Qt::WaitCursor;
            step();
        };
    }
    ~IdentityRig() { time.onPump = nullptr; }

    bool Load() {
        const bool ok = LoadFirmwareInfo(link);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the pointer is restored";
        return ok;
    }

    bool busySeen = false;
};

const QString ShippedIdentity = IdentityText(sim::Identity{});

} // namespace

TEST(FirmwareIdentity, TheEcuIsAskedThenTheImageIsRead) {
    IdentityRig rig;
    sim::Identity newer;
    newer.code = QByteArray::fromHex("011315052012");
    rig.ecu.SetIdentity(newer);
    ASSERT_TRUE(rig.Connect());
    const qsizetype start = rig.ecu.CommandLog().size();

    EXPECT_TRUE(rig.Load());
    EXPECT_EQ(rig.Commands(start), QList<quint8>{CMD_READ_FIRMWARE});
    EXPECT_EQ(rig.link.FirmwareEcu(), IdentityText(newer));
    EXPECT_EQ(rig.link.FirmwareEcuVersNum(), 113);
    EXPECT_EQ(rig.link.FirmwareFle(), ShippedIdentity);
    EXPECT_TRUE(rig.busySeen);
}

TEST(FirmwareIdentity, AnEcuRefusingTheIdentityCommandIsReadFromItsMemory) {
    IdentityRig rig;
    sim::Identity other;
    other.code = QByteArray::fromHex("020101022013");
    other.descriptor = "LX735 OTHER T470";
    rig.ecu.SetIdentity(other);
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Status, CMD_READ_FIRMWARE));
    rig.link.FirmwareEcu("stale");
    const qsizetype start = rig.ecu.CommandLog().size();

    EXPECT_TRUE(rig.Load());
    const QList<quint8> commands = rig.Commands(start);
    EXPECT_EQ(commands.count(CMD_READ_MEM_ZONE), 2);
    EXPECT_EQ(commands.last(), CMD_READ_MEM_ZONE);
    EXPECT_GE(commands.count(CMD_READ_FIRMWARE), 2) << "asked twice first";
    EXPECT_EQ(rig.link.FirmwareEcu(), IdentityText(other));
    EXPECT_EQ(rig.link.DescProgettoEcu_CODICE(), "T470");
}

TEST(FirmwareIdentity, AnEcuThatGivesNoIdentityIsUnknown) {
    IdentityRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.ecu.AddFault(Fault(sim::FaultKind::Silence, sim::kAnyCommand));
    rig.link.FirmwareEcu("stale");

    EXPECT_FALSE(rig.Load());
    EXPECT_EQ(rig.link.FirmwareEcu(), "");
    EXPECT_EQ(rig.link.FirmwareFle(), ShippedIdentity) << "the image is read all the same";
}

TEST(FirmwareIdentity, WithTheLinkStoppedOnlyTheImageIsRead) {
    IdentityRig rig;
    rig.link.ComState(COM_STOP);
    rig.link.FirmwareEcu("stale");

    EXPECT_TRUE(rig.Load());
    EXPECT_TRUE(rig.ecu.CommandLog().isEmpty());
    EXPECT_EQ(rig.link.FirmwareEcu(), "");
    EXPECT_EQ(rig.link.FirmwareFle(), ShippedIdentity);
}

TEST(FirmwareIdentity, AMissingImageFails) {
    IdentityRig rig;
    ASSERT_TRUE(rig.Connect());
    rig.link.FirmwareFle("kept");
    QFile::remove(rig.tree.Path("BIN/TarvencoInj468.frh"));

    EXPECT_FALSE(rig.Load());
    EXPECT_EQ(rig.link.FirmwareEcu(), ShippedIdentity);
    EXPECT_EQ(rig.link.FirmwareFle(), "kept");
}
