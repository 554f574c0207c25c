#include "platform/FileAppend.h"

#include "common/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The file stays open between appends, yet every append lands in the file that is at
// the path then: whatever happened to the file it wrote before.
TEST(FileAppender, AppendsToTheFileAtThePathWhateverBecameOfTheLastOne) {
    struct Case {
        const char* name;
        std::function<void(const QString& log, const QString& aside)> between;
        QByteArray logAfter;   // the path's file after the second append
        QByteArray asideAfter; // where the first file went, if anywhere
    };
    const Case cases[] = {
        {"left alone", [](const QString&, const QString&) {}, "onetwo", ""},
        {"renamed away",
         [](const QString& log, const QString& aside) { QFile::rename(log, aside); }, "two", "one"},
        {"removed", [](const QString& log, const QString&) { QFile::remove(log); }, "two", ""},
        {"replaced by another file",
         [](const QString& log, const QString& aside) {
             Write(aside, "new:");
             QFile::rename(log, aside + ".old");
             QFile::rename(aside, log);
         },
         "new:two", ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString log = dir.filePath("RxTx.TXT");
        const QString aside = dir.filePath("aside");
        platform::FileAppender appender;
        EXPECT_EQ(appender.Append(log, "one").size, 3) << c.name;
        c.between(log, aside);
        const std::optional<qint64> size = appender.Append(log, "two").size;
        EXPECT_EQ(Read(log), c.logAfter) << c.name;
        EXPECT_EQ(size, c.logAfter.size()) << c.name;
        EXPECT_EQ(Read(aside), c.asideAfter) << c.name;
    }
}

TEST(FileAppender, AFolderAtThePathIsNoFileAndAFileThereLaterIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    ASSERT_TRUE(QDir().mkdir(path));
    platform::FileAppender appender;
    const platform::AppendResult refused = appender.Append(path, "x");
    EXPECT_FALSE(refused.size);
    EXPECT_EQ(refused.stoppedWhy, "") << "a file that cannot be opened is no stop";
    ASSERT_TRUE(QDir().rmdir(path));
    EXPECT_EQ(appender.Append(path, "xy").size, 2);
    EXPECT_EQ(Read(path), "xy");
}

// A full disk: the line that failed leaves nothing of itself, the stop is told by that
// append alone, and nothing more goes to that file (a log with a hole would mislead)
// until another file stands at the path.
TEST(FileAppender, AWriteErrorStopsItUntilAFreshFileStandsThere) {
    QTemporaryDir dir;
    const QString log = dir.filePath("RxTx.TXT");
    platform::FileAppender appender;
    EXPECT_EQ(appender.Append(log, "one\r\n").size, 5);
    platform::AppendResult failed;
    {
        const testing_support::FileSizeLimit full(8);
        failed = appender.Append(log, "a line too long\r\n");
    }
    EXPECT_FALSE(failed.size);
    EXPECT_EQ(failed.stoppedWhy, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(Read(log), "one\r\n") << "the part that went in is taken back";

    const platform::AppendResult stopped = appender.Append(log, "two\r\n");
    EXPECT_FALSE(stopped.size);
    EXPECT_EQ(stopped.stoppedWhy, "") << "told once";
    EXPECT_EQ(Read(log), "one\r\n");

    ASSERT_TRUE(Write(log + ".new", "fresh\r\n"));
    ASSERT_TRUE(QFile::remove(log));
    ASSERT_TRUE(QFile::rename(log + ".new", log));
    EXPECT_EQ(appender.Append(log, "three\r\n").size, 14);
    EXPECT_EQ(Read(log), "fresh\r\nthree\r\n");
}
