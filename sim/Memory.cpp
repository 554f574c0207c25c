#include "sim/Memory.h"

#include "sim/Scales.h"

namespace sim {

namespace {

bool Fits(const QByteArray& image, int offset, int size) {
    return offset >= 0 && offset + size <= image.size();
}

quint8 At(const QByteArray& image, int offset) {
    return static_cast<quint8>(image[offset]);
}

QByteArray FactoryZone2() {
    QByteArray z(kZone2Size, '\0');
    z[kZ2ModeReq] = static_cast<char>(kFuelGas); // change over to gas once warm
    z[kZ2FuelState] = static_cast<char>(kFuelPetrol);
    PutU32(z, kZ2HoursGas, 1234);
    PutU32(z, kZ2HoursPetrol, 56);
    z[kZ2Flags] = static_cast<char>(kFlagVacuumAcq);
    PutU16(z, kZ2SwitchPeriod, 6000); // 2500 rpm
    return z;
}

QByteArray FactoryZone3() {
    QByteArray z(kZone3Size, '\0');
    z[kZ3Bobine] = 4;
    z[kZ3Cilindri] = 4;
    PutU16(z, kZ3SwitchTemp, static_cast<int>(35 / kTempC));
    PutU16(z, kZ3SwitchRpm, 10000); // 1500 rpm with 4 coils and 4 cylinders
    z[6] = static_cast<char>(kDefaultInjType);
    z[7] = 0;                                         // LPG
    PutU16(z, 8, static_cast<int>(3.0 / kTimeInjMs)); // injector time 3 ms
    PutU16(z, 10, 28);
    PutU16(z, 12, 24);
    for (int cyl = 0; cyl < 4; ++cyl) {
        z[kZ3CylState + 7 - cyl] = 1; // enabled, on petrol
    }
    z[38] = static_cast<char>(kDefaultLevelType);
    const int thresholds[] = {0, 204, 409, 618, 823, 1023};
    for (int i = 0; i < 6; ++i) {
        PutU16(z, 40 + 2 * i, thresholds[i]);
    }
    z[53] = 3;                                        // deceleration hysteresis 300 rpm
    z[54] = 10;                                       // change-over step 250 ms
    PutU16(z, 55, static_cast<int>(10 / kTimerGenS)); // change-over delay 10 s
    z[kZ3BandLow] = static_cast<char>(kDefaultBandLow);
    z[kZ3BandHigh] = static_cast<char>(kDefaultBandHigh);
    z[61] = static_cast<char>(kDefaultLambdaType);
    PutU16(z, 62, static_cast<int>(800 / kMapInMbar)); // end-of-gas pressure
    PutU16(z, 64, static_cast<int>(1 / kTimerGenS));   // end-of-gas delay 1 s
    z[67] = 1;                                         // end-of-gas check on
    z[69] = 10;
    z[70] = 15;
    z[72] = 1;
    z[73] = 5;
    return z;
}

QByteArray FactoryEmulation() {
    QByteArray z(kEmulationSize, '\0');
    for (int c = 0; c < 12; ++c) {
        PutU16(z, 2 * c, 800 + 400 * c);
    }
    for (int r = 0; r < 4; ++r) {
        PutU16(z, 24 + 2 * r, 300 + 200 * r);
    }
    for (int cell = 0; cell < 48; ++cell) {
        z[32 + cell] = 0x7E; // 2.47 V
    }
    PutU16(z, 80, 40); // 1 s
    z[82] = static_cast<char>(255);
    z[83] = 6;
    z[84] = 36;
    z[85] = 6;
    z[86] = 1;
    z[87] = 0x01;
    return z;
}

// 15 (axis, percent) pairs, then the enable flag and its copy (or the step number).
template <typename Put>
QByteArray CompTable(int size, Put put, int axis0, int axisStep, int (*percent)(int), int enable,
                     int last) {
    QByteArray z(size, '\0');
    for (int c = 0; c < 15; ++c) {
        put(z, 2 * c, axis0 + axisStep * c);
        put(z, 2 * c + 1, percent(c));
    }
    put(z, 30, enable);
    put(z, 31, last);
    return z;
}

void PutByteElement(QByteArray& z, int i, int v) {
    z[i] = static_cast<char>(v);
}
void PutWordElement(QByteArray& z, int i, int v) {
    PutU16(z, 2 * i, v);
}

int TempPercent(int c) {
    return (7 - c) / 2;
}
int PressPercent(int c) {
    return (c - 7) / 3;
}
int SmagPercent(int c) {
    return c < 5 ? 10 : 0;
}

QByteArray FactoryCorrection() {
    QByteArray z(2 * kCorrectionCells, '\0');
    PutU16(z, 2 * 182, 1000); // slope 1.000; offset (cell 181) 0
    const int points[] = {0, 28, 55, 71, 86, 102, 125, 157};
    for (int i = 0; i < 8; ++i) {
        PutU16(z, 2 * (183 + i), points[i]);
    }
    PutU16(z, 2 * 191, 0xFFFF); // current layout
    return z;
}

} // namespace

int GetU16(const QByteArray& image, int offset) {
    return Fits(image, offset, 2) ? At(image, offset) | At(image, offset + 1) << 8 : 0;
}

int GetS16(const QByteArray& image, int offset) {
    return static_cast<qint16>(static_cast<quint16>(GetU16(image, offset)));
}

quint32 GetU32(const QByteArray& image, int offset) {
    if (!Fits(image, offset, 4)) {
        return 0;
    }
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | At(image, offset + i);
    }
    return v;
}

void PutU16(QByteArray& image, int offset, int value) {
    if (Fits(image, offset, 2)) {
        image[offset] = static_cast<char>(value & 0xFF);
        image[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
}

void PutU32(QByteArray& image, int offset, quint32 value) {
    if (Fits(image, offset, 4)) {
        for (int i = 0; i < 4; ++i) {
            image[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    }
}

Memory Memory::Factory() {
    Memory m;
    m.zone2 = FactoryZone2();
    m.zone3 = FactoryZone3();
    m.emulation = FactoryEmulation();
    m.compGasTemp = CompTable(kCompByteTableSize, PutByteElement, -20, 10, TempPercent, 1, 1);
    m.compRidTemp = CompTable(kCompByteTableSize, PutByteElement, -20, 10, TempPercent, 0, 0);
    m.compPress = CompTable(kCompWordTableSize, PutWordElement, 500, 200, PressPercent, 0, 0);
    m.compSmag = CompTable(kCompWordTableSize, PutWordElement, 125, 125, SmagPercent, 0, 8);
    m.correction = FactoryCorrection();
    m.testRecord = QByteArray("LX735 TEST 00001");
    return m;
}

} // namespace sim
