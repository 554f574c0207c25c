#include "link/ComPorts.h"
#include "common/TempTree.h"

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
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM2"), "/dev/ttyS1") << "an empty path is unmapped";
    EXPECT_EQ(ComPortDevice(tree.Root(), "COM4"), "/dev/ttyS3");
}

TEST(ComPortDevice, OnlyCom1ToCom9HaveADevice) {
    TempTree tree;
    tree.Write("BIN/ComPorts.ini", "[COM10]\n/dev/pts/3\n");
    for (const char* name : {"", "COM0", "COM10", "COM", "USB", "com1"}) {
        EXPECT_EQ(ComPortDevice(tree.Root(), name), "") << name;
    }
}
