#include "platform/FileCopy.h"

#include "common/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray Pattern(qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 1000) & 0xFF);
    }
    return bytes;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A copy that spans several chunks, over an existing file, is byte for byte the source.
TEST(CopyFileOverwrite, StreamsEveryChunkOverTheTarget) {
    QTemporaryDir dir;
    const QByteArray source = Pattern(2 * 1024 * 1024 + 12345);
    ASSERT_TRUE(Write(dir.filePath("a"), source));
    ASSERT_TRUE(Write(dir.filePath("b"), "old"));
    EXPECT_TRUE(platform::CopyFileOverwrite(dir.filePath("a"), dir.filePath("b")));
    EXPECT_EQ(Read(dir.filePath("b")), source);
}

// A copy that fills the disk, whether the failure shows in a long write or only at the
// flush of a short one, leaves the old target and nothing beside it.
TEST(CopyFileOverwrite, AFailedCopyKeepsTheOldTargetAndSaysWhy) {
    for (const qint64 size : {qint64(100), qint64(3 * 1024 * 1024)}) {
        QTemporaryDir dir;
        ASSERT_TRUE(Write(dir.filePath("a"), Pattern(size)));
        ASSERT_TRUE(Write(dir.filePath("b"), "old"));
        QString why;
        bool copied = true;
        {
            const testing_support::FileSizeLimit full(16);
            copied = platform::CopyFileOverwrite(dir.filePath("a"), dir.filePath("b"), &why);
        }
        EXPECT_FALSE(copied) << size;
        EXPECT_EQ(why, QString::fromLocal8Bit(std::strerror(EFBIG))) << size;
        EXPECT_EQ(Read(dir.filePath("b")), "old") << size;
        EXPECT_EQ(testing_support::FilesBelow(dir.path()), QStringList({"a", "b"})) << size;
    }
}

TEST(MoveFileOverwrite, ReplacesAFileButNeverAFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(Write(dir.filePath("a"), "new"));
    ASSERT_TRUE(Write(dir.filePath("b"), "old"));
    EXPECT_TRUE(platform::MoveFileOverwrite(dir.filePath("a"), dir.filePath("b")));
    EXPECT_EQ(Read(dir.filePath("b")), "new");
    EXPECT_FALSE(QFile::exists(dir.filePath("a")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(platform::MoveFileOverwrite(dir.filePath("b"), dir.filePath("folder")));
    EXPECT_EQ(Read(dir.filePath("b")), "new");
}
