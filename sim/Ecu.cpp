#include "sim/Ecu.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim {

namespace {

constexpr double kTickUsec = 100000;      // the model's step
constexpr double kMaxCatchUpUsec = 600e6; // longer idle spans are skipped, not replayed
constexpr int kFuelStepTicks = 4;         // change-over: 0 -> 1 -> 2 -> 3, 400 ms apart
constexpr int kCylinderStepTicks = 3;     // one cylinder brought on gas every 300 ms
constexpr int kSampleTicks = 2;           // a map sample every 200 ms in the band
constexpr double kSecondsPerHour = 3600;
constexpr int kFlashBlock = 128;
constexpr char kNoiseBytes[] = {0x00, static_cast<char>(0xFF), 0x55};

// A zone the program reads and writes whole, with the commands that do it.
struct ZoneCommand {
    quint8 read;
    quint8 write;
    QByteArray Memory::*zone;
    int size;
};

constexpr ZoneCommand kZoneCommands[] = {
    {CMD_READ_MEM3, CMD_WRT_MEM3, &Memory::zone3, kZone3Size},
    {CMD_READ_EMUS, CMD_WRIT_EMUS, &Memory::emulation, kEmulationSize},
    {CMD_READ_COMP_GAS_TEMP, CMD_WRITE_COMP_GAS_TEMP, &Memory::compGasTemp, kCompByteTableSize},
    {CMD_READ_COMP_RID_TEMP, CMD_WRITE_COMP_RID_TEMP, &Memory::compRidTemp, kCompByteTableSize},
    {CMD_READ_COMP_PRES_GAS, CMD_WRITE_COMP_PRES_GAS, &Memory::compPress, kCompWordTableSize},
    {CMD_READ_CMP_SMAG, CMD_WRITE_CMP_SMAG, &Memory::compSmag, kCompWordTableSize},
    {CMD_READ_DCOL_FL, CMD_WRIT_DCOL, &Memory::testRecord, kTestRecordSize},
};

quint8 ByteAt(const QByteArray& bytes, int index) {
    return index < bytes.size() ? static_cast<quint8>(bytes[index]) : 0;
}

// A physical value as counts of scale, rounded and clamped to the field.
int Counts(double value, double scale, int low, int high) {
    const double counts = std::round(value / scale);
    return static_cast<int>(
        std::clamp(counts, static_cast<double>(low), static_cast<double>(high)));
}

void PutUnsigned(QByteArray& z, int offset, double value, double scale) {
    PutU16(z, offset, Counts(value, scale, 0, 0xFFFF));
}

void PutSigned(QByteArray& z, int offset, double value, double scale) {
    PutU16(z, offset, Counts(value, scale, -0x8000, 0x7FFF));
}

void PutByte(QByteArray& z, int offset, double value, double scale) {
    z[offset] = static_cast<char>(Counts(value, scale, 0, 0xFF));
}

bool ValidCount(int n) {
    return n >= 1 && n <= 8;
}

} // namespace

// ---- Identity

QByteArray Identity::Bytes() const {
    QByteArray block = code.left(6);
    block.append(QByteArray(6 - block.size(), '\0'));
    block.append(descriptor.left(32));
    block.append(QByteArray(kIdentitySize - block.size(), ' '));
    return block;
}

std::optional<Identity> Identity::Parse(const QString& text) {
    static const QRegularExpression kVersion("^([0-9A-Fa-f]{2})\\.([0-9A-Fa-f]{2})$");
    static const QRegularExpression kDate(
        "^([0-9A-Fa-f]{2})/([0-9A-Fa-f]{2})/([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$");
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    if (words.size() < 2) {
        return std::nullopt;
    }
    const auto version = kVersion.match(words[0]);
    const auto date = kDate.match(words[1]);
    const QByteArray descriptor = words.mid(2).join(' ').toLatin1();
    if (!version.hasMatch() || !date.hasMatch() || descriptor.size() > 32) {
        return std::nullopt;
    }
    Identity identity;
    identity.code =
        QByteArray::fromHex(QString(version.captured(1) + version.captured(2) + date.captured(1) +
                                    date.captured(2) + date.captured(3) + date.captured(4))
                                .toLatin1());
    identity.descriptor = descriptor;
    return identity;
}

