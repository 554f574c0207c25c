#include "ecudata/FuelMode.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"

#include <gtest/gtest.h>

using namespace ecudata;

namespace {

constexpr quint8 U = 255; // untouched: the no-edit marker

struct StepCase {
    const char* name;
    quint8 fuel;
    quint8 statusKey;
    qint16 state;
    quint8 mode;
    quint8 index;
    std::array<quint8, 8> read;
    std::array<quint8, 8> written;
    bool armed;
    bool finished;
};

const StepCase Cases[] = {
    {"gas, off one", 3, 1, 0, 1, 2, {1, 1, 4, 1}, {U, U, 0, U, U, U, U, U}, true, true},
    {"gas, off one not on gas",
     3,
     1,
     0,
     1,
     2,
     {1, 1, 1, 1},
     {U, U, U, U, U, U, U, U},
     false,
     false},
    {"gas, 3: first step", 3, 1, 3, 1, 1, {1, 0, 1, 1}, {U, 1, U, U, U, U, U, U}, true, false},
    {"gas, 3: second step", 3, 1, 3, 1, 1, {1, 1, 1, 1}, {U, 2, U, U, U, U, U, U}, true, true},
    {"gas, 3: from 4", 3, 1, 3, 1, 1, {1, 4, 1, 1}, {U, 3, U, U, U, U, U, U}, true, true},
    {"gas, 3: already 3", 3, 1, 3, 1, 1, {1, 3, 1, 1}, {U, U, U, U, U, U, U, U}, false, true},
    {"gas, 3: all, one switched on",
     3,
     1,
     3,
     2,
     4,
     {0, 1, 4, 3},
     {1, 2, 3, U, U, U, U, U},
     true,
     false},
    {"gas, 3: all, one switching",
     3,
     1,
     3,
     2,
     3,
     {1, 3, 4, 0},
     {2, U, 3, U, U, U, U, U},
     true,
     true},
    {"gas, 3: all done", 3, 1, 3, 2, 2, {3, 3, 0, 0}, {U, U, U, U, U, U, U, U}, false, true},
    {"gas, 4: steps up", 3, 1, 4, 1, 0, {0, 1, 1, 1}, {1, U, U, U, U, U, U, U}, true, false},
    {"gas, 4: from 3", 3, 1, 4, 2, 0, {3, 1, 1, 1}, {4, U, U, U, U, U, U, U}, true, true},
    {"petrol, off one", 0, 1, 0, 1, 3, {1, 1, 1, 1}, {U, U, U, 0, U, U, U, U}, true, true},
    {"petrol, off one already off",
     0,
     1,
     0,
     1,
     3,
     {1, 1, 1, 0},
     {U, U, U, U, U, U, U, U},
     false,
     true},
    {"petrol, on one", 0, 1, 3, 1, 0, {0, 1, 1, 1}, {1, U, U, U, U, U, U, U}, true, true},
    {"petrol, on all", 0, 1, 3, 2, 3, {0, 1, 0, 0}, {1, U, 1, U, U, U, U, U}, true, true},
    {"petrol, no cylinders", 0, 1, 3, 2, 0, {0, 0, 0, 0}, {U, U, U, U, U, U, U, U}, false, false},
    {"switching, key on: nothing",
     1,
     1,
     3,
     1,
     0,
     {0, 0, 0, 0},
     {U, U, U, U, U, U, U, U},
     false,
     false},
    {"switching, key off", 1, 0, 3, 1, 0, {0, 0, 0, 0}, {1, U, U, U, U, U, U, U}, true, true},
    {"index beyond eight", 3, 1, 3, 1, 8, {0, 0, 0, 0}, {U, U, U, U, U, U, U, U}, false, true},
    {"count beyond eight", 0, 1, 3, 2, 9, {0, 0, 0, 0}, {U, U, U, U, U, U, U, U}, false, true},
};

TEST(StepInjSet, Table) {
    for (const StepCase& c : Cases) {
        EcuImages images;
        EcuRequests req;
        images.Mem2Data.FuelState = c.fuel;
        images.Mem1Data.StatusKey = c.statusKey;
        images.Mem3Data.CylState = c.read;
        images.Mem3Data.Cilindri = 4;
        images.Mem3Write.Cilindri = 4; // so that only the step itself arms the write
        req.InjSetState = c.state;
        req.InjSetMode = c.mode;
        req.InjSetIndex = c.index;
        StepInjSet(images, req);
        EXPECT_EQ(images.Mem3Write.CylState, c.written) << c.name;
        EXPECT_EQ(req.Mem3WriteCountdown == 1.0, c.armed) << c.name;
        EXPECT_EQ(req.InjSetMode == 0 && req.InjSetState == -1, c.finished) << c.name;
    }
}

TEST(StepInjSet, APendingCylinderCountArmsTheWrite) {
    EcuImages images; // Mem3Write.Cilindri holds its marker, Mem3Data 0
    EcuRequests req;
    images.Mem2Data.FuelState = 1;
    images.Mem1Data.StatusKey = 1;
    req.InjSetMode = 1;
    req.InjSetState = 3;
    StepInjSet(images, req);
    EXPECT_EQ(req.Mem3WriteCountdown, 1.0);
    EXPECT_EQ(req.InjSetMode, 1);
}

} // namespace
