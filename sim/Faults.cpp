#include "sim/Faults.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace sim {

namespace {

struct KindInfo {
    FaultKind kind;
    const char* name;
    double defaultValue;
    const char* help;
};

constexpr KindInfo kKinds[] = {
    {FaultKind::Silence, "silence", 0, "request lost, no reply"},
    {FaultKind::Delay, "delay", 5e6, "reply value us late (default 5000000)"},
    {FaultKind::BadChecksum, "badchecksum", 0, "reply checksum wrong"},
    {FaultKind::WrongEcho, "wrongecho", 0, "reply names another command"},
    {FaultKind::Status, "status", 254, "not executed, reply status value (default 254)"},
    {FaultKind::Split, "split", 2e5, "reply pauses value us mid-frame (default 200000)"},
    {FaultKind::Garble, "garble", 0, "one reply byte corrupted"},
    {FaultKind::Noise, "noise", 3, "value garbage bytes before the reply (default 3)"},
    {FaultKind::HangUp, "hangup", 1e6, "line closed for value us (default 1000000)"},
};

const KindInfo& Info(FaultKind kind) {
    for (const KindInfo& info : kKinds) {
        if (info.kind == kind) {
            return info;
        }
    }
    return kKinds[0];
}

bool Fail(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
    return false;
}

bool ParseInt(const QString& text, int* value) {
    bool ok = false;
    *value = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                        : text.toInt(&ok, 10);
    return ok;
}

bool ApplyWord(const QString& word, Fault* fault, QString* error) {
    const int eq = static_cast<int>(word.indexOf('='));
    if (eq < 0) {
        return Fail(error, QString("'%1' is not key=value").arg(word));
    }
    const QString key = word.left(eq).toLower();
    const QString value = word.mid(eq + 1);
    if (key == "cmd") {
        if (!ParseInt(value, &fault->command) || fault->command < 0 || fault->command > 255) {
            return Fail(error, QString("bad command '%1'").arg(value));
        }
    } else if (key == "count") {
        if (value.compare("forever", Qt::CaseInsensitive) == 0) {
            fault->count = kForever;
        } else if (!ParseInt(value, &fault->count) || fault->count < 1) {
            return Fail(error, QString("bad count '%1'").arg(value));
        }
    } else if (key == "skip") {
        if (!ParseInt(value, &fault->skip) || fault->skip < 0) {
            return Fail(error, QString("bad skip '%1'").arg(value));
        }
    } else if (key == "value") {
        bool ok = false;
        fault->value = value.toDouble(&ok);
        if (!ok || fault->value < 0) {
            return Fail(error, QString("bad value '%1'").arg(value));
        }
    } else {
        return Fail(error, QString("unknown key '%1'").arg(key));
    }
    return true;
}

} // namespace

double DefaultFaultValue(FaultKind kind) {
    return Info(kind).defaultValue;
}

QString FaultKindName(FaultKind kind) {
    return QString::fromLatin1(Info(kind).name);
}

std::optional<Fault> ParseFault(const QString& text, QString* error) {
    static const QRegularExpression kSeparators("[\\s,]+");
    const QStringList words = text.split(kSeparators, Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        Fail(error, "empty fault");
        return std::nullopt;
    }
    Fault fault;
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindInfo& k) {
        return words[0].compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0;
    });
    if (kind == std::end(kKinds)) {
        Fail(error, QString("unknown fault '%1'").arg(words[0]));
        return std::nullopt;
    }
    fault.kind = kind->kind;
    for (int i = 1; i < words.size(); ++i) {
        if (!ApplyWord(words[i], &fault, error)) {
            return std::nullopt;
        }
    }
    if (fault.kind == FaultKind::Status && fault.value > 255) {
        Fail(error, "a status is a byte");
        return std::nullopt;
    }
    return fault;
}

QString FaultHelp() {
    QString help;
    for (const KindInfo& info : kKinds) {
        help += QString("  %1%2\n").arg(QString::fromLatin1(info.name), -13).arg(info.help);
    }
    return help;
}

std::optional<Fault> FaultScript::Take(int command) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->command != kAnyCommand && it->command != command) {
            continue;
        }
        if (it->skip > 0) {
            --it->skip; // this request passes untouched
            return std::nullopt;
        }
        Fault fault = *it;
        if (fault.value <= 0) {
            fault.value = DefaultFaultValue(fault.kind);
        }
        if (it->count != kForever && --it->count <= 0) {
            faults_.erase(it);
        }
        return fault;
    }
    return std::nullopt;
}

} // namespace sim
