#include "platform/FileAppend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
        EXPECT_EQ(appender.Append(log, "one"), 3) << c.name;
        c.between(log, aside);
        const std::optional<qint64> size = appender.Append(log, "two");
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
    EXPECT_FALSE(appender.Append(path, "x"));
    ASSERT_TRUE(QDir().rmdir(path));
    EXPECT_EQ(appender.Append(path, "xy"), 2);
    EXPECT_EQ(Read(path), "xy");
}
