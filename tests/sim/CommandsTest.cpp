#include "SimHelpers.h"
#include "sim/Control.h"

#include <gtest/gtest.h>

using namespace sim;
using simtest::Answer;
using simtest::Command;
using simtest::Pattern;

namespace {

class EcuCommands : public ::testing::Test {
protected:
    // On petrol, so that nothing changes over unless a test asks for it.
    EcuCommands() : ecu_(Config()) {
        ecu_.Ram().zone2[kZ2ModeReq] = kFuelPetrol;
        ecu_.Step(now_);
    }

    static EcuConfig Config() {
        EcuConfig config;
        config.fast = true;
        config.animated = false;
        return config;
    }

    Answer Send(quint8 command, const QByteArray& payload = {}) {
        return Command(ecu_, command, payload, now_);
    }
    // Lets the model run for a while without traffic.
    void Run(double seconds) {
        now_ += seconds * 1e6;
        ecu_.Step(now_);
    }

    Ecu ecu_;
    double now_ = 1e6;
};

const QByteArray kZero(1, '\0');

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int v : values) {
        bytes.append(static_cast<char>(v));
    }
    return bytes;
}

} // namespace

// Every zone the program writes whole reads back as written, in RAM only until saved.
TEST_F(EcuCommands, ZonesReadWriteAndReadBack) {
    struct Case {
        quint8 read;
        quint8 write;
        int size;
    };
    const Case cases[] = {
        {CMD_READ_MEM3, CMD_WRT_MEM3, 74},
        {CMD_READ_EMUS, CMD_WRIT_EMUS, 88},
        {CMD_READ_COMP_GAS_TEMP, CMD_WRITE_COMP_GAS_TEMP, 32},
        {CMD_READ_COMP_RID_TEMP, CMD_WRITE_COMP_RID_TEMP, 32},
        {CMD_READ_COMP_PRES_GAS, CMD_WRITE_COMP_PRES_GAS, 64},
        {CMD_READ_CMP_SMAG, CMD_WRITE_CMP_SMAG, 64},
        {CMD_READ_DCOL_FL, CMD_WRIT_DCOL, 16},
    };
    for (const Case& c : cases) {
        const Answer before = Send(c.read);
        ASSERT_EQ(before.status, 0) << int(c.read);
        ASSERT_EQ(before.data.size(), c.size) << int(c.read);

        const QByteArray image = Pattern(c.size, c.write);
        const Answer written = Send(c.write, image);
        EXPECT_EQ(written.status, 0) << int(c.write);
        EXPECT_TRUE(written.data.isEmpty());
        EXPECT_EQ(Send(c.read).data, image) << int(c.read);

        EXPECT_EQ(Send(c.write, image.left(c.size - 1)).status, 254) << "short " << int(c.write);
        EXPECT_EQ(Send(c.write, image + 'x').status, 254) << "long " << int(c.write);
        EXPECT_EQ(Send(c.read).data, image) << "a refused write changes nothing";
    }
    EXPECT_EQ(ecu_.Saved(), Memory::Factory()) << "nothing saved without CMD_SAVE_FLASH";
}

TEST_F(EcuCommands, Zone2KeepsTheEcuOwnedBytes) {
    ecu_.Engine().key = false; // no change-over meanwhile
    QByteArray image = Send(CMD_READ_MEM2).data;
    ASSERT_EQ(image.size(), 14);
    QByteArray write = image;
    write[0] = 3;                           // requested fuel
    write[1] = 7;                           // fuel state: the ECU's
    write[2] = 1;                           // run state: the ECU's
    PutU32(write, kZ2HoursGas, 0xFFFFFFFF); // reset request
    PutU32(write, kZ2HoursPetrol, 999);     // not a reset: ignored
    write[11] = static_cast<char>(0xC2);
    PutU16(write, 12, 4321);
    EXPECT_EQ(Send(CMD_WRT_MEM2, write).status, 0);

    const QByteArray back = Send(CMD_READ_MEM2).data;
    EXPECT_EQ(back[0], 3);
    EXPECT_EQ(back[1], image[1]);
    EXPECT_EQ(back[2], 0);
    EXPECT_EQ(GetU32(back, kZ2HoursGas), 0u);
    EXPECT_EQ(GetU32(back, kZ2HoursPetrol), GetU32(image, kZ2HoursPetrol));
    EXPECT_EQ(static_cast<quint8>(back[11]), 0xC2);
    EXPECT_EQ(GetU16(back, 12), 4321);
}

