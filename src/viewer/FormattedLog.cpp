#include "viewer/FormattedLog.h"

#include "support/Codepage.h"
#include "support/Conversions.h"
#include "support/FileWriter.h"

#include <QFile>
#include <cmath>

namespace viewer {

namespace {

constexpr qint64 RecordingTail = 50000;
constexpr int SampleFields = 12;

QString Whole(double value, const QString& sep) {
    return support::GeneralNumberText(std::floor(value), sep);
}

// Fills a sample from the fields of its line; False at the first field that is not a
// number.
bool FillSample(const QStringList& fields, Mem1Rec& m, const QString& sep) {
    std::array<double, SampleFields> v{};
    for (int i = 0; i < SampleFields; ++i) {
        const auto n = ReadNumber(i < fields.size() ? fields[i].trimmed() : QString(), sep);
        if (!n) {
            return false;
        }
        v[i] = *n;
    }
    m.TInjGas.fill(v[0] / 1000);
    m.TInjBenz.fill(v[1] / 1000);
    m.TInjAux[0] = v[2] / 1000;
    m.TInjGasBar[0] = v[3] / 1000;
    m.Rpm = v[4];
    m.PressGas = v[5];
    m.Vacuum = v[6];
    m.Lambda1 = static_cast<float>(v[7] / 1000);
    m.Level1 = static_cast<qint32>(support::RoundHalfEven(v[8]));
    m.Temp = v[9];
    m.Temp1 = v[10];
    m.Supply = v[11];
    return true;
}

} // namespace

FormattedLogLoad LoadFormattedLog(const QString& path, bool tailOnly, const QString& decimalSep,
                                  const std::function<void()>& progress) {
    FormattedLogLoad load;
    QFile file(path);
    if (!file.exists()) {
        return load;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        load.error = file.errorString();
        return load;
    }
    if (tailOnly && file.size() > RecordingTail) {
        file.seek(file.size() - RecordingTail);
    }
    const QStringList lines = support::DecodeCp1252(file.readAll()).split("\r\n");
    load.samples.clear();
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QString& line = lines[i];
        if (progress) {
            progress();
        }
        if (line.isEmpty()) {
            continue;
        }
        if (line.contains('|')) {
            Mem1Rec m;
            if (!FillSample(line.split('|'), m, decimalSep)) {
                load.error = line;
                break;
            }
            m.TimeStamp = load.TimeLast;
            load.samples.push_back(m);
            if (load.TimeFirst == 0) {
                load.TimeFirst = load.TimeLast;
            }
        } else if (line.startsWith('>') && line.size() >= 4) {
            const auto step = ReadNumber(line.mid(1).trimmed(), decimalSep);
            if (!step) {
                load.error = line;
                break;
            }
            load.TimeLast = static_cast<qint32>(ClampedMs(load.TimeLast + std::floor(*step)));
        }
    }
    if (load.samples.empty()) {
        load.samples.emplace_back();
    }
    return load;
}

QString ExportText(const Samples& samples, std::size_t count, int selInjector,
                   const std::array<QString, 8>& names, const QString& sep) {
    QString text = " # Time";
    for (const QString& name : names) {
        text += " # " + name;
    }
    text += "\r\n";
    const int inj = std::clamp(selInjector, 0, 7);
    const double t0 = samples.empty() ? 0 : samples.front().TimeStamp;
    for (std::size_t k = 0; k < count && k < samples.size(); ++k) {
        const Mem1Rec& m = samples[k];
        const QStringList items{support::GeneralNumberText(m.TimeStamp - t0, sep),
                                Rounded3Text(m.TInjGas[inj], sep),
                                Rounded3Text(m.TInjBenz[inj], sep),
                                Rounded3Text(m.Vacuum / 1000, sep),
                                Rounded3Text(m.PressGas / 1000, sep),
                                Rounded3Text(m.Lambda1, sep),
                                Whole(m.Rpm, sep),
                                Whole(m.Temp1, sep),
                                Whole(m.Temp, sep)};
        for (const QString& item : items) {
            text += " # " + item;
        }
        text += "\r\n";
    }
    return text;
}

bool WriteTextFile(const QString& path, const QString& text, QString& error) {
    return support::WriteWholeFile(path, support::EncodeCp1252(text), &error);
}

} // namespace viewer