// ---- Construction and the wire

Ecu::Ecu(const EcuConfig& config)
    : config_(config), assembler_(config.requestGapUsec), mode_(config.mode),
      ram_(Memory::Factory()), errors_(kErrorBytes, '\0'),
      flash_(static_cast<int>(kFlashLast - kFlashFirst + 1), static_cast<char>(0xFF)) {
    SetFlashBytes(kIdentityAddress, config.identity.Bytes());
    SetMode(config.mode);
    saved_ = ram_;
}

void Ecu::Receive(const QByteArray& bytes, double nowUsec) {
    Step(nowUsec);
    for (const QByteArray& frame : assembler_.Push(bytes, nowUsec)) {
        HandleRequest(frame, nowUsec);
        if (hangUp_) {
            break; // the line is dead: whatever followed is lost
        }
    }
}

QByteArray Ecu::Transmit(double nowUsec) {
    Step(nowUsec);
    QByteArray out;
    while (!tx_.empty() && tx_.front().at <= nowUsec) {
        out.append(tx_.front().byte);
        tx_.pop_front();
    }
    return out;
}

double Ecu::NextTransmitUsec() const {
    return tx_.empty() ? std::numeric_limits<double>::infinity() : tx_.front().at;
}

std::optional<double> Ecu::TakeHangUp() {
    const std::optional<double> downtime = hangUp_;
    hangUp_.reset();
    return downtime;
}

void Ecu::HandleRequest(const QByteArray& frame, double nowUsec) {
    const quint8 command = ByteAt(frame, 3);
    commandLog_.append(command);
    const std::optional<Fault> fault = faults_.Take(command);
    const auto is = [&](FaultKind kind) { return fault && fault->kind == kind; };

    if (is(FaultKind::Silence)) {
        return;
    }
    if (is(FaultKind::HangUp)) {
        hangUp_ = fault->value;
        assembler_.Clear();
        tx_.clear();
        return;
    }

    Reply reply;
    if (XorOf(frame) != 0) {
        reply.status = kStatusBadChecksum;
    } else if (is(FaultKind::Status)) {
        reply.status = static_cast<quint8>(fault->value);
    } else {
        reply = Execute(command, RequestPayload(frame));
    }

    QByteArray bytes = BuildReply(command, reply.status, reply.data);
    const int last = static_cast<int>(bytes.size()) - 1;
    if (is(FaultKind::WrongEcho)) {
        bytes[3] = static_cast<char>(command + 1);
        bytes[last] = static_cast<char>(XorOf(bytes.left(last)));
    } else if (is(FaultKind::BadChecksum)) {
        bytes[last] = static_cast<char>(bytes[last] ^ 0x01);
    } else if (is(FaultKind::Garble)) { // past the length byte: the frame stays whole
        const int middle = std::max(3, last / 2);
        bytes[middle] = static_cast<char>(bytes[middle] ^ 0x5A);
    } else if (is(FaultKind::Noise)) {
        QByteArray noise;
        for (int i = 0; i < static_cast<int>(fault->value); ++i) {
            noise.append(kNoiseBytes[i % sizeof(kNoiseBytes)]);
        }
        bytes.prepend(noise);
    }
    const double ready = nowUsec + (config_.fast ? 0 : config_.processingUsec) +
                         (is(FaultKind::Delay) ? fault->value : 0);
    Queue(bytes, ready, is(FaultKind::Split) ? fault->value : 0);
}

