#include "common/BuildTools.h"
#include "common/TempTree.h"
#include "support/DataFiles.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

using testing_support::TempTree;

namespace {

constexpr quint32 FlashStart = 0x00F80000;
constexpr quint32 FlashEnd = 0x00FFFFFF;
constexpr quint32 IdentityAddress = 0x00FFE000;

// The bytes of the S2 records by address; every record's count and checksum are checked.
struct Image {
    std::map<quint32, quint8> bytes;
    QStringList otherLines;

    QByteArray At(quint32 address, int count) const {
        QByteArray out;
        for (int k = 0; k < count; ++k) {
            const auto it = bytes.find(address + k);
            out.append(it == bytes.end() ? '\xFF' : static_cast<char>(it->second));
        }
        return out;
    }
};

Image Parse(const QStringList& lines) {
    Image image;
    for (const QString& line : lines) {
        if (!line.startsWith('S')) {
            image.otherLines << line;
            continue;
        }
        const QByteArray body = QByteArray::fromHex(line.mid(2).toLatin1());
        EXPECT_EQ(line.size(), 4 + 2 * (body.size() - 1)) << line.toStdString();
        EXPECT_EQ(static_cast<quint8>(body[0]), body.size() - 1) << line.toStdString();
        quint8 sum = 0;
        for (const char b : body) {
            sum += static_cast<quint8>(b);
        }
        EXPECT_EQ(sum, 0xFF) << "checksum of " << line.toStdString();
        if (line.startsWith("S2")) {
            const quint32 address =
                (quint8(body[1]) << 16) | (quint8(body[2]) << 8) | quint8(body[3]);
            for (int k = 4; k < body.size() - 1; ++k) {
                const quint32 at = address + k - 4;
                EXPECT_TRUE(at >= FlashStart && at <= FlashEnd) << line.toStdString();
                image.bytes[at] = static_cast<quint8>(body[k]);
            }
        }
    }
    return image;
}

QByteArray Identity(const char* head, const char* descriptor) {
    return QByteArray::fromHex(head) + QByteArray(descriptor).leftJustified(32, ' ');
}

} // namespace

TEST(MakeFirmware, StagedImageHoldsValidRecordsAndTheIdentityBlock) {
    const QString path = testing_support::StagedRootPath("BIN/TarvencoInj468.frh");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QByteArray withoutLineEnds = QByteArray(bytes).replace("\r\n", "");
    EXPECT_FALSE(withoutLineEnds.contains('\n') || withoutLineEnds.contains('\r'));

    const Image image = Parse(support::ReadPlainFile(path));
    EXPECT_GT(image.bytes.size(), 2048u);
    EXPECT_EQ(image.At(IdentityAddress, 38), Identity("011214042011", "LX735 SEQGAS T468"));
    EXPECT_EQ(image.otherLines, (QStringList{"[AdrFrmwarEcu]", "00FFE000", ""}));
}

TEST(MakeFirmware, OptionsMakeVariantsAlsoScrambled) {
    TempTree tree;
    const QString path = tree.Path("BIN/Variant.frh");
    ASSERT_TRUE(testing_support::RunBuildTool(
        "lx735-make-firmware", {"--version", "02.05", "--date", "01/12/2012", "--project", "T999",
                                "--scrambled", "--no-marker", path}));
    ASSERT_TRUE(support::IsScrambledFile(path));
    const Image image = Parse(support::ReadDataFileLines(path));
    EXPECT_EQ(image.At(IdentityAddress, 38), Identity("020501122012", "LX735 SEQGAS T999"));
    EXPECT_EQ(image.otherLines, QStringList{""});

    ASSERT_TRUE(testing_support::RunBuildTool("lx735-make-firmware", {"--project", "", path}));
    EXPECT_EQ(Parse(support::ReadDataFileLines(path)).At(IdentityAddress + 6, 32),
              QByteArray("LX735 SEQGAS").leftJustified(32, ' '));
}