TEST_F(EcuCommands, ModesShowInZone2AndProgrammingNeedsTheRightMode) {
    EXPECT_EQ(Send(CMD_SET_ECU_SLAVE, kZero).status, 0);
    EXPECT_EQ(ecu_.Mode(), EcuMode::Slave);
    EXPECT_EQ(Send(CMD_READ_MEM2).data[2], 1);
    EXPECT_EQ(Send(CMD_SET_ECU_RUN, kZero).status, 0);
    EXPECT_EQ(Send(CMD_READ_MEM2).data[2], 0);
    EXPECT_EQ(Send(CMD_ERASE_FLASH, kZero).status, 254) << "erase only in programming mode";
    EXPECT_EQ(Send(CMD_WRT_FLASH_END).status, 254);
    EXPECT_EQ(Send(CMD_SET_ECU_PRG, kZero).status, 0);
    EXPECT_EQ(ecu_.Mode(), EcuMode::Prg);
    EXPECT_EQ(Send(CMD_GET_ECO, "ECO").status, 0) << "the keep-alive is answered in any mode";
}

TEST_F(EcuCommands, CorrectionTableTravelsInFourBlocks) {
    QByteArray table;
    for (const int start : {0, 48, 96, 144}) {
        const Answer a = Send(CMD_READ_TBL_COR, Bytes({start, 48}));
        ASSERT_EQ(a.status, 0);
        ASSERT_EQ(a.data.size(), 96);
        table += a.data;
    }
    EXPECT_EQ(table.right(2).toHex(), "ffff") << "current layout";
    EXPECT_EQ(GetS16(table, 2 * 182), 1000) << "slope 1.000";
    EXPECT_EQ(GetS16(table, 2 * 190), 157);

    const QByteArray cells = Pattern(96, 5);
    EXPECT_EQ(Send(CMD_WRT_TBL_COR, Bytes({96, 48}) + cells).status, 0);
    EXPECT_EQ(Send(CMD_READ_TBL_COR, Bytes({96, 48})).data, cells);
    EXPECT_EQ(ecu_.Ram().correction.mid(2 * 96, 96), cells);

    EXPECT_EQ(Send(CMD_READ_TBL_COR, Bytes({150, 48})).status, 254);
    EXPECT_EQ(Send(CMD_WRT_TBL_COR, Bytes({0, 48}) + cells.left(94)).status, 254);
}

TEST_F(EcuCommands, SaveFlashKeepsACopyThatTheFlashReadsReturn) {
    const QByteArray block = Pattern(88, 1);
    Send(CMD_WRIT_EMUS, block);
    EXPECT_EQ(Send(CMD_READ_EMUS_FL).data, Memory::Factory().emulation);
    EXPECT_EQ(Send(CMD_SAVE_FLASH, kZero).status, 0);
    EXPECT_EQ(Send(CMD_READ_EMUS_FL).data, block);
    EXPECT_EQ(ecu_.Saved().emulation, block);
}

TEST_F(EcuCommands, ErrorBytesAreReadAndCleared) {
    ecu_.ErrorBytes()[3] = 1;
    ecu_.ErrorBytes()[35] = 2;
    const Answer a = Send(CMD_READ_ERR);
    ASSERT_EQ(a.data.size(), 64);
    EXPECT_EQ(a.data[3], 1);
    EXPECT_EQ(a.data[35], 2);
    EXPECT_EQ(Send(CMD_CANC_ERR).status, 0);
    EXPECT_EQ(Send(CMD_READ_ERR).data, QByteArray(64, '\0'));
}

