#include "calibration/OperatingMap.h"

#include "ecudata/EcuImages.h"
#include "support/Conversions.h"
#include "support/FileWriter.h"
#include "support/LineReader.h"
#include "support/ProgramTexts.h"

#include <QFile>
#include <algorithm>

namespace calibration {

namespace {

using support::RoundHalfEven;

constexpr double MinMaxY = 8.0;
constexpr double HeadRoomMs = 3.0;
constexpr double CellMs = 0.128;
constexpr int LastCorrectionCell = 157; // the cells above hold copies and the model

// The members in a point's order in the files.
constexpr MapArray MapSamples::*Fields[] = {&MapSamples::VacmBnz, &MapSamples::TinjBnz,
                                            &MapSamples::VacmGas, &MapSamples::TinjGas};

bool IsPressure(int field) {
    return field % 2 == 0;
}

QByteArray Quoted(const QString& text) {
    return '"' + text.toLocal8Bit() + "\"\r\n";
}

} // namespace

MapSamples MapSamples::From(const ecudata::EcuImages& images) {
    return {images.MapVacmBnz, images.MapTinjBnz, images.MapVacmGas, images.MapTinjGas};
}

void MapSamples::Into(ecudata::EcuImages& images) const {
    images.MapVacmBnz = VacmBnz;
    images.MapTinjBnz = TinjBnz;
    images.MapVacmGas = VacmGas;
    images.MapTinjGas = TinjGas;
}

double PressureStep(double mbar) {
    return RoundHalfEven(mbar / 20);
}

int MatchMapPoints(const MapSamples& samples, MapSamples& sel) {
    MapSamples w = samples;
    for (int i = 0; i < MapPointCount; ++i) {
        if (w.TinjBnz[i] <= 0) {
            continue;
        }
        const double step = PressureStep(w.VacmBnz[i]);
        int count = 1;
        double sumT = w.TinjBnz[i];
        double sumP = w.VacmBnz[i];
        for (int j = i + 1; j < MapPointCount; ++j) {
            if (w.TinjBnz[j] > 0 && PressureStep(w.VacmBnz[j]) == step) {
                sumT += w.TinjBnz[j];
                sumP += w.VacmBnz[j];
                w.TinjBnz[j] = 0;
                w.VacmBnz[j] = 0;
                ++count;
            }
        }
        w.TinjBnz[i] = sumT / count;
        w.VacmBnz[i] = sumP / count;
    }
    int pairs = 0;
    for (int i = 0; i < MapPointCount; ++i) {
        for (int j = 0; j < MapPointCount; ++j) {
            if (w.VacmBnz[i] > 0 && w.VacmGas[j] > 0 &&
                PressureStep(w.VacmBnz[i]) == PressureStep(w.VacmGas[j])) {
                ++pairs;
                break;
            }
        }
    }
    sel = w;
    return pairs;
}

bool AutoScaleMapY(const MapSamples& samples, double& maxY) {
    double m = 0;
    for (const MapArray* times : {&samples.TinjBnz, &samples.TinjGas}) {
        for (double t : *times) {
            m = std::max(m, t);
        }
    }
    if (m == 0) {
        return false; // an empty chart keeps its range
    }
    m = std::max(m, MinMaxY);
    if (maxY - HeadRoomMs <= m && m < maxY) {
        return false;
    }
    const double next = 2 * RoundHalfEven((m + 1) / 2);
    const bool changed = next != maxY;
    maxY = next;
    return changed;
}

QStringList BandItems(const QList<qint32>& low, const QList<qint32>& high) {
    QStringList items;
    for (qsizetype i = 0; i < low.size() && i < high.size(); ++i) {
        items << QStringLiteral("%1 - %2").arg(low[i]).arg(high[i]);
    }
    return items;
}

int SelectBand(const QList<qint32>& low, qint32 ecuBandLow, int itemCount) {
    int band = 0;
    for (qsizetype i = 0; i < low.size(); ++i) {
        if (ecuBandLow >= low[i]) {
            band = static_cast<int>(i);
        }
    }
    return band < itemCount ? band : 0;
}

Tone BandBeepTone(double rpm, qint32 low, qint32 high) {
    int d = 0;
    if (rpm < low + 100) {
        d = -100;
    }
    if (rpm > high - 100) {
        d = 100;
    }
    return {600 + d, static_cast<int>(RoundHalfEven(40 - d / 8.0))};
}

std::optional<double> ShownRpm(const QString& text) {
    return support::DataFileNumber(text);
}

Twips SampleLabelPos(const MapGeometry& map, double mbar, double ms, double w, double h) {
    const double x = std::clamp(mbar / 1000, 0.0, map.MaxX);
    const double y = std::clamp(ms, 0.0, map.MaxY);
    return {map.ScaleX * x + map.OrgX - w, map.OrgY - map.ScaleY * y - h};
}

Twips LivePointPos(const MapGeometry& map, double mbar, double ms, double w, double h) {
    const double x = std::min(mbar / 1000, map.MaxX);
    const double y = ms < map.MaxY ? ms : map.MaxY;
    return {map.ScaleX * x + map.OrgX - w, map.OrgY - map.ScaleY * y - h};
}

int CorrectionCell(double petrolMs) {
    const double cell = RoundHalfEven(petrolMs / CellMs);
    return static_cast<int>(std::clamp(cell, 0.0, double(LastCorrectionCell)));
}

std::vector<ChartPoint> MatchedPoints(const MapSamples& sel, const ecudata::TblCor& table) {
    std::vector<ChartPoint> points;
    for (int i = 0; i < MapPointCount; ++i) {
        if (sel.VacmBnz[i] <= 0) {
            continue;
        }
        const double tp = sel.TinjBnz[i];
        for (int j = 0; j < MapPointCount; ++j) {
            if (sel.VacmGas[j] > 0 &&
                PressureStep(sel.VacmBnz[i]) == PressureStep(sel.VacmGas[j])) {
                const double tg = sel.TinjGas[j];
                points.push_back({tp, tg >= 31 ? 31.0 : table[CorrectionCell(tp)] + tg});
            }
        }
    }
    return points;
}

Twips MatchedPointPos(const ModGeometry& mod, ChartPoint at, double w, double h) {
    const double x = std::clamp<double>(at.x, 0, mod.XMax());
    const double y = std::clamp<double>(at.y, 0, mod.YMax());
    return {mod.ScaleX * x + mod.OrgX - w, mod.OrgY - y * mod.ScaleY - h};
}

Twips MapSampleCellPos(int cell, double correction, double frameHeight) {
    return {CellMs * cell * 330 + 150, frameHeight - 120 * correction - 1500};
}

QByteArray MapFileText(const MapSamples& samples, const QString& decimalSep) {
    QByteArray text;
    for (int i = 0; i < MapPointCount; ++i) {
        for (auto field : Fields) {
            const double v = (samples.*field)[i];
            const QByteArray number = support::GeneralNumberText(v, decimalSep).toLatin1();
            text += (v < 0 ? "" : " ") + number + " \r\n";
        }
    }
    return text;
}

bool SaveMapFile(const QString& path, const MapSamples& samples, const QString& decimalSep,
                 QString* error) {
    return support::WriteWholeFile(path, MapFileText(samples, decimalSep), error);
}

namespace {

// The value of a .map line: an empty one reads 0, ",6" reads 0.6, either decimal mark
// reads; nothing for anything else.
std::optional<double> MapValue(const QByteArray& line, const QString& decimalSep) {
    const QString text = QString::fromLatin1(line).trimmed();
    if (text.isEmpty()) {
        return 0.0;
    }
    const std::optional<double> n = support::LocaleNumber(text, decimalSep);
    return n ? n : support::DataFileNumber(text);
}

// The upper end of a field's values, with its unit: what the ECU's own samples are held
// to.
std::pair<double, QString> FieldLimit(int field) {
    return IsPressure(field) ? std::pair{ecudata::MaxSampleMbar, QStringLiteral("mbar")}
                             : std::pair{ecudata::MaxSampleMs, QStringLiteral("ms")};
}

} // namespace

bool ParseMapFile(const QByteArray& text, MapSamples& samples, const QString& decimalSep,
                  QString* why) {
    QList<QByteArray> lines = text.split('\n');
    if (text.endsWith('\n')) {
        lines.removeLast();
    }
    const auto damaged = [why](int line, const QString& what) {
        if (why) {
            *why = support::Text(support::ProgramText::MapDamagedLine).arg(line).arg(what);
        }
        return false;
    };
    MapSamples read = samples;
    int next = 0;
    for (int i = 0; i < MapPointCount; ++i) {
        for (int f = 0; f < 4; ++f, ++next) {
            const std::optional<double> v =
                next < lines.size() ? MapValue(lines[next], decimalSep) : 0.0;
            if (!v) {
                return damaged(next + 1, support::Text(support::ProgramText::MapNoNumber));
            }
            // Held to the steps the ECU keeps; "-0" reads as 0.
            const double value =
                (IsPressure(f) ? RoundHalfEven(*v / 20) * 20 : RoundHalfEven(*v / 0.2) * 0.2) + 0.0;
            const auto [limit, unit] = FieldLimit(f);
            if (*v < 0 || value > limit) {
                return damaged(next + 1, support::Text(support::ProgramText::MapOutside)
                                             .arg(support::GeneralNumberText(*v, decimalSep))
                                             .arg(limit)
                                             .arg(unit));
            }
            (read.*Fields[f])[i] = value;
        }
    }
    samples = read;
    return true;
}

bool LoadMapFile(const QString& path, MapSamples& samples, const QString& decimalSep,
                 QString* why) {
    // Only the lines that hold values are read, each with a bound: a large foreign file
    // is judged by its first lines.
    support::LineReader file(path);
    if (!file.IsOpen()) {
        if (why) {
            *why = support::Text(support::ProgramText::MapUnreadable).arg(file.ErrorString());
        }
        return false;
    }
    QByteArray text;
    for (int n = 0; n < 4 * MapPointCount; ++n) {
        const std::optional<QByteArray> line = file.Next();
        if (!line) {
            break;
        }
        text += *line + '\n';
    }
    return ParseMapFile(text, samples, decimalSep, why);
}

QByteArray MapListText(const MapSamples& samples, const MapSamples& sel,
                       const QString& decimalSep) {
    const QString heading = QStringLiteral("X_VacmBnz | Y_TinjBnz | X_VacmGas(i) | Y_TinjGas(i)");
    const auto block = [&](const QString& title, const MapSamples& s) {
        QByteArray text = Quoted(title) + Quoted(heading);
        for (int i = 0; i < MapPointCount; ++i) {
            QStringList values;
            for (auto field : Fields) {
                values << support::GeneralNumberText((s.*field)[i], decimalSep);
            }
            text += Quoted(values.join(QStringLiteral(" | ")));
        }
        return text;
    };
    return block(QStringLiteral("Punti Mappati"), samples) + Quoted(QString()) +
           block(QStringLiteral("Punti Selezionati"), sel);
}

bool WriteMapList(const QString& path, const MapSamples& samples, const MapSamples& sel,
                  const QString& decimalSep) {
    return support::WriteWholeFile(path, MapListText(samples, sel, decimalSep));
}

} // namespace calibration