void Ecu::Queue(QByteArray bytes, double readyUsec, double splitPauseUsec) {
    const double start = tx_.empty() ? readyUsec : std::max(readyUsec, tx_.back().at);
    const qsizetype split = bytes.size() / 2;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        double at = config_.fast ? start : start + static_cast<double>(i + 1) * kByteUsec;
        if (splitPauseUsec > 0 && i >= split) {
            at += splitPauseUsec;
        }
        tx_.push_back({at, bytes[i]});
    }
}

// ---- Commands

Ecu::Reply Ecu::Execute(quint8 command, const QByteArray& payload) {
    switch (command) {
    case CMD_GET_ECO:
        return {kStatusDone, {}}; // the echo and the status say all
    case CMD_GET_ADR_VAR: {
        QByteArray addresses;
        for (int i = 0; i < kVariableAddresses; ++i) {
            addresses.append(static_cast<char>(0x20 + i));
        }
        return {kStatusDone, addresses};
    }
    case CMD_READ_MEM_ZONE:
        return ReadMemZone(payload);
    case CMD_SET_ECU_SLAVE:
        return SetModeCommand(EcuMode::Slave);
    case CMD_SET_ECU_RUN:
        return SetModeCommand(EcuMode::Run);
    case CMD_SET_ECU_PRG:
        return SetModeCommand(EcuMode::Prg);
    case CMD_ERASE_FLASH:
        return EraseFlash();
    case CMD_WRT_FLASH_ZONE:
        return WriteFlashZone(payload);
    case CMD_WRT_FLASH_END:
        return WriteFlashEnd();
    case CMD_READ_MEM1:
        return {kStatusDone, LiveRecord()};
    case CMD_READ_MEM2:
        return {kStatusDone, Zone2()};
    case CMD_WRT_MEM2:
        if (payload.size() != kZone2Size) {
            return {kStatusNotExecuted, {}};
        }
        WriteZone2(payload);
        return {};
    case CMD_READ_TBL_COR:
        return ReadCorrection(payload);
    case CMD_WRT_TBL_COR:
        return WriteCorrection(payload);
    case CMD_CANC_ERR:
        errors_.fill('\0');
        return {};
    case CMD_SAVE_FLASH:
        saved_ = ram_;
        return {};
    case CMD_READ_ERR:
        return {kStatusDone, errors_};
    case CMD_READ_SMPL_BNZ:
        return ReadSamples(Fuel::Petrol, 0);
    case CMD_READ_SMPL_BNZ1:
        return ReadSamples(Fuel::Petrol, 1);
    case CMD_READ_SMPL_GAS:
        return ReadSamples(Fuel::Gas, 0);
    case CMD_READ_SMPL_GAS1:
        return ReadSamples(Fuel::Gas, 1);
    case CMD_CANC_SMPL_BNZ:
        Samples(Fuel::Petrol).clear();
        return {};
    case CMD_CANC_SMPL_GAS:
        Samples(Fuel::Gas).clear();
        return {};
    case CMD_READ_FIRMWARE:
        return {kStatusDone, IdentityBytes()};
    case CMD_READ_EMUS_FL:
        return {kStatusDone, saved_.emulation};
    default: {
        Reply reply{kStatusNotExecuted, {}};
        ExecuteZone(command, payload, reply);
        return reply;
    }
    }
}

bool Ecu::ExecuteZone(quint8 command, const QByteArray& payload, Reply& reply) {
    for (const ZoneCommand& z : kZoneCommands) {
        if (command == z.read) {
            reply = {kStatusDone, ram_.*z.zone};
            return true;
        }
        if (command == z.write) {
            if (payload.size() == z.size) {
                ram_.*z.zone = payload;
                reply = {};
            }
            return true;
        }
    }
    return false;
}

Ecu::Reply Ecu::SetModeCommand(EcuMode mode) {
    SetMode(mode);
    return {};
}

void Ecu::SetMode(EcuMode mode) {
    mode_ = mode;
    ram_.zone2[kZ2RunState] = mode == EcuMode::Slave ? 1 : 0;
}

