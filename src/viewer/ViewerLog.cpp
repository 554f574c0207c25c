#include "viewer/ViewerLog.h"

#include "link/Frames.h"
#include "support/Codepage.h"
#include "support/Conversions.h"
#include "support/FileWriter.h"
#include "support/LineReader.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

const QByteArray LineEnd = "\r\n";
constexpr int MinSampleLine = 183;
constexpr int MinReplyHex = 182;
constexpr qint64 KgmSearchBytes = 1000;

// Blank-separated fields, at least count of them (missing ones empty).
QStringList Fields(const QString& line, int count) {
    QStringList fields = line.split(' ');
    while (fields.size() < count) {
        fields << QString();
    }
    return fields;
}

bool IsReadMem1Reply(const QStringList& f) {
    return f[1] == "R" && f[2].mid(6, 2) == "0C" && f[2].size() >= MinReplyHex;
}

// The hex digits at a 1-based position; nothing when the text ends first or they are
// not hex.
std::optional<uint> HexAt(const QString& hex, int position, int digits) {
    if (position - 1 + digits > hex.size()) {
        return std::nullopt;
    }
    bool ok = false;
    const uint v = hex.mid(position - 1, digits).toUInt(&ok, 16);
    return ok ? std::optional<uint>(v) : std::nullopt;
}

// A little-endian word: low byte first.
std::optional<uint> WordAt(const QString& hex, int position) {
    const auto low = HexAt(hex, position, 2);
    const auto high = HexAt(hex, position + 2, 2);
    if (!low || !high) {
        return std::nullopt;
    }
    return *high * 256 + *low;
}

std::optional<int> SignedWordAt(const QString& hex, int position) {
    const auto w = WordAt(hex, position);
    if (!w) {
        return std::nullopt;
    }
    return static_cast<qint16>(static_cast<quint16>(*w));
}

template <class T, class V> void Store(T& field, const std::optional<V>& raw, double scale) {
    if (raw) {
        field = static_cast<T>(*raw * scale);
    }
}

QString Unquoted(QString text) {
    text = text.trimmed();
    if (text.startsWith('"')) {
        text.remove(0, 1);
    }
    if (text.endsWith('"')) {
        text.chop(1);
    }
    return text;
}

// The time field of a log line: the number after the opening quote.
double LineTime(const QString& field0) {
    return ClampedMs(field0.mid(1).toDouble());
}

} // namespace

QString NumberLine(double value, const QString& decimalSep) {
    const QString text = support::GeneralNumberText(value, decimalSep);
    return (value >= 0 ? " " : "") + text + " ";
}

QString Rounded3Text(double value, const QString& decimalSep) {
    return support::GeneralNumberText(support::RoundHalfEven(value * 1000) / 1000, decimalSep);
}

double ClampedMs(double ms) {
    constexpr double low = std::numeric_limits<qint32>::min();
    constexpr double high = std::numeric_limits<qint32>::max();
    return std::isnan(ms) ? 0 : std::clamp(ms, low, high);
}

std::optional<double> ReadNumber(const QString& text, const QString& decimalSep) {
    if (auto v = support::LocaleNumber(text, decimalSep)) {
        return v;
    }
    return support::LocaleNumber(text, decimalSep == "," ? "." : ",");
}

LogKind ProbeLogKind(const QString& path) {
    // Bounded lines: a binary file without a line end is not read into memory whole.
    support::LineReader file(path);
    while (const auto raw = file.Next()) {
        const QString line = QString::fromLatin1(*raw);
        if (line.isEmpty()) {
            continue;
        }
        const QStringList f = Fields(line, 7);
        if (f[1].isEmpty() || f[2].isEmpty()) {
            continue;
        }
        if (f[1] == "T" && f[2].startsWith("4102")) {
            return LogKind::LinkLog;
        }
        if (f[1] == "|" && f[3] == "|") {
            return LogKind::FormattedLog;
        }
    }
    return LogKind::None;
}

double ReadLogKgm(const QString& path, const QString& decimalSep, QString& error) {
    double kgm = DefaultKgm;
    QFile file(path);
    if (!file.exists()) {
        return kgm;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return kgm;
    }
    while (!file.atEnd() && file.pos() <= KgmSearchBytes) {
        const QString line = support::DecodeCp1252(file.readLine()).remove('\r').remove('\n');
        const QString item = Unquoted(line);
        if (item == "[K_gm]") {
            const QString value = Unquoted(support::DecodeCp1252(file.readLine()));
            if (const auto v = ReadNumber(value, decimalSep)) {
                kgm = *v;
            }
            break;
        }
    }
    return kgm;
}

