// Saves onto a full disk through the real program: a parameter file and a map, each over
// a good file. The disk is a small tmpfs mounted for the test and filled up; where the
// test may not mount (a container without the right), the writer's test switch makes
// the folder fail as a full disk does. Either way the old files stay byte for byte with
// nothing beside them, the installer is told once for each save with the file and the
// reason, and the caption names no file that was not saved.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

// A folder on a full disk: a 64 KiB tmpfs mounted there when the test may, filled up by
// Fill once the old files are in. Unmounted with the object (lazily: the program may
// still be ending).
class FullFolder {
public:
    explicit FullFolder(const QString& path) : path_(path) {
        QDir().mkpath(path);
        mounted_ = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs",
                           MS_NOSUID | MS_NODEV, "size=64k,mode=0755") == 0;
    }
    ~FullFolder() {
        if (mounted_) {
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
        }
    }
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;

    bool Mounted() const { return mounted_; }

    // Writes pages into a filler file until the disk refuses one for lack of space.
    bool Fill() const {
        const int fd = ::open(QFile::encodeName(path_ + "/filler").constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        const QByteArray page(4096, 'f');
        ssize_t written = 0;
        do {
            written = ::write(fd, page.constData(), size_t(page.size()));
        } while (written > 0);
        const int error = errno;
        ::close(fd);
        return written < 0 && error == ENOSPC;
    }

private:
    QString path_;
    bool mounted_ = false;
};

class EndToEndFullDisk : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(staged.Valid()); }

    // The old files in the folder, then the disk made full one way or the other.
    void PrepareFullFolder() {
        for (const auto& [name, bytes] : OldFiles()) {
            QFile file(staged.Path("full/" + name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes), bytes.size());
        }
        if (full.Mounted()) {
            ASSERT_TRUE(full.Fill());
        } else {
            staged.SetSwitch("LX735_TEST_FAIL_WRITES", staged.Path("full"));
        }
    }
    static QList<std::pair<QString, QByteArray>> OldFiles() {
        return {{"kept.var", "[INFO]\r\nthe installation as it was\r\n"},
                {"kept.map", " 400 \r\n 3 \r\n"}};
    }
    QString Title() {
        const auto fields = staged.ReadControl("FrmLX735");
        return fields ? fields->value("title") : "<refused>";
    }
    // The box told for the file, waited for.
    QString BoxFor(const QString& path) {
        QString found;
        WaitFor(
            [&] {
                for (const QString& box : staged.MessageBoxes()) {
                    if (box.contains(path)) {
                        found = box;
                    }
                }
                return !found.isEmpty();
            },
            LongMs * 1ms);
        return found;
    }

    StagedProgram staged;
    FullFolder full{staged.Path("full")};
};

TEST_F(EndToEndFullDisk, ASaveOntoAFullDiskKeepsTheOldFileAndSaysWhy) {
    PrepareFullFolder();
    staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitForSettingsRead(staged, LongMs));
    const QString title = Title();
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOSPC));

    const QString var = staged.Path("full/kept.var");
    ASSERT_TRUE(staged.Run({"file \"" + var + "\"", "click MnuFileSaveConf"}));
    EXPECT_TRUE(BoxFor(var).contains(reason)) << BoxFor(var).toStdString();

    const QString map = staged.Path("full/kept.map");
    ASSERT_TRUE(
        staged.Run({"input \"KOLT5829\"", "key SstMain Ctrl+Alt+Shift+X",
                    "until CmbShoRpm exists 1 60000", "tab SstMain 5",
                    "until FrmMap visible 1 60000", "file \"" + map + "\"", "click CmdMapSave"}));
    EXPECT_TRUE(BoxFor(map).contains(reason)) << BoxFor(map).toStdString();

    EXPECT_EQ(staged.MessageBoxes().size(), 2) << staged.MessageBoxes().join('\n').toStdString();
    EXPECT_EQ(Title(), title) << "mounted: " << full.Mounted();
    for (const auto& [name, bytes] : OldFiles()) {
        EXPECT_EQ(staged.Read("full/" + name), bytes) << name.toStdString();
    }
    QStringList present = QDir(staged.Path("full")).entryList(QDir::Files | QDir::Hidden);
    present.removeAll("filler");
    EXPECT_EQ(present, QStringList({"kept.map", "kept.var"})) << "nothing left beside them";
}

} // namespace
} // namespace e2e
