// The one writer of whole files: a failure at any step leaves the old file byte for byte,
// no temporary file beside it, and a reason; and the word of a stopped log.

#include "support/FileWriter.h"

#include "common/FileFaults.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace testing_support;

namespace {

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

TEST(WriteWholeFile, ReplacesTheFileWithExactlyTheBytes) {
    TempTree tree;
    tree.Write("BIN/a.var", "a longer old content\r\n");
    const QStringList before = FilesBelow(tree.Root());
    QString why = "untouched";
    EXPECT_TRUE(support::WriteWholeFile(tree.Path("BIN/a.var"), "new\r\n", &why));
    EXPECT_EQ(tree.Read("BIN/a.var"), "new\r\n");
    EXPECT_EQ(why, "untouched");
    EXPECT_TRUE(support::WriteWholeFile(tree.Path("BIN/b.var"), QByteArray()));
    EXPECT_EQ(FilesBelow(tree.Root()), before + QStringList{"BIN/b.var"});
    EXPECT_EQ(tree.Read("BIN/b.var"), QByteArray());
}

TEST(WriteWholeFile, AFailureAtAnyStepKeepsTheOldFileAndSaysWhy) {
    using Fault = std::function<std::shared_ptr<void>(const QString& root)>;
    const Fault none = [](const QString&) { return nullptr; };
    struct Case {
        const char* name;
        const char* target;
        qsizetype bytes;
        Fault fault;
        int error;
    };
    const QByteArray old = "old"; // within every limit below
    const Case cases[] = {
        {"no folder", "NOSUCH/keep.var", 100, none, ENOENT},
        {"a file in the folder's place", "keep.var/x.var", 100, none, ENOTDIR},
        {"no file can be opened", "keep.var", 100,
         [](const QString&) { return std::make_shared<NoFileOpens>(); }, EMFILE},
        // A buffered write fails only at the flush; the commit alone would still succeed.
        {"the disk fills at the flush", "keep.var", 100,
         [](const QString&) { return std::make_shared<FileSizeLimit>(16); }, EFBIG},
        {"the disk fills in a long write", "keep.var", 100000,
         [](const QString&) { return std::make_shared<FileSizeLimit>(16); }, EFBIG},
        {"the test switch", "keep.var", 100,
         [](const QString& root) { return std::make_shared<FailWritesBelow>(root); }, ENOSPC},
    };
    for (const Case& c : cases) {
        TempTree tree;
        tree.Write("keep.var", old);
        const QStringList before = FilesBelow(tree.Root());
        QString why;
        bool written = true;
        {
            const std::shared_ptr<void> fault = c.fault(tree.Root());
            written = support::WriteWholeFile(tree.Path(c.target), QByteArray(c.bytes, 'n'), &why);
        }
        EXPECT_FALSE(written) << c.name;
        EXPECT_EQ(why, SystemText(c.error)) << c.name;
        EXPECT_EQ(tree.Read("keep.var"), old) << c.name;
        EXPECT_EQ(FilesBelow(tree.Root()), before) << c.name << ": nothing left beside it";
    }
}

TEST(WriteWholeFile, TheTestSwitchActsOnlyBelowItsFolder) {
    TempTree tree;
    const FailWritesBelow failing(tree.Path("full"));
    for (const char* written : {"other.var", "fuller.var", "fullness/a.var"}) {
        tree.Write(written, "old");
        EXPECT_TRUE(support::WriteWholeFile(tree.Path(written), "new")) << written;
        EXPECT_EQ(tree.Read(written), "new") << written;
    }
    tree.Write("full/a.var", "old");
    EXPECT_FALSE(support::WriteWholeFile(tree.Path("full/./a.var"), "new"));
    EXPECT_EQ(tree.Read("full/a.var"), "old");
}

// The appending code may be in the middle of an exchange: the box comes from the event
// loop, once.
TEST(TellLogStopped, OneBoxLaterNamingTheLogAndTheReason) {
    MsgBoxCapture boxes;
    support::TellLogStopped("/x/BIN/RxTx.TXT", SystemText(ENOSPC), "Title");
    EXPECT_TRUE(boxes.boxes.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("/x/BIN/RxTx.TXT"));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(SystemText(ENOSPC)));
    EXPECT_EQ(boxes.boxes[0].title, "Title");
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.boxes.size(), 1u);
}
