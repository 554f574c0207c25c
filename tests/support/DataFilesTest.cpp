#include "support/DataFiles.h"
#include "Scramble.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "support/Codepage.h"

#include <gtest/gtest.h>

using namespace support;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

namespace {

// A scrambled file: the header line, then each line scrambled, CR LF between them.
QByteArray ScrambledFile(const QList<QByteArray>& lines) {
    QByteArray file = tools::ScrambleLine(tools::ScrambleHeader);
    for (const QByteArray& line : lines) {
        file += "\r\n" + line;
    }
    return file;
}

} // namespace

TEST(ReadPlainFile, SplitsOnlyAtCrLfAndDecodesTheCodePage) {
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"A\r\nB\r\n", {"A", "B", ""}},
        {"", {}},
        {"\r\n", {"", ""}},
        {"a\rb\nc\r\n\r\nd", {"a\rb\nc", "", "d"}},
        {"x\r\r\n\n", {"x\r", "\n"}},
        {"Caff\xe8 \x80", {QString::fromUtf8("Caffè €")}},
    };
    TempTree tree;
    for (const auto& c : cases) {
        tree.Write("LNG/plain.txt", c.bytes);
        EXPECT_EQ(ReadPlainFile(tree.Path("LNG/plain.txt")), c.lines) << c.bytes.toStdString();
    }
}

TEST(DataFiles, MissingFileGivesNothingAndNoBox) {
    MsgBoxCapture capture;
    TempTree tree;
    const QString path = tree.Path("LNG/missing.ini");
    EXPECT_FALSE(IsScrambledFile(path));
    EXPECT_TRUE(ReadPlainFile(path).isEmpty());
    EXPECT_TRUE(ReadScrambledFile(path).isEmpty());
    EXPECT_TRUE(ReadDataFileLines(path).isEmpty());
    EXPECT_TRUE(ReadDataFileLines(tree.Path("LNG")).isEmpty());
    EXPECT_TRUE(capture.boxes.empty());
}

TEST(DataFiles, PlainAndScrambledCopiesReadTheSameLines) {
    MsgBoxCapture capture;
    const QString plain = LX735_FIXTURES "/DataLines.txt";
    const QString scrambled = LX735_SCRAMBLED_LINES;
    EXPECT_FALSE(IsScrambledFile(plain));
    EXPECT_TRUE(IsScrambledFile(scrambled));

    const QStringList expected = {
        "[SCALE]",
        QString::fromUtf8("Temperatura gas,°C,1,5"),
        "",
        QString::fromUtf8("Pressione ridotta è 1,25 bar"),
        QString::fromUtf8("Größe; Ñandú € “ok”"),
        "",
    };
    EXPECT_EQ(ReadDataFileLines(plain), expected);
    EXPECT_EQ(ReadDataFileLines(scrambled), expected);
    EXPECT_TRUE(capture.boxes.empty());
}

TEST(IsScrambledFile, NeedsTheExactHeaderWordMadeOfNumbers) {
    QByteArray lettered = tools::ScrambleLine(tools::ScrambleHeader);
    lettered[5] = 'x';
    const struct {
        QByteArray firstLine;
        bool scrambled;
    } cases[] = {
        {tools::ScrambleLine("VESTRAGON"), true},
        {tools::ScrambleLine("VESTRAGOn"), false},
        {tools::ScrambleLine("VESTRAGONE"), false},
        {"2201" + tools::ScrambleLine("VESTRAGON"), false}, // a group worth 511
        {lettered, false},
        {"VESTRAGON", false},
        {"", false},
    };
    TempTree tree;
    for (const auto& c : cases) {
        tree.Write("LNG/file.ini", c.firstLine + "\r\n0031");
        EXPECT_EQ(IsScrambledFile(tree.Path("LNG/file.ini")), c.scrambled)
            << c.firstLine.toStdString();
    }
}