TEST_F(EcuCommands, IdentityFromFirmwareReadAndMemoryZone) {
    const QByteArray identity = Send(CMD_READ_FIRMWARE).data;
    ASSERT_EQ(identity.size(), 38);
    EXPECT_EQ(identity.left(6).toHex(), "011214042011");
    EXPECT_EQ(identity.mid(6), QByteArray("LX735 SEQGAS T468").leftJustified(32, ' '));

    EXPECT_EQ(Send(CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE00006")).data, identity.left(6));
    EXPECT_EQ(Send(CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE00620")).data, identity.mid(6));
    EXPECT_EQ(Send(CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFFFFF02")).status, 254)
        << "past the end of the flash";
    EXPECT_EQ(Send(CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE000")).status, 254);
}

TEST(Identity, ParsesTheCommandLineForm) {
    const auto identity = Identity::Parse("01.38 27/07/2007 LX735 CLIENT INJ468");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->Bytes().left(6).toHex(), "013827072007");
    EXPECT_EQ(identity->Bytes().size(), 38);
    EXPECT_TRUE(Identity::Parse("0A.FF 14/04/2011")) << "non-decimal digits and no descriptor";
    for (const char* bad :
         {"", "01.12", "1.12 14/04/2011 X", "01.12 14-04-2011 X", "01.12 14/04/11 X",
          "01.12 14/04/2011 ABCDEFGHIJKLMNOPQRSTUVWXYZ 1234567"}) {
        EXPECT_FALSE(Identity::Parse(bad)) << bad;
    }
}

// Erase, program, end: the ECU restarts on the new image, with factory parameters until
// the program writes its own back; the service hours stay.
TEST_F(EcuCommands, FlashProgrammingReplacesTheImage) {
    ecu_.Engine().key = false; // no change-over after the restart
    Send(CMD_WRT_MEM3, Pattern(74, 9));
    Send(CMD_SAVE_FLASH, kZero);
    PutU32(ecu_.Ram().zone2, kZ2HoursGas, 123456);
    PutU32(ecu_.Ram().zone2, kZ2HoursPetrol, 654321);
    const auto block = [](quint32 address, const QByteArray& data) {
        return QByteArray(1, '\0') + char(address >> 16) + char(address >> 8) + char(address) +
               data;
    };
    QByteArray identity = Identity::Parse("01.13 01/02/2012 LX735 CLIENT INJ468")->Bytes();
    const QByteArray page = identity + QByteArray(128 - 38, static_cast<char>(0xFF));

    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(kIdentityAddress, page)).status, 254)
        << "no programming before the erase";
    Send(CMD_SET_ECU_PRG, kZero);
    EXPECT_EQ(Send(CMD_ERASE_FLASH, kZero).status, 0);
    EXPECT_EQ(ecu_.Mode(), EcuMode::FlashWrt);
    EXPECT_EQ(ecu_.IdentityBytes(), QByteArray(38, static_cast<char>(0xFF)));

    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(kIdentityAddress, page)).status, 0);
    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(0xF80000, Pattern(128, 3))).status, 0);
    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(0xF80000, QByteArray(128, char(0xFF)))).status, 254)
        << "a programmed bit cannot go back to 1 without an erase";
    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(0xF7FF80, Pattern(128, 3))).status, 254);
    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(0xFFFFC0, Pattern(128, 3))).status, 254);
    EXPECT_EQ(Send(CMD_WRT_FLASH_ZONE, block(0xF80100, Pattern(100, 3))).status, 254);

    EXPECT_EQ(Send(CMD_WRT_FLASH_END).status, 0);
    EXPECT_EQ(ecu_.Mode(), EcuMode::Run);
    EXPECT_EQ(Send(CMD_READ_FIRMWARE).data, identity);
    EXPECT_EQ(ecu_.FlashBytes(0xF80000, 128), Pattern(128, 3));
    EXPECT_EQ(Send(CMD_READ_MEM3).data, Memory::Factory().zone3) << "parameters were erased";
    for (Memory* memory : {&ecu_.Ram(), &ecu_.Saved()}) {
        EXPECT_EQ(GetU32(memory->zone2, kZ2HoursGas), 123456u);
        EXPECT_EQ(GetU32(memory->zone2, kZ2HoursPetrol), 654321u);
    }
}

