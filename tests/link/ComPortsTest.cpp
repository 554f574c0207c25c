#include "link/ComPorts.h"
#include "common/TempTree.h"
#include "support/LineReader.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace comm;
using testing_support::TempTree;

TEST(ComPortDevice, MapFileThenTtySDefault) {
    TempTree tree;
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM1"), "/dev/ttyS0");
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM9"), "/dev/ttyS8");

    tree.Write("BIN/ComPorts.ini", " [com3] \r\n/dev/pts/7 \r\n[COM1]\r\n/dev/ttyUSB0\r\n"
                                   "[COM1]\r\n/dev/serial/by-id/usb-cable\r\n[COM2]\r\n\r\n");
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM3"), "/dev/pts/7");
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM1"), "/dev/serial/by-id/usb-cable")
        << "a later pair wins";
    bool emptyPath = false;
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM2", &emptyPath), "") << "an empty path is refused";
    EXPECT_TRUE(emptyPath);
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM4"), "/dev/ttyS3");
}

TEST(ComPortDevice, OnlyCom1ToCom9HaveADevice) {
    TempTree tree;
    tree.Write("BIN/ComPorts.ini", "[COM10]\n/dev/pts/3\n");
    for (const char* name : {"", "COM0", "COM10", "COM", "USB", "com1"}) {
        EXPECT_EQ(ComPortDevice(tree.Root(), name), "") << name;
    }
}

TEST(ComPortDevice, PathsAreUtf8) {
    TempTree tree;
    tree.Write("BIN/ComPorts.ini",
               QString("[COM5]\r\n/dev/serial/by-id/usb-Câble_Ünï-if00\r\n").toUtf8());
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM5"), QString("/dev/serial/by-id/usb-Câble_Ünï-if00"));
}

TEST(ComPortDevice, AnEnormousLineIsReadWithinItsBound) {
    TempTree tree;
    const QByteArray huge(64 * 1024 * 1024, 'x');
    tree.Write("BIN/ComPorts.ini",
               "[COM2]\r\n/dev/pts/4\r\n" + huge + "\r\n[COM3]\r\n/dev/pts/5\r\n[COM4]\r\n" + huge);
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM2"), "/dev/pts/4");
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM3"), "/dev/pts/5") << "a pair after the line";
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM4"), QString(support::LineReader::DefaultMaxLine, 'x'))
        << "a value keeps no more than the bound";
}

// The installer's words for a port that cannot be opened, by the system's reason, in the
// texts given (the dictionary's) or in English.
TEST(PortOpenMessage, PlainWordsWithTheRemedy) {
    const struct {
        PortOpenFailure failure;
        const char* english;
    } cases[] = {
        {{"COM3", "/dev/ttyUSB0", EACCES},
         "COM3 (/dev/ttyUSB0): permission denied; add user to group dialout, log in again"},
        {{"COM3", "/dev/ttyUSB0", EPERM},
         "COM3 (/dev/ttyUSB0): permission denied; add user to group dialout, log in again"},
        {{"COM3", "/dev/ttyUSB0", EBUSY},
         "COM3 (/dev/ttyUSB0): another program holds the port; close it"},
        {{"COM1", "/dev/ttyS0", ENOENT},
         "COM1 (/dev/ttyS0): no such device; plug in the cable or pick another port"},
        {{"COM1", "/dev/ttyS0", ENXIO},
         "COM1 (/dev/ttyS0): no such device; plug in the cable or pick another port"},
        {{"COM3", "/dev/ttyUSB0", EIO},
         "COM3 (/dev/ttyUSB0): cannot be opened: Input/output error"},
        {{"COM2", "", 0}, "COM2: BIN/ComPorts.ini gives this port no device path"},
    };
    const QStringList numbered = {"t0", "t1", "t2", "t3", "t4"};
    for (const auto& c : cases) {
        EXPECT_EQ(PortOpenMessage(c.failure), c.english);
        const QString given = PortOpenMessage(c.failure, numbered);
        EXPECT_EQ(given, QString(c.english).replace(PortOpenTexts().value(int(ReasonOf(c.failure))),
                                                    numbered.value(int(ReasonOf(c.failure)))))
            << given.toStdString();
    }
}
