#pragma once

// A model of the ECU's protocol engine and memory: the peer the program is tested
// against, in-process for unit tests and on a pseudo-terminal as lx735-sim.
//
// Time is the caller's: every call takes the current time in microseconds, so tests on
// a simulated clock and the real-time program drive the same model. Bytes from the
// program go in with Receive; a reply is produced once its whole request is in, and
// Transmit hands out the reply bytes that are on the wire by then, paced at 38400 baud
// (10 bits a byte) after a short processing delay, or all at once in fast mode.

#include "sim/Engine.h"
#include "sim/Faults.h"
#include "sim/Frame.h"
#include "sim/Memory.h"
#include "sim/Scales.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <optional>
#include <utility>

namespace sim {

enum class EcuMode : quint8 { Run = 0, Slave = 1, Prg = 2, FlashWrt = 3 };

enum class Fuel { Petrol = 0, Gas = 1 };

inline constexpr double kByteUsec = 10 * 1e6 / 38400; // one byte on the wire
inline constexpr int kSamplesPerFuel = 60;
// Correction cell k stands for petrol time k x 0.128 ms; cell 157 (20.096 ms) is the last
// the gas time uses.
inline constexpr double kCorrectionCellMs = 0.128;
inline constexpr int kLastCorrectionCell = 157;

// The correction cell of a petrol time: the nearest, at most the last one.
int CorrectionCellOf(double petrolMs);

// The firmware identity: 6 bytes VV vv DD MM YY YY (decimal digits as hex digits:
// version 01.12 of 14/04/2011 is 01 12 14 04 20 11) and the descriptor
// "<word1> <word2> <project code>", padded with blanks to 32 bytes.
struct Identity {
    QByteArray code = QByteArray::fromHex(kDefaultIdentityHex);
    QByteArray descriptor = kDefaultDescriptor;

    QByteArray Bytes() const; // the 38-byte block

    // "VV.vv DD/MM/YYYY WORD1 WORD2 WORD3", e.g. "01.12 14/04/2011 LX735 SEQGAS T468";
    // each two-digit group is taken as hex digits, so "0A.FF" gives a non-decimal
    // identity. Nothing on a malformed text.
    static std::optional<Identity> Parse(const QString& text);
};

struct EcuConfig {
    Identity identity;
    bool fast = false;              // replies at once instead of at the wire rate
    EcuMode mode = EcuMode::Run;    // mode at start
    bool animated = true;           // live values follow the drive cycle
    double processingUsec = 1000;   // paced: end of request to the reply's first byte
    double requestGapUsec = 100000; // a partial request silent this long is dropped
};

struct Sample {
    quint16 time = 0;     // injection time, counts of kTimeInjMs
    quint16 pressure = 0; // counts of kMapInMbar
};

class Ecu {
public:
    explicit Ecu(const EcuConfig& config = {});

    // ---- The wire.
    void Receive(const QByteArray& bytes, double nowUsec);
    QByteArray Transmit(double nowUsec);
    // When the next reply byte is due (infinity when none is queued).
    double NextTransmitUsec() const;
    // A hang-up fault closes the line: returns how long it stays dead (us), once.
    std::optional<double> TakeHangUp();
    // The "reconnect" control line: a line dead after a hang-up comes back at once, so a
    // test decides when the line is back instead of guessing a downtime.
    void Reconnect() { reconnect_ = true; }
    bool TakeReconnect() { return std::exchange(reconnect_, false); }
    void SetFast(bool fast) { config_.fast = fast; }

    // ---- Faults (see Faults.h).
    void AddFault(const Fault& fault) { faults_.Add(fault); }
    void ClearFaults() { faults_.Clear(); }
    int PendingFaults() const { return faults_.Size(); }

    // ---- State, for tests and the control file.
    // Moves the model (change-over, cylinder states, samples, hours) on to nowUsec;
    // Receive and Transmit do it themselves.
    void Step(double nowUsec);
    EcuMode Mode() const { return mode_; }
    void SetMode(EcuMode mode);
    Memory& Ram() { return ram_; }
    Memory& Saved() { return saved_; }
    QByteArray& ErrorBytes() { return errors_; } // 64 bytes, 0 = no error
    QList<Sample>& Samples(Fuel fuel) { return samples_[static_cast<int>(fuel)]; }
    EngineState& Engine() { return engine_; }
    void SetAnimated(bool animated) { config_.animated = animated; }
    bool Animated() const { return config_.animated; }
    int FuelState() const;
    // The stored correction the ECU adds to the gas time at this petrol time.
    double CorrectionMs(double petrolMs) const;
    // The 91 live bytes a CMD_READ_MEM1 would return now.
    QByteArray LiveRecord() const;
    // Flash contents; addresses outside the flash read 0xFF and are not written.
    QByteArray FlashBytes(quint32 address, int count) const;
    bool SetFlashBytes(quint32 address, const QByteArray& bytes);
    QByteArray IdentityBytes() const { return FlashBytes(kIdentityAddress, kIdentitySize); }
    void SetIdentity(const Identity& identity) {
        SetFlashBytes(kIdentityAddress, identity.Bytes());
    }
    // Command bytes of every whole request received, in order (bad checksums too).
    const QList<quint8>& CommandLog() const { return commandLog_; }
    void ClearCommandLog() { commandLog_.clear(); }

private:
    struct Reply {
        quint8 status = kStatusDone;
        QByteArray data;
    };
    struct TimedByte {
        double at;
        char byte;
    };

    void HandleRequest(const QByteArray& frame, double nowUsec);
    void Queue(QByteArray bytes, double readyUsec, double splitPauseUsec);
    Reply Execute(quint8 command, const QByteArray& payload);
    bool ExecuteZone(quint8 command, const QByteArray& payload, Reply& reply);
    Reply SetModeCommand(EcuMode mode);
    Reply ReadMemZone(const QByteArray& payload) const;
    Reply ReadCorrection(const QByteArray& payload) const;
    Reply WriteCorrection(const QByteArray& payload);
    Reply ReadSamples(Fuel fuel, int part) const;
    Reply EraseFlash();
    Reply WriteFlashZone(const QByteArray& payload);
    Reply WriteFlashEnd();
    void WriteZone2(const QByteArray& payload);
    QByteArray Zone2() const;
    void Tick();
    void StepFuelState();
    void StepCylinders();
    void CollectSample();
    double SetPetrolMs(int injector) const;
    double InjectorPetrolMs(int injector) const;
    double InjectorGasMs(int injector) const;
    bool OnGas(int injector) const;
    int RpmPeriod() const;

    EcuConfig config_;
    RequestAssembler assembler_;
    FaultScript faults_;
    std::deque<TimedByte> tx_;
    std::optional<double> hangUp_;
    bool reconnect_ = false;
    EcuMode mode_;
    Memory ram_;
    Memory saved_;
    QByteArray errors_;
    QByteArray flash_;
    QList<Sample> samples_[2];
    EngineState engine_;
    QList<quint8> commandLog_;

    bool started_ = false;
    double originUsec_ = 0;
    double lastStepUsec_ = 0;
    double nextTickUsec_ = 0;
    long long ticks_ = 0;
    bool switchingIn_ = false; // cylinders still to bring on gas after a change-over
    double runSeconds_[2] = {0, 0};
};

} // namespace sim