TEST_F(EcuCommands, MapSamplesAreCollectedInTheBandReadInTwoPartsAndCancelled) {
    ecu_.Engine().rpm = 2200; // inside the default 2000..2500 band
    ecu_.Engine().petrolMs = 4.0;
    ecu_.Engine().press2Mbar = 520;
    Run(3);
    const qsizetype collected = ecu_.Samples(Fuel::Petrol).size();
    EXPECT_GE(collected, 10);
    EXPECT_TRUE(ecu_.Samples(Fuel::Gas).isEmpty());

    const Answer part0 = Send(CMD_READ_SMPL_BNZ);
    ASSERT_EQ(part0.data.size(), 121);
    EXPECT_EQ(part0.data[0], static_cast<char>(collected));
    EXPECT_EQ(GetU16(part0.data, 1), 500) << "4 ms in 8 us counts";
    EXPECT_EQ(GetU16(part0.data, 3), 520);

    ecu_.Engine().rpm = 3000; // outside the band: nothing more collected
    while (ecu_.Samples(Fuel::Petrol).size() < kSamplesPerFuel) {
        ecu_.Samples(Fuel::Petrol).append({static_cast<quint16>(1000), 0});
    }
    const Answer part1 = Send(CMD_READ_SMPL_BNZ1);
    ASSERT_EQ(part1.data.size(), 121);
    EXPECT_EQ(part1.data[0], 60);
    EXPECT_EQ(GetU16(part1.data, 4 * 29 + 1), 1000) << "point 59";
    ecu_.Engine().rpm = 2200;
    Run(5);
    EXPECT_EQ(ecu_.Samples(Fuel::Petrol).size(), kSamplesPerFuel) << "collection stops at 60";
    EXPECT_EQ(Send(CMD_READ_SMPL_GAS1).data.size(), 121);

    ecu_.Engine().rpm = 3000;
    EXPECT_EQ(Send(CMD_CANC_SMPL_BNZ).status, 0);
    EXPECT_TRUE(ecu_.Samples(Fuel::Petrol).isEmpty());
}

TEST_F(EcuCommands, LiveRecordFollowsTheEngine) {
    EngineState& e = ecu_.Engine();
    e.rpm = 2500;
    e.reducerTempC = -12;
    e.gasTempC = 31;
    e.supplyV = 13.8;
    e.gasPressureMbar = 1200;
    const Answer a = Send(CMD_READ_MEM1);
    ASSERT_EQ(a.data.size(), 91);
    EXPECT_EQ(GetU16(a.data, 64), 6000) << "15e6 / 2500 with 4 coils and 4 cylinders";
    EXPECT_EQ(GetS16(a.data, 77), -12);
    EXPECT_EQ(GetS16(a.data, 79), 31);
    EXPECT_EQ(GetU16(a.data, 81), 421);
    EXPECT_EQ(GetU16(a.data, 66), 1200);
    EXPECT_EQ(a.data[72], 1) << "key on";
    EXPECT_EQ(GetU16(a.data, 16 + 14), GetU16(a.data, 32 + 14)) << "injector 0 travels last";
    EXPECT_GT(GetU16(a.data, 16 + 14), 0);
    EXPECT_EQ(GetU16(a.data, 16 + 0), 0) << "injector 7 of a 4-cylinder engine";

    ecu_.Ram().zone2[kZ2Flags] = static_cast<char>(kFlagRpmClock | kFlagClockHalf);
    EXPECT_EQ(GetU16(Send(CMD_READ_MEM1).data, 64), 3000);
    e.key = false;
    const QByteArray off = Send(CMD_READ_MEM1).data;
    EXPECT_EQ(GetU16(off, 64), 0) << "engine stopped";
    EXPECT_EQ(off[72], 0);
}

