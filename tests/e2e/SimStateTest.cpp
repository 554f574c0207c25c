// The harness's hold on lx735-sim: bytes poked in through its control file show in its
// dump, in RAM only.

#include "StagedProgram.h"

#include <gtest/gtest.h>

namespace e2e {

TEST(SimState, PokedBytesShowInTheDump) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    ASSERT_FALSE(staged.StartSim("ecu", {"--fast"}).isEmpty());

    ASSERT_TRUE(staged.SimControl("ecu", "zone3 2 2d00\nerror 3 1"));
    ASSERT_TRUE(staged.SimPoke("ecu", "emulation", 86, QByteArray::fromHex("0700")));
    const std::optional<SimDump> dump = staged.SimState("ecu");
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->mode, "run");
    EXPECT_EQ(dump->Hex("zone3", 2, 2), "2D 00");
    EXPECT_EQ(dump->Hex("saved.zone3", 0, 2), "04 04");
    EXPECT_NE(dump->Hex("saved.zone3", 2, 2), "2D 00");
    EXPECT_EQ(dump->Hex("emulation", 86, 2), "07 00");
    EXPECT_EQ(dump->Hex("errors", 3, 1), "01");
    EXPECT_EQ(dump->Bytes("zone3", 73, 2), QByteArray()) << "beyond the block";
}

} // namespace e2e
