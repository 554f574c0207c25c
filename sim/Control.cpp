#include "sim/Control.h"

#include <QRegularExpression>
#include <QStringList>

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
};

struct ModeName {
    const char* name;
    EcuMode mode;
};

constexpr ModeName kModes[] = {{"run", EcuMode::Run},
                               {"slave", EcuMode::Slave},
                               {"prg", EcuMode::Prg},
                               {"flash", EcuMode::FlashWrt}};

bool Fail(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
    return false;
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

} // namespace

bool ApplyControlLine(Ecu& ecu, const QString& line, QString* error) {
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith('#')) {
        return true;
    }
    static const QRegularExpression kBlanks("\\s+");
    const QStringList words = text.split(kBlanks, Qt::SkipEmptyParts);
    const QString verb = words[0].toLower();
    if (verb == "clear" && words.size() == 1) {
        ecu.ClearFaults();
        return true;
    }
    if (verb == "set") {
        return ApplySet(ecu, words, error);
    }
    if (verb == "error") {
        return ApplyError(ecu, words, error);
    }
    if (verb == "mode") {
        return ApplyMode(ecu, words, error);
    }
    const std::optional<Fault> fault = ParseFault(text, error);
    if (!fault) {
        return false;
    }
    ecu.AddFault(*fault);
    return true;
}

QString ControlHelp() {
    QString help = "  <fault>               a fault, as for --fault\n"
                   "  clear                 drop every scripted fault\n"
                   "  set key 0|1           ignition key (stops the drive cycle)\n"
                   "  set animate 0|1       drive cycle on or off\n"
                   "  error CODE STATE      error byte CODE (0..63) := STATE\n"
                   "  mode run|slave|prg|flash\n"
                   "  set NAME VALUE        an engine value (stops the drive cycle):\n";
    for (const EngineField& f : kEngineFields) {
        help += QString("      %1%2\n").arg(QString::fromLatin1(f.name), -13).arg(f.unit);
    }
    return help;
}

} // namespace sim