TEST(ReadScrambledFile, HeaderAloneGivesNoLineAndShortGroupsAreCharacters) {
    MsgBoxCapture capture;
    TempTree tree;
    tree.Write("LNG/empty.ini", ScrambledFile({}));
    EXPECT_TRUE(ReadScrambledFile(tree.Path("LNG/empty.ini")).isEmpty());

    // "031" is the group 130 (an "A"); an empty line stays empty.
    tree.Write("LNG/short.ini", ScrambledFile({"031", "", tools::ScrambleLine("1,5")}));
    EXPECT_EQ(ReadScrambledFile(tree.Path("LNG/short.ini")), QStringList({"A", "", "1,5"}));
    EXPECT_TRUE(capture.boxes.empty());
}

TEST(ReadScrambledFile, WrongHeaderShowsTheBoxAndThePlainReaderTakesTheFile) {
    MsgBoxCapture capture;
    TempTree tree;
    const QByteArray bytes = tools::ScrambleLine("VESTRAGOn") + "\r\n" + tools::ScrambleLine("x");
    tree.Write("LNG/wrong.ini", bytes);
    const QString path = tree.Path("LNG/wrong.ini");

    EXPECT_TRUE(ReadScrambledFile(path).isEmpty());
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(capture.boxes[0].prompt, "HEADER WRONG ");
    EXPECT_EQ(capture.boxes[0].style, 64);
    EXPECT_EQ(capture.boxes[0].title, "FileExist");

    EXPECT_EQ(ReadDataFileLines(path), QString::fromLatin1(bytes).split("\r\n"));
    EXPECT_EQ(capture.boxes.size(), 1u);
}

TEST(ReadScrambledFile, EveryByteOfTheCodePageReadsBack) {
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        all.append(static_cast<char>(b)); // 0xFF lands on an odd position: the group 511
    }
    TempTree tree;
    tree.Write("LNG/all.ini", ScrambledFile({tools::ScrambleLine(all)}));
    MsgBoxCapture capture;
    EXPECT_EQ(ReadDataFileLines(tree.Path("LNG/all.ini")), QStringList{DecodeCp1252(all)});
    EXPECT_TRUE(capture.boxes.empty());
}

TEST(ReadScrambledFile, DamagedGroupMakesTheFileUnreadable) {
    const struct {
        QByteArray line;
        const char* why;
    } cases[] = {
        {"4x21", "not a number"},
        {"2201", "511 is beyond the code page"},
        {tools::ScrambleLine("ok") + "-", "a sign is not a digit"},
    };
    for (const auto& c : cases) {
        TempTree tree; // a box is shown once a run for each file
        const QString path = tree.Path("LNG/ConfigScale.ini");
        MsgBoxCapture capture;
        tree.Write("LNG/ConfigScale.ini", ScrambledFile({tools::ScrambleLine("ok"), c.line}));
        EXPECT_TRUE(ReadDataFileLines(path).isEmpty()) << c.why;
        ASSERT_EQ(capture.boxes.size(), 1u) << c.why;
        EXPECT_TRUE(capture.boxes[0].prompt.contains(path)) << c.why;
        EXPECT_TRUE(capture.boxes[0].prompt.contains("line 3")) << c.why;
        EXPECT_EQ(capture.boxes[0].style, 64);
        EXPECT_EQ(capture.boxes[0].title, "FileExist");
    }
}

// Every reader of a damaged file gets nothing, but the installer is told once a run.
TEST(ReadScrambledFile, ADamagedFileIsToldOnceARun) {
    TempTree tree;
    MsgBoxCapture capture;
    tree.Write("LNG/ConfigScale.ini", ScrambledFile({tools::ScrambleLine("ok"), "4x21"}));
    for (int reader = 0; reader < 5; ++reader) {
        EXPECT_TRUE(ReadDataFileLines(tree.Path("LNG/ConfigScale.ini")).isEmpty());
    }
    EXPECT_EQ(capture.boxes.size(), 1u);
}