void DecodeReadMem1Frame(const QString& hex, Mem1Rec& m, const ecudata::ConfigScale& scale) {
    const double kInj = scale.K_Time_Inj_us;
    for (int k = 0; k < 8; ++k) {
        Store(m.TInjGas[7 - k], SignedWordAt(hex, 11 + 4 * k), kInj);
        Store(m.TInjBenz[7 - k], WordAt(hex, 43 + 4 * k), kInj);
        Store(m.TInjAux[7 - k], WordAt(hex, 75 + 4 * k), kInj);
        Store(m.TInjGasBar[7 - k], SignedWordAt(hex, 107 + 4 * k), kInj);
    }
    if (const auto period = WordAt(hex, 139)) {
        m.Rpm = *period > 0 ? scale.K_gm / *period : 0;
    }
    Store(m.PressGas, WordAt(hex, 143), scale.K_Map_In_mBar);
    Store(m.Press2, WordAt(hex, 147), scale.K_Map_In_1_mBar);
    Store(m.Lambda1, WordAt(hex, 151), LambdaStep);
    Store(m.StatusKey, HexAt(hex, 155, 2), 1);
    Store(m.StatusEv1, HexAt(hex, 157, 2), 1);
    Store(m.StatusEv2, HexAt(hex, 159, 2), 1);
    Store(m.Level1, HexAt(hex, 161, 2), 4);
    Store(m.Level2, HexAt(hex, 163, 2), 4);
    Store(m.Temp, SignedWordAt(hex, 165), scale.K_Temp_c);
    Store(m.Temp1, SignedWordAt(hex, 169), scale.K_Temp_1_c);
    Store(m.Supply, WordAt(hex, 173), scale.K_Supply_V);
    Store(m.LevelLamps, WordAt(hex, 177), 1);
    Store(m.Vacuum, WordAt(hex, 181), scale.K_Map_In_1_mBar);
    Store(m.Lambda2, WordAt(hex, 185), LambdaStep);
    constexpr float mvPerCount = 19.607843f;
    if (const auto b = HexAt(hex, 189, 2)) {
        m.LambdaOut1 = static_cast<qint32>(std::nearbyint(static_cast<float>(*b) * mvPerCount));
    }
    if (const auto b = HexAt(hex, 191, 2)) {
        m.LambdaOut2 = static_cast<qint32>(std::nearbyint(static_cast<float>(*b) * mvPerCount));
    }
}

PagePlace StepPage(qint64 pagePos, qint64 length, int direction) {
    PagePlace p;
    if (length <= PageSize) {
        return p;
    }
    // A position left from another file never reads beyond this one's end.
    p.PagePos = pagePos >= 1 && pagePos <= length ? pagePos : 1;
    if (direction > 0 && p.PagePos + PageSize < length) {
        p.PagePos += PageSize;
    } else if (direction < 0) {
        p.PagePos = p.PagePos - PageSize >= 1 ? p.PagePos - PageSize : 1;
    }
    p.Paged = true;
    p.NextEnabled = p.PagePos + PageSize < length;
    p.PrevEnabled = p.PagePos - PageSize >= 0;
    return p;
}

LinkLogLoad LoadLinkLog(const QString& path, qint64 pagePos, int direction,
                        const ecudata::ConfigScale& scale, const std::function<void()>& progress) {
    LinkLogLoad load;
    QFile file(path);
    if (!file.exists()) {
        return load;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        load.error = file.errorString();
        return load;
    }
    // The start time belongs to the whole file, whichever page is read.
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        if (raw.size() < MinSampleLine) {
            continue;
        }
        const QStringList f = Fields(QString::fromLatin1(raw).trimmed(), 3);
        if (IsReadMem1Reply(f)) {
            load.LogStartTime = static_cast<qint64>(LineTime(f[0]));
            break;
        }
    }
    const qint64 length = file.size();
    load.page = StepPage(pagePos, length, direction);
    file.seek(load.page.PagePos - 1);
    QList<QByteArray> lines = file.read(PageSize).split('\n');
    if (load.page.Paged && !lines.isEmpty()) {
        lines.first().clear(); // cut by the page's start
    }
    Samples& samples = load.samples;
    samples.clear();
    // The first element is the header or a cut line, the last one empty or cut.
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QByteArray& raw = lines[i];
        if (raw.size() < MinSampleLine) {
            continue;
        }
        QString line = QString::fromLatin1(raw);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        const QStringList f = Fields(line, 3);
        if (!IsReadMem1Reply(f)) {
            continue;
        }
        QString hex = f[2].chopped(1);
        const QByteArray bytes = support::HexToByteStr(hex);
        if (bytes.isEmpty() || comm::CalcCheckSum(bytes) != 0) {
            ++load.ChecksumErrors;
            continue;
        }
        Mem1Rec& rec = samples.emplace_back();
        DecodeReadMem1Frame(f[2], rec, scale);
        rec.TimeStamp = LineTime(f[0]);
        load.TimeLast = static_cast<qint32>(std::nearbyint(rec.TimeStamp));
        if (load.TimeFirst == 0) {
            load.TimeFirst = load.TimeLast;
        }
        if (progress) {
            progress();
        }
    }
    if (samples.empty()) {
        samples.emplace_back();
    }
    return load;
}

bool CleanLogRxTx(const QString& path, QString& error) {
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    bool changed = false;
    QByteArray next;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray tag = Fields(QString::fromLatin1(lines[i]), 3)[1].toLatin1();
        next = Fields(QString::fromLatin1(lines[i + 1]), 3)[1].toLatin1();
        if (tag == next) {
            lines[i].clear();
            changed = true;
        }
    }
    if (!changed) {
        return true;
    }
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        if (!line.isEmpty()) {
            bytes += line + LineEnd;
        }
    }
    return support::WriteWholeFile(path, bytes, &error);
}

bool WriteRecordingLog(const QString& path, const QString& header, double kgm,
                       const QString& decimalSep, QString* why) {
    const QString text = '"' + header + "\"\r\n\"[K_gm]\"\r\n" + NumberLine(kgm, decimalSep) +
                         "\r\n\"[K_Lambda]\"\r\n" +
                         NumberLine(static_cast<float>(LambdaStep), decimalSep) + "\r\n";
    return support::WriteWholeFile(path, support::EncodeCp1252(text), why);
}

} // namespace viewer
