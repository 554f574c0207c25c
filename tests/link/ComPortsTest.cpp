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

// The installer's words for a port that cannot be opened, by the system's reason.
TEST(PortOpenMessage, PlainWordsWithTheRemedy) {
    const struct {
        int error;
        const char* contains;
    } cases[] = {
        {EACCES, "permission denied. Add the user to the dialout group"},
        {EPERM, "permission denied"},
        {EBUSY, "another program holds the port"},
        {ENOENT, "no such device"},
        {ENXIO, "no such device"},
        {EIO, "cannot be opened: Input/output error"},
    };
    for (const auto& c : cases) {
        const QString text = PortOpenMessage("COM3", "/dev/ttyUSB0", c.error);
        EXPECT_TRUE(text.startsWith("COM3 (/dev/ttyUSB0): ")) << text.toStdString();
        EXPECT_TRUE(text.contains(c.contains)) << text.toStdString();
    }
    EXPECT_EQ(PortOpenMessage("COM2", "", 0),
              "COM2: BIN/ComPorts.ini gives this port no device path.");
}