QByteArray Ecu::Zone2() const {
    QByteArray z = ram_.zone2;
    z[kZ2RunState] = mode_ == EcuMode::Slave ? 1 : 0;
    return z;
}

// Byte 0 and the flags are the program's; fuel and run state are the ECU's own. The
// hour counters belong to the ECU too: only the reset request (all ones) changes them.
void Ecu::WriteZone2(const QByteArray& payload) {
    ram_.zone2[kZ2ModeReq] = payload[kZ2ModeReq];
    for (const int hours : {kZ2HoursGas, kZ2HoursPetrol}) {
        if (GetU32(payload, hours) == 0xFFFFFFFFu) {
            PutU32(ram_.zone2, hours, 0);
        }
    }
    ram_.zone2[kZ2Flags] = payload[kZ2Flags];
    PutU16(ram_.zone2, kZ2SwitchPeriod, GetU16(payload, kZ2SwitchPeriod));
}

Ecu::Reply Ecu::ReadMemZone(const QByteArray& payload) const {
    if (payload.size() != 5) {
        return {kStatusNotExecuted, {}};
    }
    quint32 address = 0; // most significant byte first
    for (int i = 0; i < 4; ++i) {
        address = address << 8 | ByteAt(payload, i);
    }
    const int count = ByteAt(payload, 4);
    if (address < kFlashFirst || address + count > kFlashLast + 1) {
        return {kStatusNotExecuted, {}};
    }
    return {kStatusDone, FlashBytes(address, count)};
}

Ecu::Reply Ecu::ReadCorrection(const QByteArray& payload) const {
    const int start = ByteAt(payload, 0);
    const int count = ByteAt(payload, 1);
    if (payload.size() != 2 || count < 1 || 2 * count > 250 || start + count > kCorrectionCells) {
        return {kStatusNotExecuted, {}};
    }
    return {kStatusDone, ram_.correction.mid(2 * start, 2 * count)};
}

Ecu::Reply Ecu::WriteCorrection(const QByteArray& payload) {
    const int start = ByteAt(payload, 0);
    const int count = ByteAt(payload, 1);
    if (payload.size() != 2 + 2 * count || count < 1 || start + count > kCorrectionCells) {
        return {kStatusNotExecuted, {}};
    }
    ram_.correction.replace(2 * start, 2 * count, payload.mid(2));
    return {};
}

// Byte 0: how many points the fuel holds; then 30 points (time, pressure) of the part.
Ecu::Reply Ecu::ReadSamples(Fuel fuel, int part) const {
    const QList<Sample>& points = samples_[static_cast<int>(fuel)];
    QByteArray data(1 + 30 * 4, '\0');
    data[0] = static_cast<char>(std::min<qsizetype>(points.size(), kSamplesPerFuel));
    for (int k = 0; k < 30; ++k) {
        const int index = 30 * part + k;
        if (index < points.size()) {
            PutU16(data, 1 + 4 * k, points[index].time);
            PutU16(data, 3 + 4 * k, points[index].pressure);
        }
    }
    return {kStatusDone, data};
}

// Erasing wipes the parameters kept in flash too: after the restart the ECU runs on its
// factory parameters until the program writes its own back. The service-hour counters
// live apart from the program flash and stay.
Ecu::Reply Ecu::EraseFlash() {
    if (mode_ != EcuMode::Prg && mode_ != EcuMode::FlashWrt) {
        return {kStatusNotExecuted, {}};
    }
    flash_.fill(static_cast<char>(0xFF));
    const QByteArray hours = ram_.zone2.mid(kZ2HoursGas, kZ2Flags - kZ2HoursGas);
    saved_ = Memory::Factory();
    saved_.zone2.replace(kZ2HoursGas, hours.size(), hours);
    mode_ = EcuMode::FlashWrt;
    return {};
}

