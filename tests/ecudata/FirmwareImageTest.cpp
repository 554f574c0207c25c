#include "ecudata/FirmwareImage.h"
#include "common/BuildTools.h"
#include "common/MsgBoxCapture.h"
#include "link/LinkFixture.h"

#include <gtest/gtest.h>

using namespace ecudata;
using link_test::LinkInTree;

namespace {

QByteArray File(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toLatin1();
}

const QByteArray ShippedFlashMap = "H00F80000 H00FBFFFF\r\nH00FC0000 H00FFFFFF\r\n";

} // namespace

TEST(ReadFlashIni, BlocksAndWidth) {
    LinkInTree in;
    EXPECT_FALSE(ReadFlashIni(in.link)); // no file

    in.tree.Write("BIN/Flash.ini", "H00F80000 H00F9FFFF\r\n\r\n  \r\nH00FA0000 H00FBFFFF\r\n");
    ASSERT_TRUE(ReadFlashIni(in.link));
    EXPECT_EQ(in.link.LargFlash(), 0x3FFFF);
    EXPECT_EQ(in.link.BFlash(1, 0), 0x00FA0000);
    EXPECT_EQ(in.link.BFlash(1, 1), 0x00FBFFFF);

    in.tree.Write("BIN/Flash.ini",
                  testing_support::ReadFixture(testing_support::SourceDataPath("BIN/Flash.ini")));
    ASSERT_TRUE(ReadFlashIni(in.link));
    EXPECT_EQ(in.link.LargFlash(), 0x7FFFF);
}

TEST(ReadFlashIni, MalformedMapsAreRefused) {
    QStringList fifteen;
    for (int k = 0; k < 15; ++k) {
        const int start = 0x00F80000 + k * 0x1000;
        fifteen << QString("H%1 H%2")
                       .arg(start, 8, 16, QChar('0'))
                       .arg(start + 0xFFF, 8, 16, QChar('0'));
    }
    const QByteArray cases[] = {
        "",
        "\r\n\r\n",
        File(fifteen),
        "H00F8000G H00FBFFFF\r\n",
        "00F800000 H00FBFFFF\r\n",
        "H00FC0000 H00FFFFFF\r\nH00F80000 H00FBFFFF\r\n",
        "H00FBFFFF H00F80000\r\n",
    };
    for (const QByteArray& map : cases) {
        LinkInTree in;
        in.tree.Write("BIN/Flash.ini", map);
        EXPECT_FALSE(ReadFlashIni(in.link)) << map.toStdString();
    }
    // The first fourteen blocks are what the link object holds.
    LinkInTree in;
    in.tree.Write("BIN/Flash.ini", File(fifteen.mid(0, 14)));
    EXPECT_TRUE(ReadFlashIni(in.link));
}

TEST(LoadFirmwareFileInfo, GeneratedImageGivesItsIdentityPlainOrScrambled) {
    for (const bool scrambled : {false, true}) {
        LinkInTree in;
        in.tree.Write("BIN/Flash.ini", ShippedFlashMap);
        QStringList args{"--version", "01.13", in.tree.Path("BIN/TarvencoInj468.frh")};
        if (scrambled) {
            args.prepend("--scrambled");
        }
        ASSERT_TRUE(testing_support::RunBuildTool("lx735-make-firmware", args));
        in.link.AdrFrmwarEcu = "00000000";

        ASSERT_TRUE(LoadFirmwareFileInfo(in.link)) << scrambled;
        EXPECT_EQ(in.link.AdrFrmwarEcu, "00FFE000");
        EXPECT_EQ(in.link.TableFlashUBound(), 0x7FFFF);
        EXPECT_EQ(in.link.FirmwareFle(),
                  "011314042011" + QString("LX735 SEQGAS T468").leftJustified(32, ' '));
        EXPECT_EQ(in.link.FirmwareFleVersNum(), 113);
    }
}

TEST(LoadFirmwareFileInfo, UncoveredIdentityReadsAsErasedFlash) {
    LinkInTree in;
    in.tree.Write("BIN/Flash.ini", ShippedFlashMap);
    in.tree.Write("BIN/TarvencoInj468.frh", File({"S0030000FC", "S206F800100102EE"}));
    ASSERT_TRUE(LoadFirmwareFileInfo(in.link));
    EXPECT_EQ(in.link.TableFlash(0x10), 0x01);
    EXPECT_EQ(in.link.TableFlash(0x11), 0x02);
    EXPECT_EQ(in.link.TableFlash(0x12), 0xFF);
    EXPECT_EQ(in.link.FirmwareFle(), "FFFFFFFFFFFF" + QString(32, QChar(0xFF)));
}

