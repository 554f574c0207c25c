// The simulator's control lines that tests use to set up and inspect the ECU's memory.

#include "sim/Control.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sim;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// name -> hex of a dump file.
QMap<QString, QString> ReadDump(const QString& path) {
    QMap<QString, QString> items;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromLatin1(file.readAll()).split('\n')) {
            if (!line.isEmpty()) {
                items.insert(line.section(' ', 0, 0), line.section(' ', 1));
            }
        }
    }
    return items;
}

} // namespace

TEST(SimControl, PokeWritesBytesIntoTheNamedBlock) {
    struct Case {
        const char* line;
        QByteArray (*image)(Ecu&);
        int offset;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"zone3 2 2d004c", [](Ecu& e) { return e.Ram().zone3; }, 2, Hex("2d004c")},
        {"zone2 11 D4", [](Ecu& e) { return e.Ram().zone2; }, 11, Hex("d4")},
        {"poke emulation 87 00", [](Ecu& e) { return e.Ram().emulation; }, 87, Hex("00")},
        {"POKE saved.zone3 73 06", [](Ecu& e) { return e.Saved().zone3; }, 73, Hex("06")},
        {"errors 63 01", [](Ecu& e) { return e.ErrorBytes(); }, 63, Hex("01")},
    };
    for (const Case& c : cases) {
        Ecu ecu;
        const Memory savedBefore = ecu.Saved();
        QString error;
        ASSERT_TRUE(ApplyControlLine(ecu, c.line, &error)) << c.line << ": " << qPrintable(error);
        EXPECT_EQ(c.image(ecu).mid(c.offset, c.bytes.size()), c.bytes) << c.line;
        if (!QString(c.line).contains("saved")) {
            EXPECT_EQ(ecu.Saved(), savedBefore) << c.line << ": the RAM copy only";
        }
    }
}

TEST(SimControl, BadPokesChangeNothing) {
    for (const char* line : {"zone3 73 0600", "zone3 -1 00", "zone3 0 0", "zone3 0 zz",
                             "zone3 x 00", "zone3 0", "poke zone9 0 00", "zone2 14 00"}) {
        Ecu ecu;
        const Memory before = ecu.Ram();
        QString error;
        EXPECT_FALSE(ApplyControlLine(ecu, line, &error)) << line;
        EXPECT_FALSE(error.isEmpty()) << line;
        EXPECT_EQ(ecu.Ram(), before) << line;
    }
}

TEST(SimControl, DumpListsModeEveryBlockErrorsSamplesAndFlash) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("dump");
    Ecu ecu;
    ecu.SetMode(EcuMode::Prg);
    ecu.Ram().zone3[67] = 0;
    ecu.ErrorBytes()[3] = 1;
    ecu.Samples(Fuel::Gas) = {{0x0102, 0x0304}, {0x0506, 0x0708}};
    ASSERT_TRUE(ApplyControlLine(ecu, "dump " + path, nullptr));

    const QMap<QString, QString> items = ReadDump(path);
    EXPECT_EQ(items.value("mode"), "prg");
    for (const char* block : {"zone2", "zone3", "emulation", "compGasTemp", "compRidTemp",
                              "compPress", "compSmag", "correction", "testRecord"}) {
        EXPECT_TRUE(items.contains(block)) << block;
        EXPECT_TRUE(items.contains(QString("saved.") + block)) << block;
    }
    EXPECT_EQ(items.value("zone3"), ecu.Ram().zone3.toHex().toUpper());
    EXPECT_EQ(items.value("saved.zone3").mid(2 * 67, 2), "01");
    EXPECT_EQ(items.value("errors"), ecu.ErrorBytes().toHex().toUpper());
    EXPECT_EQ(items.value("samples.gas"), "0201040306050807");
    EXPECT_EQ(items.value("samples.petrol"), "");

    // One line per flash block that is not erased: here the identity's and one of code.
    QByteArray code(128, static_cast<char>(0xFF));
    code[127] = 0x42;
    ASSERT_TRUE(ecu.SetFlashBytes(0xF80080, code));
    ASSERT_TRUE(ApplyControlLine(ecu, "dump " + path, nullptr));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList flash;
    for (const QString& line : QString::fromLatin1(file.readAll()).split('\n')) {
        if (line.startsWith("flash ")) {
            flash << line;
        }
    }
    ASSERT_EQ(flash.size(), 2);
    EXPECT_EQ(flash[0], "flash F80080 " + code.toHex().toUpper());
    EXPECT_EQ(flash[1], "flash FFE000 " + ecu.FlashBytes(kIdentityAddress, 128).toHex().toUpper());

    EXPECT_FALSE(ApplyControlLine(ecu, "dump " + dir.filePath("no/such/dir/dump"), nullptr));
}

// The delays the Configuration page's lists offer (a count is 25 ms).
TEST(SimControl, FactoryChangeOverSettings) {
    const QByteArray z = Memory::Factory().zone3;
    EXPECT_EQ(z.mid(53, 4).toHex(), "030a9001") << "hysteresis 3, step 10, delay 400";
    EXPECT_EQ(z.mid(64, 2).toHex(), "2800") << "end-of-gas delay 40";
}

namespace {

TEST(SimControl, LeanStepIsTheHighNibbleOfTheKeyStatusByte) {
    Ecu ecu;
    ASSERT_TRUE(ApplyControlLine(ecu, "set leanstep 3", nullptr));
    EXPECT_EQ(static_cast<quint8>(ecu.LiveRecord()[72]), 0x31); // key on
    ASSERT_TRUE(ApplyControlLine(ecu, "set leanstep 15", nullptr));
    EXPECT_EQ(static_cast<quint8>(ecu.LiveRecord()[72]) >> 4, 15);
    for (const char* bad : {"set leanstep 16", "set leanstep -1", "set leanstep 2.5"}) {
        EXPECT_FALSE(ApplyControlLine(ecu, bad, nullptr)) << bad;
    }
    EXPECT_EQ(ecu.Engine().leanStep, 15);
}

} // namespace

TEST(SimControl, SampleLinesAppendToOneFuelAndSamplesClearEmptiesBoth) {
    Ecu ecu;
    QString error;
    ASSERT_TRUE(ApplyControlLine(ecu, "sample petrol 3.0 400", &error)) << error.toStdString();
    ASSERT_TRUE(ApplyControlLine(ecu, "sample gas 3.2 400", &error));
    ASSERT_TRUE(ApplyControlLine(ecu, "sample gas 5.0 800", &error));
    ASSERT_EQ(ecu.Samples(Fuel::Petrol).size(), 1);
    EXPECT_EQ(ecu.Samples(Fuel::Petrol)[0].time, 375); // 0.008 ms a count
    EXPECT_EQ(ecu.Samples(Fuel::Petrol)[0].pressure, 400);
    ASSERT_EQ(ecu.Samples(Fuel::Gas).size(), 2);
    EXPECT_EQ(ecu.Samples(Fuel::Gas)[1].time, 625);

    for (const char* bad : {"sample diesel 3 400", "sample petrol x 400", "sample petrol 3",
                            "sample petrol -1 400", "samples empty"}) {
        EXPECT_FALSE(ApplyControlLine(ecu, bad, &error)) << bad;
    }
    EXPECT_EQ(ecu.Samples(Fuel::Gas).size(), 2);

    ASSERT_TRUE(ApplyControlLine(ecu, "samples clear", &error));
    EXPECT_TRUE(ecu.Samples(Fuel::Petrol).isEmpty());
    EXPECT_TRUE(ecu.Samples(Fuel::Gas).isEmpty());
}
