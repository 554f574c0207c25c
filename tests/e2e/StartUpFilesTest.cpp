// Start-up files an installer may find damaged: the program comes up all the same, on
// what is built in, and one box at the start names every damaged file and what stands in
// for it. The language file is left as it was.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

const QString ConfigScale = "LNG/ConfigScale.ini";
const QString Dictionary = "LNG/M3.diz";
const QString Language = "LNG/M3.con";
const QString PortSettings = "BIN/SetCom.ini";

// What the box says of each file (the dictionary may be damaged: English).
const QMap<QString, QString> StandsIn = {
    {ConfigScale, ": built-in values are used"},
    {Dictionary, ": the texts are shown in English"},
    {Language, ": the chosen language cannot be read; English is used"},
    {PortSettings, ": the default port settings are used"},
};

const QString Opening = "Damaged start-up files were found";

struct Damage {
    QString file;
    QByteArray bytes; // null: the file is made unreadable instead
};

void Apply(const StagedProgram& staged, const Damage& damage) {
    if (damage.bytes.isNull()) {
        ASSERT_TRUE(QFile::setPermissions(staged.Path(damage.file), QFileDevice::Permissions()));
    } else {
        ASSERT_TRUE(staged.Write(damage.file, damage.bytes));
    }
}

bool Readable(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

// Starts the program on the damaged tree and waits for its start-up box; the window is
// then read to show the program goes on. Gives the boxes shown.
QStringList StartDamaged(StagedProgram& staged) {
    EXPECT_TRUE(staged.StartProgram());
    EXPECT_TRUE(
        WaitFor([&] { return !staged.MessageBoxes().filter(Opening).isEmpty(); }, LongMs * 1ms));
    const auto window = staged.ReadControl("FrmLX735", LongMs);
    EXPECT_TRUE(window.has_value());
    if (window) {
        EXPECT_FALSE(window->value("title").contains("%Titolo%"));
    }
    return staged.MessageBoxes();
}

// The file's path as the program names it: below its folder with the links resolved.
QString Shown(const StagedProgram& staged, const QString& file) {
    return QFileInfo(staged.Path("BIN")).canonicalFilePath().section('/', 0, -2) + "/" + file;
}

void ExpectNames(const QString& box, const StagedProgram& staged, const QString& file) {
    EXPECT_TRUE(box.contains(Shown(staged, file) + StandsIn[file])) << file.toStdString() << "\n"
                                                                    << box.toStdString();
}

TEST(EndToEndStartUpFiles, EachDamagedFileIsNamedInOneBox) {
    const Damage cases[] = {
        {ConfigScale, "this is no configuration\r\n\x01\x02\x03\r\n"},
        {ConfigScale, ""},
        {ConfigScale, QByteArray()},
        {Dictionary, ""},
        {Dictionary, "random words\r\nwithout a language\r\n"},
        {Dictionary, QByteArray()},
        {Language, "junk\r\n"},
        {Language, ""},
        {PortSettings, "garbage\r\n"},
        {PortSettings, ""},
        {PortSettings, "[Comport]\r\nabc\r\n"},
    };
    for (const Damage& damage : cases) {
        SCOPED_TRACE(damage.file.toStdString() + " " +
                     (damage.bytes.isNull() ? "unreadable" : damage.bytes.toStdString()));
        StagedProgram staged;
        ASSERT_TRUE(staged.Valid());
        const QByteArray language = staged.Read(Language);
        Apply(staged, damage);
        if (damage.bytes.isNull() && Readable(staged.Path(damage.file))) {
            continue; // rights that read any file: nothing to see here
        }
        const QStringList boxes = StartDamaged(staged);
        // A bad value also has its own error box, before the list.
        ASSERT_FALSE(boxes.isEmpty());
        EXPECT_EQ(boxes.filter(Opening).size(), 1);
        ExpectNames(boxes.last(), staged, damage.file);
        for (const QString& other : StandsIn.keys()) {
            if (other != damage.file) {
                EXPECT_FALSE(boxes.last().contains(Shown(staged, other))) << other.toStdString();
            }
        }
        if (damage.file == Language) {
            EXPECT_EQ(staged.Read(Language), damage.bytes);
        } else {
            EXPECT_EQ(staged.Read(Language), language);
        }
    }
}

// Every start-up file damaged at once: one box lists them all, the window comes up in the
// built-in texts, and the installer's language file is not overwritten.
TEST(EndToEndStartUpFiles, AllDamagedAtOnceGiveOneBoxAndTheProgramRuns) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    for (const QString& file : {ConfigScale, Dictionary, Language, PortSettings}) {
        ASSERT_TRUE(staged.Write(file, "junk\r\n"));
    }
    const QStringList boxes = StartDamaged(staged);
    ASSERT_EQ(boxes.size(), 1) << boxes.join('\n').toStdString();
    for (const QString& file : {ConfigScale, Dictionary, Language, PortSettings}) {
        ExpectNames(boxes[0], staged, file);
    }
    EXPECT_EQ(staged.Read(Language), "junk\r\n");
    const auto rpm = staged.ReadControl("LblParRpm", LongMs);
    ASSERT_TRUE(rpm.has_value());
    EXPECT_EQ(rpm->value("text"), "R.P.M.");
    // The program goes on: the box is shown once, not at every tick.
    ASSERT_TRUE(staged.Run({"click MnuOffLine", "read FrmLX735"}));
    EXPECT_EQ(staged.MessageBoxes().size(), 1);
}

} // namespace
} // namespace e2e
