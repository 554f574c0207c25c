#include "support/LineReader.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

using support::LineReader;

namespace {

QList<QByteArray> AllLines(LineReader& reader) {
    QList<QByteArray> lines;
    while (const auto line = reader.Next()) {
        lines << *line;
    }
    return lines;
}

constexpr qsizetype Chunk = 64 * 1024; // the reader's block size, where a line end may split

} // namespace

TEST(LineReader, EveryLineEndAndEveryBlockBoundary) {
    const QByteArray longA(Chunk - 1, 'a'); // its CR ends one block, the LF begins the next
    const struct {
        const char* name;
        QByteArray text;
        QList<QByteArray> lines;
    } cases[] = {
        {"empty file", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF and a lone CR", "a\nb\rc", {"a", "b", "c"}},
        {"empty lines kept", "\r\n\r\nx\r\n", {"", "", "x"}},
        {"no end on the last line", "a\r\nb", {"a", "b"}},
        {"CR LF across two blocks", longA + "\r\nz\r\n", {longA, "z"}},
        {"a line longer than a block",
         QByteArray(3 * Chunk, 'q') + "\nz",
         {QByteArray(3 * Chunk, 'q'), "z"}},
    };
    testing_support::TempTree tree;
    for (const auto& c : cases) {
        tree.Write("f.txt", c.text);
        LineReader reader(tree.Path("f.txt"), 4 * Chunk);
        ASSERT_TRUE(reader.IsOpen()) << c.name;
        EXPECT_EQ(AllLines(reader), c.lines) << c.name;
        EXPECT_FALSE(reader.Next()) << c.name; // stays at the end
    }
}

TEST(LineReader, ALongLineKeepsItsBoundAndTheNextLineReadsWhole) {
    testing_support::TempTree tree;
    tree.Write("f.txt", "first\r\n" + QByteArray(5 * Chunk, 'x') + "\r\nlast\r\n");
    LineReader reader(tree.Path("f.txt"), 10);
    EXPECT_EQ(AllLines(reader), (QList<QByteArray>{"first", "xxxxxxxxxx", "last"}));
}

TEST(LineReader, AMissingFileReadsNothingAndSaysWhy) {
    LineReader reader("/nonexistent/f.txt");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.ErrorString().isEmpty());
    EXPECT_FALSE(reader.Next());
}