// Payload: 0x00, a 24-bit address (most significant byte first), 128 bytes. Only after
// an erase, inside the flash, and never asking a 0 bit to become 1 again.
Ecu::Reply Ecu::WriteFlashZone(const QByteArray& payload) {
    if (mode_ != EcuMode::FlashWrt || payload.size() != 4 + kFlashBlock || payload[0] != 0) {
        return {kStatusNotExecuted, {}};
    }
    const quint32 address = ByteAt(payload, 1) << 16 | ByteAt(payload, 2) << 8 | ByteAt(payload, 3);
    if (address < kFlashFirst || address + kFlashBlock - 1 > kFlashLast) {
        return {kStatusNotExecuted, {}};
    }
    const QByteArray block = payload.mid(4);
    const QByteArray old = FlashBytes(address, kFlashBlock);
    for (int i = 0; i < kFlashBlock; ++i) {
        if (static_cast<quint8>(block[i]) & ~static_cast<quint8>(old[i])) {
            return {kStatusNotExecuted, {}};
        }
    }
    SetFlashBytes(address, block);
    return {};
}

// The ECU restarts from its flash: parameters from the saved copy, identity from the
// new image.
Ecu::Reply Ecu::WriteFlashEnd() {
    if (mode_ != EcuMode::Prg && mode_ != EcuMode::FlashWrt) {
        return {kStatusNotExecuted, {}};
    }
    ram_ = saved_;
    ram_.zone2[kZ2FuelState] = static_cast<char>(kFuelPetrol);
    switchingIn_ = false;
    SetMode(EcuMode::Run);
    return {};
}

// ---- Flash

QByteArray Ecu::FlashBytes(quint32 address, int count) const {
    QByteArray bytes(std::max(count, 0), static_cast<char>(0xFF));
    for (int i = 0; i < count; ++i) {
        const quint32 a = address + static_cast<quint32>(i);
        if (a >= kFlashFirst && a <= kFlashLast) {
            bytes[i] = flash_[static_cast<int>(a - kFlashFirst)];
        }
    }
    return bytes;
}

bool Ecu::SetFlashBytes(quint32 address, const QByteArray& bytes) {
    if (address < kFlashFirst || address + bytes.size() > kFlashLast + 1) {
        return false;
    }
    flash_.replace(static_cast<int>(address - kFlashFirst), bytes.size(), bytes);
    return true;
}

// ---- The model in time

void Ecu::Step(double nowUsec) {
    const auto follow = [&](double atUsec) {
        if (config_.animated) {
            engine_ = DriveCycle((atUsec - originUsec_) / 1e6);
        }
    };
    if (!started_) {
        started_ = true;
        originUsec_ = lastStepUsec_ = nowUsec;
        nextTickUsec_ = nowUsec + kTickUsec;
        follow(nowUsec);
        return;
    }
    if (nowUsec <= lastStepUsec_) {
        return;
    }
    nextTickUsec_ = std::max(nextTickUsec_, nowUsec - kMaxCatchUpUsec);
    while (nextTickUsec_ <= nowUsec) {
        follow(nextTickUsec_);
        Tick();
        nextTickUsec_ += kTickUsec;
    }
    follow(nowUsec);
    lastStepUsec_ = nowUsec;
}

void Ecu::Tick() {
    ++ticks_;
    if (ticks_ % kFuelStepTicks == 0) {
        StepFuelState();
    }
    if (ticks_ % kCylinderStepTicks == 0) {
        StepCylinders();
    }
    if (ticks_ % kSampleTicks == 0) {
        CollectSample();
    }
    if (engine_.key && engine_.rpm > 0) {
        const int fuel = FuelState() == kFuelGas ? 1 : 0;
        runSeconds_[fuel] += kTickUsec / 1e6;
        if (runSeconds_[fuel] >= kSecondsPerHour) {
            runSeconds_[fuel] -= kSecondsPerHour;
            const int offset = fuel ? kZ2HoursGas : kZ2HoursPetrol;
            PutU32(ram_.zone2, offset, GetU32(ram_.zone2, offset) + 1);
        }
    }
}