TEST(LoadFirmwareFileInfo, FailuresKeepTheIdentity) {
    const struct {
        const char* what;
        QByteArray flashMap;
        QByteArray image;
    } cases[] = {
        {"no image", ShippedFlashMap, QByteArray()},
        {"no flash map", QByteArray(), File({"S206F800100102EE"})},
        {"record outside the flash", ShippedFlashMap, File({"S206F700100102EF"})},
        {"pair that is not hex", ShippedFlashMap, File({"S206F80010010GEE"})},
        {"record without its checksum", ShippedFlashMap, File({"S2"})},
        {"wrong checksum", ShippedFlashMap, File({"S0030000FC", "S206F800100102EF"})},
        {"record longer than its count", ShippedFlashMap, File({"S205F800100102EE"})},
        {"record cut short", ShippedFlashMap, File({"S206F800100102"})},
        {"line feeds for line ends", ShippedFlashMap, "S0030000FC\nS206F800100102EE\n"},
        {"a damaged header record", ShippedFlashMap, File({"S0030000FD", "S206F800100102EE"})},
        {"identity address outside the flash", ShippedFlashMap,
         File({"S206F800100102EE", "[AdrFrmwarEcu]", "00001000"})},
        {"identity address that is not hex", ShippedFlashMap,
         File({"S206F800100102EE", "[AdrFrmwarEcu]", "ADDRESS"})},
    };
    for (const auto& c : cases) {
        LinkInTree in;
        if (!c.flashMap.isNull()) {
            in.tree.Write("BIN/Flash.ini", c.flashMap);
        }
        if (!c.image.isNull()) {
            in.tree.Write("BIN/TarvencoInj468.frh", c.image);
        }
        in.link.FirmwareFle("previous");
        EXPECT_FALSE(LoadFirmwareFileInfo(in.link)) << c.what;
        EXPECT_EQ(in.link.FirmwareFle(), "previous") << c.what;
    }
}

TEST(ReadFirmwareFile, TheMarkerEndsTheRecords) {
    LinkInTree in;
    in.tree.Write("BIN/Flash.ini", ShippedFlashMap);
    const QString image = in.tree.Path("BIN/Image.frh");
    in.tree.Write("BIN/Image.frh",
                  File({"S206F800100102EE", "[AdrFrmwarEcu]", "00F80010", "S206F800200304DA"}));
    ASSERT_TRUE(ReadFlashIni(in.link));
    ASSERT_TRUE(in.link.RedimTableFlash(in.link.LargFlash(), false));
    EXPECT_TRUE(ReadFirmwareFile(image, in.link));
    EXPECT_EQ(in.link.AdrFrmwarEcu, "00F80010");
    EXPECT_EQ(in.link.TableFlash(0x20), 0x00); // hidden behind the marker
    EXPECT_EQ(ReadFirmwareAddresses(image, in.link), QStringList{"F80010"});

    // A marker on the last line keeps the address; a marker on the first hides all.
    in.tree.Write("BIN/Image.frh", File({"S206F800200304DA", "[AdrFrmwarEcu]"}).chopped(2));
    EXPECT_EQ(ReadFirmwareAddresses(image, in.link), QStringList{"F80020"});
    EXPECT_EQ(in.link.AdrFrmwarEcu, "00F80010");
    in.tree.Write("BIN/Image.frh", File({"[AdrFrmwarEcu]", "00FFE000", "S206F800200304DA"}));
    EXPECT_EQ(ReadFirmwareAddresses(image, in.link), QStringList{QString()});
    EXPECT_EQ(ReadFirmwareAddresses(in.tree.Path("BIN/Missing.frh"), in.link),
              QStringList{QString()});
}

TEST(IsErasedIdentity, EveryByteErasedOrTheImagesCodeErased) {
    EXPECT_TRUE(IsBlankImageIdentity("FFFFFFFFFFFF" + QString("LX735 SEQGAS T468")));
    EXPECT_FALSE(IsBlankImageIdentity("FFFFFFFFFF11" + QString(32, QChar(0xFF))));
    EXPECT_TRUE(IsErasedIdentity("FFFFFFFFFFFF" + QString(32, QChar(0xFF))));
    EXPECT_FALSE(IsErasedIdentity("FFFFFFFFFFFF" + QString(31, QChar(0xFF)) + "A"));
    EXPECT_FALSE(IsErasedIdentity("011314042011" + QString(32, QChar(0xFF))));
    EXPECT_FALSE(IsErasedIdentity(""));
}

TEST(ReadFirmwareAddresses, ADamagedRecordGivesNoAddress) {
    LinkInTree in;
    const QString image = in.tree.Path("BIN/Image.frh");
    in.tree.Write("BIN/Image.frh", File({"S206F800100102EE", "S206F800200304DB"}));
    EXPECT_EQ(ReadFirmwareAddresses(image, in.link), QStringList{QString()});
}