TEST_F(EcuCommands, ChangeOverToGasInSlaveModeAndCylindersFollow) {
    ecu_.Engine().reducerTempC = 20; // below the 35 degree change-over temperature
    Send(CMD_SET_ECU_SLAVE, kZero);
    QByteArray z2 = Send(CMD_READ_MEM2).data;
    z2[0] = kFuelGas;
    Send(CMD_WRT_MEM2, z2);
    Run(1.6);
    EXPECT_EQ(Send(CMD_READ_MEM2).data[1], kFuelGas);
    Run(1.5);
    const QByteArray z3 = Send(CMD_READ_MEM3).data;
    for (int cyl = 0; cyl < 4; ++cyl) {
        EXPECT_EQ(z3[kZ3CylState + 7 - cyl], 3) << cyl;
    }
    const QByteArray live = Send(CMD_READ_MEM1).data;
    EXPECT_GT(GetS16(live, 14), GetU16(live, 16 + 14)) << "gas time of injector 0";
    EXPECT_EQ(GetS16(live, 48 + 14), 50) << "0.4 ms gas minus petrol";
    EXPECT_EQ(live[73], 1);

    Send(CMD_SET_ECU_RUN, kZero);
    Run(0.5);
    EXPECT_EQ(ecu_.FuelState(), kFuelPetrol) << "too cold for gas in run mode";
    EXPECT_EQ(ecu_.Ram().zone3[kZ3CylState + 7], 1);
    ecu_.Engine().reducerTempC = 40;
    Run(1.6);
    EXPECT_EQ(ecu_.FuelState(), kFuelGas);
}

// On gas the ECU adds the stored correction at the nearest cell of the petrol time (at
// most cell 157); the control line sets a cell.
TEST_F(EcuCommands, GasTimeAddsTheCorrectionOfItsCell) {
    Send(CMD_SET_ECU_SLAVE, kZero);
    QByteArray z2 = Send(CMD_READ_MEM2).data;
    z2[0] = kFuelGas;
    Send(CMD_WRT_MEM2, z2);
    Run(3.2);
    ASSERT_EQ(ecu_.Ram().zone3[kZ3CylState + 7], 3);
    const auto gasMinusPetrol = [&] {
        const QByteArray live = Send(CMD_READ_MEM1).data;
        return GetS16(live, 14) - GetU16(live, 16 + 14);
    };
    ecu_.Engine().petrolMs = 3.0; // injector 0: cell 23
    const int plain = gasMinusPetrol();
    ASSERT_TRUE(ApplyControlLine(ecu_, "cell 23 -25", nullptr));
    EXPECT_EQ(gasMinusPetrol(), plain - 25);
    ecu_.Engine().petrolMs = 30; // beyond the table: cell 157
    ASSERT_TRUE(ApplyControlLine(ecu_, "cell 157 40", nullptr));
    EXPECT_DOUBLE_EQ(ecu_.CorrectionMs(30) / kTimeInjMs, 40);
    EXPECT_EQ(CorrectionCellOf(3.0), 23);
    QString error;
    EXPECT_FALSE(ApplyControlLine(ecu_, "cell 192 1", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(EcuCommands, DriveCycleMovesTheLiveValues) {
    ecu_.SetAnimated(true);
    const QByteArray first = Send(CMD_READ_MEM1).data;
    Run(12);
    const QByteArray later = Send(CMD_READ_MEM1).data;
    EXPECT_NE(GetU16(first, 64), GetU16(later, 64)) << "rpm";
    EXPECT_NE(GetS16(first, 77), GetS16(later, 77)) << "reducer warming up";
    EXPECT_NE(GetU16(first, 16 + 14), GetU16(later, 16 + 14)) << "petrol time";
}