int Ecu::FuelState() const {
    return ByteAt(ram_.zone2, kZ2FuelState);
}

// Gas is taken when requested with the engine running, at once in slave mode, in run
// mode once the reducer has reached the change-over temperature. States 1 and 2 are the
// change-over in progress.
void Ecu::StepFuelState() {
    const bool running = engine_.key && engine_.rpm > 0;
    const bool warm = engine_.reducerTempC >= GetU16(ram_.zone3, kZ3SwitchTemp) * kTempC;
    const bool wantGas =
        ByteAt(ram_.zone2, kZ2ModeReq) == kFuelGas && running && (mode_ == EcuMode::Slave || warm);
    const int state = FuelState();
    if (!wantGas) {
        if (state == kFuelGas) {
            for (int i = 0; i < 8; ++i) { // back on petrol: cylinders on gas become enabled
                if (ByteAt(ram_.zone3, kZ3CylState + i) == 3) {
                    ram_.zone3[kZ3CylState + i] = 1;
                }
            }
        }
        ram_.zone2[kZ2FuelState] = static_cast<char>(kFuelPetrol);
        switchingIn_ = false;
        return;
    }
    if (state < kFuelGas) {
        ram_.zone2[kZ2FuelState] = static_cast<char>(state + 1);
        switchingIn_ = state + 1 == kFuelGas;
    } else if (state > kFuelGas) {
        ram_.zone2[kZ2FuelState] = static_cast<char>(kFuelGas);
    }
}

// On gas, a cylinder asked to go on gas (2) gets there at the next step; right after a
// change-over the enabled ones (1) follow, one per step.
void Ecu::StepCylinders() {
    if (FuelState() != kFuelGas) {
        return;
    }
    for (int cyl = 0; cyl < 8; ++cyl) {
        const int offset = kZ3CylState + 7 - cyl;
        const quint8 state = ByteAt(ram_.zone3, offset);
        if (state == 2 || (switchingIn_ && state == 1)) {
            ram_.zone3[offset] = 3;
            return;
        }
    }
    switchingIn_ = false;
}

void Ecu::CollectSample() {
    const quint8 flags = ByteAt(ram_.zone2, kZ2Flags);
    const double low = ByteAt(ram_.zone3, kZ3BandLow) * 100.0;
    const double high = ByteAt(ram_.zone3, kZ3BandHigh) * 100.0;
    if (!(flags & kFlagVacuumAcq) || !engine_.key || engine_.rpm <= 0 || engine_.rpm < low ||
        engine_.rpm > high) {
        return;
    }
    const bool gas = FuelState() == kFuelGas;
    QList<Sample>& points = Samples(gas ? Fuel::Gas : Fuel::Petrol);
    if (points.size() >= kSamplesPerFuel) {
        return;
    }
    const double timeMs = engine_.petrolMs + (gas ? engine_.gasDeltaMs : 0);
    points.append({static_cast<quint16>(Counts(timeMs, kTimeInjMs, 0, 0xFFFF)),
                   static_cast<quint16>(Counts(engine_.press2Mbar, kMapInMbar, 0, 0xFFFF))});
}

// ---- The live record

double Ecu::SetPetrolMs(int injector) const {
    const int cylinders = ByteAt(ram_.zone3, kZ3Cilindri);
    if (!engine_.key || engine_.rpm <= 0 || injector >= (ValidCount(cylinders) ? cylinders : 4)) {
        return 0;
    }
    return engine_.petrolMs * (1 + 0.03 * std::sin(1.7 * injector)); // injectors differ a little
}

// On gas the ECU's mixture control moves the petrol time by what the gas injection
// lacks: the target less the correction of the set time's cell.
double Ecu::InjectorPetrolMs(int injector) const {
    const double set = SetPetrolMs(injector);
    if (set <= 0 || FuelState() != kFuelGas) {
        return set;
    }
    return std::max(0.0, set + engine_.targetMs - CorrectionMs(set));
}

