#include "sim/Control.h"

#include "sim/Scales.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <cmath>

namespace sim {

namespace {

struct EngineField {
    const char* name;
    double EngineState::*field;
    const char* unit;
};

constexpr EngineField kEngineFields[] = {
    {"rpm", &EngineState::rpm, "rpm"},
    {"petrol", &EngineState::petrolMs, "ms petrol injection time"},
    {"delta", &EngineState::gasDeltaMs, "ms gas minus petrol time"},
    {"gaspressure", &EngineState::gasPressureMbar, "mbar"},
    {"press2", &EngineState::press2Mbar, "mbar"},
    {"vacuum", &EngineState::vacuumMbar, "mbar manifold pressure"},
    {"reducer", &EngineState::reducerTempC, "degrees C"},
    {"gastemp", &EngineState::gasTempC, "degrees C"},
    {"supply", &EngineState::supplyV, "V"},
    {"lambda1", &EngineState::lambda1V, "V"},
    {"lambda2", &EngineState::lambda2V, "V"},
    {"level", &EngineState::levelCounts, "counts 0..1020"},
    {"target", &EngineState::targetMs, "ms: on gas petrol time + target - correction"},
};

struct ModeName {
    const char* name;
    EcuMode mode;
};

constexpr ModeName kModes[] = {{"run", EcuMode::Run},
                               {"slave", EcuMode::Slave},
                               {"prg", EcuMode::Prg},
                               {"flash", EcuMode::FlashWrt}};

// The blocks of Memory, by the names the dump and the poke lines use.
struct MemoryBlock {
    const char* name;
    QByteArray Memory::*field;
};

constexpr MemoryBlock kBlocks[] = {
    {"zone2", &Memory::zone2},
    {"zone3", &Memory::zone3},
    {"emulation", &Memory::emulation},
    {"compGasTemp", &Memory::compGasTemp},
    {"compRidTemp", &Memory::compRidTemp},
    {"compPress", &Memory::compPress},
    {"compSmag", &Memory::compSmag},
    {"correction", &Memory::correction},
    {"testRecord", &Memory::testRecord},
};

constexpr char kSavedPrefix[] = "saved.";

bool Fail(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
    return false;
}

// The byte image a dump or poke name stands for: a RAM block ("zone3"), its saved copy
// ("saved.zone3") or the error bytes ("errors"); nullptr for any other name.
QByteArray* ImageNamed(Ecu& ecu, const QString& name) {
    if (name.compare("errors", Qt::CaseInsensitive) == 0) {
        return &ecu.ErrorBytes();
    }
    const bool saved = name.startsWith(kSavedPrefix, Qt::CaseInsensitive);
    const QString block = saved ? name.mid(int(sizeof kSavedPrefix) - 1) : name;
    for (const MemoryBlock& b : kBlocks) {
        if (block.compare(QLatin1String(b.name), Qt::CaseInsensitive) == 0) {
            return &((saved ? ecu.Saved() : ecu.Ram()).*b.field);
        }
    }
    return nullptr;
}

bool ApplySet(Ecu& ecu, const QStringList& words, QString* error) {
    bool ok = false;
    const double value = words.size() == 3 ? words[2].toDouble(&ok) : 0;
    if (!ok) {
        return Fail(error, "usage: set NAME VALUE");
    }
    const QString name = words[1].toLower();
    if (name == "animate") {
        ecu.SetAnimated(value != 0);
        return true;
    }
    if (name == "key") {
        ecu.SetAnimated(false);
        ecu.Engine().key = value != 0;
        return true;
    }
    if (name == "leanstep") {
        if (value < 0 || value > 15 || value != static_cast<int>(value)) {
            return Fail(error, "usage: set leanstep 0..15");
        }
        ecu.SetAnimated(false);
        ecu.Engine().leanStep = static_cast<int>(value);
        return true;
    }
    for (const EngineField& f : kEngineFields) {
        if (name == QLatin1String(f.name)) {
            ecu.SetAnimated(false);
            ecu.Engine().*f.field = value;
            return true;
        }
    }
    return Fail(error, QString("unknown value '%1'").arg(words[1]));
}

bool ApplyError(Ecu& ecu, const QStringList& words, QString* error) {
    bool okCode = false;
    bool okState = false;
    const int code = words.size() == 3 ? words[1].toInt(&okCode) : -1;
    const int state = words.size() == 3 ? words[2].toInt(&okState) : -1;
    if (!okCode || !okState || code < 0 || code >= kErrorBytes || state < 0 || state > 255) {
        return Fail(error, "usage: error CODE(0..63) STATE(0..255)");
    }
    ecu.ErrorBytes()[code] = static_cast<char>(state);
    return true;
}

// cell K COUNTS: cell K of the RAM correction table, in its wire unit (signed).
bool ApplyCell(Ecu& ecu, const QStringList& words, QString* error) {
    bool okCell = false;
    bool okCounts = false;
    const int cell = words.size() == 3 ? words[1].toInt(&okCell) : -1;
    const int counts = words.size() == 3 ? words[2].toInt(&okCounts) : 0;
    if (!okCell || !okCounts || cell < 0 || cell >= kCorrectionCells || counts < -32768 ||
        counts > 65535) {
        return Fail(error, "usage: cell K(0..191) COUNTS");
    }
    ecu.Ram().SetCorrectionCell(cell, counts);
    return true;
}

bool ApplyMode(Ecu& ecu, const QStringList& words, QString* error) {
    for (const ModeName& m : kModes) {
        if (words.size() == 2 &&
            words[1].compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            ecu.SetMode(m.mode);
            return true;
        }
    }
    return Fail(error, "usage: mode run|slave|prg|flash");
}

bool ApplyReconnect(Ecu& ecu, const QStringList& words, QString* error) {
    if (words.size() != 1) {
        return Fail(error, "usage: reconnect");
    }
    ecu.Reconnect();
    return true;
}

bool ApplyClear(Ecu& ecu, const QStringList& words, QString* error) {
    if (words.size() != 1) {
        return Fail(error, "usage: clear");
    }
    ecu.ClearFaults();
    return true;
}

// sample petrol|gas MS MBAR appends a point to that fuel's list (up to its 60 points);
// samples clear empties both lists.
bool ApplySample(Ecu& ecu, const QStringList& words, QString* error) {
    const QString fuel = words.value(1).toLower();
    bool okMs = false;
    bool okMbar = false;
    const double ms = words.value(2).toDouble(&okMs);
    const double mbar = words.value(3).toDouble(&okMbar);
    const double time = ms / kTimeInjMs;
    const double pressure = mbar / kMapInMbar;
    if (words.size() != 4 || (fuel != "petrol" && fuel != "gas") || !okMs || !okMbar || time < 0 ||
        time > 0xFFFF || pressure < 0 || pressure > 0xFFFF) {
        return Fail(error, "usage: sample petrol|gas MS MBAR");
    }
    QList<Sample>& points = ecu.Samples(fuel == "gas" ? Fuel::Gas : Fuel::Petrol);
    if (points.size() >= kSamplesPerFuel) {
        return Fail(error, "that fuel already holds 60 samples");
    }
    points.append(
        {static_cast<quint16>(std::lround(time)), static_cast<quint16>(std::lround(pressure))});
    return true;
}

bool ApplySamples(Ecu& ecu, const QStringList& words, QString* error) {
    if (words.size() != 2 || words[1].toLower() != "clear") {
        return Fail(error, "usage: samples clear");
    }
    ecu.Samples(Fuel::Petrol).clear();
    ecu.Samples(Fuel::Gas).clear();
    return true;
}

// BLOCK OFFSET HEX: the bytes into the image from the decimal offset; nothing is written
// unless all of them fit.
bool Poke(Ecu& ecu, const QString& block, const QStringList& args, QString* error) {
    QByteArray* image = ImageNamed(ecu, block);
    if (!image) {
        return Fail(error, QString("unknown block '%1'").arg(block));
    }
    bool ok = false;
    const int offset = args.size() == 2 ? args[0].toInt(&ok) : -1;
    static const QRegularExpression kHex("^([0-9A-Fa-f]{2})+$");
    if (!ok || offset < 0 || !kHex.match(args.value(1)).hasMatch()) {
        return Fail(error, QString("usage: %1 OFFSET HEX").arg(block));
    }
    const QByteArray bytes = QByteArray::fromHex(args[1].toLatin1());
    if (offset + bytes.size() > image->size()) {
        return Fail(error, QString("%1 holds %2 bytes").arg(block).arg(image->size()));
    }
    image->replace(offset, bytes.size(), bytes);
    return true;
}

bool ApplyPoke(Ecu& ecu, const QStringList& words, QString* error) {
    if (words.size() != 4) {
        return Fail(error, "usage: poke BLOCK OFFSET HEX");
    }
    return Poke(ecu, words[1], words.mid(2), error);
}

QByteArray SamplesHex(const QList<Sample>& samples) {
    QByteArray bytes;
    for (const Sample& s : samples) {
        QByteArray point(4, '\0');
        PutU16(point, 0, s.time);
        PutU16(point, 2, s.pressure);
        bytes += point;
    }
    return bytes.toHex().toUpper();
}

QString ModeText(EcuMode mode) {
    for (const ModeName& m : kModes) {
        if (m.mode == mode) {
            return m.name;
        }
    }
    return QString::number(static_cast<int>(mode));
}

// "flash ADDRESS HEX" for every 128-byte block of the flash that is not erased.
QByteArray FlashLines(const Ecu& ecu) {
    constexpr int kBlock = 128;
    QByteArray lines;
    for (quint32 address = kFlashFirst; address <= kFlashLast; address += kBlock) {
        const QByteArray block = ecu.FlashBytes(address, kBlock);
        if (block.count(static_cast<char>(0xFF)) != kBlock) {
            lines += "flash " + QByteArray::number(address, 16).toUpper().rightJustified(6, '0') +
                     ' ' + block.toHex().toUpper() + '\n';
        }
    }
    return lines;
}

bool ApplyDump(Ecu& ecu, const QStringList& words, QString* error) {
    if (words.size() != 2) {
        return Fail(error, "usage: dump PATH");
    }
    QByteArray text = "mode " + ModeText(ecu.Mode()).toLatin1() + '\n';
    for (const char* prefix : {"", kSavedPrefix}) {
        for (const MemoryBlock& b : kBlocks) {
            const QString name = QString(prefix) + b.name;
            text += name.toLatin1() + ' ' + ImageNamed(ecu, name)->toHex().toUpper() + '\n';
        }
    }
    text += "errors " + ecu.ErrorBytes().toHex().toUpper() + '\n';
    text += "samples.petrol " + SamplesHex(ecu.Samples(Fuel::Petrol)) + '\n';
    text += "samples.gas " + SamplesHex(ecu.Samples(Fuel::Gas)) + '\n';
    text += FlashLines(ecu);
    // Written whole and renamed into place, so a reader never sees half a dump.
    QSaveFile file(words[1]);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return Fail(error, QString("cannot write '%1'").arg(words[1]));
    }
    return true;
}

// The control lines by their first word. Add a line here, with its help text.
struct ControlVerb {
    const char* verb;
    bool (*apply)(Ecu&, const QStringList&, QString*);
    const char* help;
};

constexpr ControlVerb kVerbs[] = {
    {"clear", ApplyClear, "clear                 drop every scripted fault"},
    {"set", ApplySet,
     "set key 0|1           ignition key (stops the drive cycle)\n"
     "set leanstep N        leaning step 0..15, the live status byte's high nibble\n"
     "set animate 0|1       drive cycle on or off"},
    {"error", ApplyError, "error CODE STATE      error byte CODE (0..63) := STATE"},
    {"mode", ApplyMode, "mode run|slave|prg|flash"},
    {"reconnect", ApplyReconnect, "reconnect             a line hung up comes back at once"},
    {"cell", ApplyCell, "cell K COUNTS         correction cell K := COUNTS (signed)"},
    {"sample", ApplySample, "sample petrol|gas MS MBAR append a point to that fuel's samples"},
    {"samples", ApplySamples, "samples clear         empty both fuels' samples"},
    {"poke", ApplyPoke,
     "poke BLOCK OFFSET HEX bytes (two hex digits each) into a block of\n"
     "                      the dump from the decimal offset; BLOCK\n"
     "                      OFFSET HEX does the same (zone3 67 00)"},
    {"dump", ApplyDump,
     "dump PATH             rewrite PATH: one line NAME HEX for mode,\n"
     "                      each block in RAM and as saved.NAME\n"
     "                      (zone2, zone3,\n"
     "                      emulation, compGasTemp, compRidTemp,\n"
     "                      compPress, compSmag, correction, testRecord),\n"
     "                      errors, samples.petrol and samples.gas\n"
     "                      (time and pressure word per point), and\n"
     "                      flash ADDRESS HEX per 128-byte block of the\n"
     "                      flash that is not erased"},
};

} // namespace

bool ApplyControlLine(Ecu& ecu, const QString& line, QString* error) {
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith('#')) {
        return true;
    }
    static const QRegularExpression kBlanks("\\s+");
    const QStringList words = text.split(kBlanks, Qt::SkipEmptyParts);
    const QString verb = words[0].toLower();
    for (const ControlVerb& v : kVerbs) {
        if (verb == QLatin1String(v.verb)) {
            return v.apply(ecu, words, error);
        }
    }
    if (ImageNamed(ecu, words[0])) {
        return Poke(ecu, words[0], words.mid(1), error);
    }
    const std::optional<Fault> fault = ParseFault(text, error);
    if (!fault) {
        return false;
    }
    ecu.AddFault(*fault);
    return true;
}

QString ControlHelp() {
    QString help = "  <fault>               a fault, as for --fault\n";
    for (const ControlVerb& v : kVerbs) {
        for (const QString& line : QString(v.help).split('\n')) {
            help += "  " + line + '\n';
        }
    }
    help += "  set NAME VALUE        an engine value (stops the drive cycle):\n";
    for (const EngineField& f : kEngineFields) {
        help += QString("      %1%2\n").arg(QString::fromLatin1(f.name), -13).arg(f.unit);
    }
    return help;
}

} // namespace sim
