// The image check before anything is erased: every line before the marker is blank or an
// intact record of the kinds an image holds; any other line refuses the whole image, so no
// data record can be skipped and leave erased bytes in the flash.

#include "common/BuildTools.h"
#include "ecudata/FirmwareImage.h"
#include "link/LinkFixture.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

using link_test::LinkInTree;

constexpr qsizetype DataLine = 5; // a data record in the middle of the filler

// The generated image's lines, with the flash map beside it.
QList<QByteArray> GeneratedImage(LinkInTree& in) {
    in.tree.Write("BIN/Flash.ini", "H00F80000 H00FBFFFF\r\nH00FC0000 H00FFFFFF\r\n");
    const QString path = in.tree.Path("BIN/TarvencoInj468.frh");
    if (!testing_support::RunBuildTool("lx735-make-firmware", {"--version", "01.40", path})) {
        return {};
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
}

bool ImageAccepted(LinkInTree& in, const QList<QByteArray>& lines) {
    in.tree.Write("BIN/TarvencoInj468.frh", lines.join('\n'));
    const QString path = ecudata::FirmwareFilePath(in.tree.Root());
    return ecudata::ReadFirmwareAddresses(path, in.link) != QStringList{QString()} &&
           ecudata::LoadFirmwareFileInfo(in.link);
}

TEST(ImageCheck, EveryLineBeforeTheMarkerIsBlankOrAnIntactRecordOfTheImagesKinds) {
    LinkInTree in;
    const QList<QByteArray> image = GeneratedImage(in);
    ASSERT_GT(image.size(), DataLine + 1);
    ASSERT_TRUE(image[DataLine].startsWith("S2"));
    ASSERT_TRUE(ImageAccepted(in, image));

    struct Case {
        const char* what;
        std::function<void(QList<QByteArray>&)> change;
        bool accepted;
    };
    const Case cases[] = {
        {"blank lines",
         [](auto& l) {
             l.insert(DataLine, "\r");
             l.insert(DataLine, "  \r");
         },
         true},
        {"an intact count record", [](auto& l) { l.insert(DataLine, "S5030021DB\r"); }, true},
        {"first character damaged", [](auto& l) { l[DataLine][0] = 'T'; }, false},
        {"type digit damaged", [](auto& l) { l[DataLine][1] = '#'; }, false},
        {"a leading blank", [](auto& l) { l[DataLine].prepend(' '); }, false},
        {"an intact record of another kind",
         [](auto& l) { l.insert(DataLine, "S1050010010200E7\r"); }, false},
        {"a wrong checksum", [](auto& l) { l[DataLine][l[DataLine].size() - 2] ^= 1; }, false},
        {"a cut record", [](auto& l) { l[DataLine].remove(12, 2); }, false},
        {"text among the records", [](auto& l) { l.insert(DataLine, "garbage\r"); }, false},
    };
    for (const Case& c : cases) {
        QList<QByteArray> lines = image;
        c.change(lines);
        EXPECT_EQ(ImageAccepted(in, lines), c.accepted) << c.what;
    }
}

} // namespace