bool Ecu::OnGas(int injector) const {
    const quint8 state = ByteAt(ram_.zone3, kZ3CylState + 7 - injector);
    return FuelState() == kFuelGas && (state == 3 || state == 4) && InjectorPetrolMs(injector) > 0;
}

double Ecu::InjectorGasMs(int injector) const {
    if (!OnGas(injector)) {
        return 0;
    }
    const double offsetMs = GetS16(ram_.zone3, kZ3CylTime + 2 * (7 - injector)) * kTimeInjMs;
    return InjectorPetrolMs(injector) + engine_.gasDeltaMs + offsetMs +
           CorrectionMs(SetPetrolMs(injector));
}

int CorrectionCellOf(double petrolMs) {
    const double cell = std::round(petrolMs / kCorrectionCellMs);
    return static_cast<int>(std::clamp(cell, 0.0, static_cast<double>(kLastCorrectionCell)));
}

double Ecu::CorrectionMs(double petrolMs) const {
    return ram_.CorrectionCell(CorrectionCellOf(petrolMs)) * kTimeInjMs;
}

int Ecu::RpmPeriod() const {
    if (!engine_.key || engine_.rpm < 1) {
        return 0;
    }
    const quint8 flags = ByteAt(ram_.zone2, kZ2Flags);
    double constant = kRpmClock;
    if (flags & kFlagRpmClock) {
        constant = flags & kFlagClockHalf ? kRpmClockHalf : kRpmClock;
    } else {
        const int coils = ByteAt(ram_.zone3, kZ3Bobine);
        const int cylinders = ByteAt(ram_.zone3, kZ3Cilindri);
        if (ValidCount(coils) && ValidCount(cylinders)) {
            constant = 240e6 * coils / (16.0 * cylinders);
        }
    }
    return Counts(constant, engine_.rpm, 1, 0xFFFF);
}

QByteArray Ecu::LiveRecord() const {
    QByteArray z(kZone1Size, '\0');
    for (int i = 0; i < 8; ++i) {
        const int slot = 2 * (7 - i); // injector 7 travels first
        const double petrol = InjectorPetrolMs(i);
        const double gas = InjectorGasMs(i);
        PutSigned(z, 0 + slot, gas, kTimeInjMs);
        PutUnsigned(z, 16 + slot, petrol, kTimeInjMs);
        PutUnsigned(z, 32 + slot, petrol, kTimeInjMs);
        PutSigned(z, 48 + slot, OnGas(i) ? gas - petrol : 0, kTimeInjMs);
    }
    PutU16(z, 64, RpmPeriod());
    PutUnsigned(z, 66, engine_.gasPressureMbar, kMapInMbar);
    PutUnsigned(z, 68, engine_.press2Mbar, kMapIn1Mbar);
    PutUnsigned(z, 70, engine_.lambda1V, kLambdaV);
    z[72] = static_cast<char>((engine_.key ? 1 : 0) | (engine_.leanStep & 0x0F) << 4);
    const bool gas = FuelState() == kFuelGas;
    z[73] = gas ? 1 : 0;
    z[74] = gas ? 1 : 0;
    PutByte(z, 75, engine_.levelCounts, 4);
    PutByte(z, 76, engine_.levelCounts, 4);
    PutSigned(z, 77, engine_.reducerTempC, kTempC);
    PutSigned(z, 79, engine_.gasTempC, kTemp1C);
    PutUnsigned(z, 81, engine_.supplyV, kSupplyV);
    PutU16(z, 83, engine_.levelLamps);
    PutUnsigned(z, 85, engine_.vacuumMbar, kMapIn1Mbar);
    PutUnsigned(z, 87, engine_.lambda2V, kLambdaV);
    PutByte(z, 89, engine_.lambda1V * 1000, kLambdaOutMv);
    PutByte(z, 90, engine_.lambda2V * 1000, kLambdaOutMv);
    return z;
}

} // namespace sim
