#pragma once

// The link log as the signal viewer writes and reads it: the header the viewer starts a
// recording with, the kind of a file (link log or formatted log), the clock constant of
// its header, the CMD_READ_MEM1 replies decoded into samples one page of 3,000,000 bytes
// at a time, and the cleaning of a saved recording.

#include "ecudata/ConfigScale.h"
#include "ecudata/LiveData.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace viewer {

using ecudata::Mem1Rec;
using Samples = std::vector<Mem1Rec>;

enum class LogKind { None, LinkLog, FormattedLog };

inline constexpr qint64 PageSize = 3000000;
inline constexpr double DefaultKgm = 15000000.0;
inline constexpr double LambdaStep = 0.0048828125;

// The first deciding line wins: a sent frame beginning "4102" makes a link log, a line
// with "|" as its second and fourth blank-separated fields a formatted log.
LogKind ProbeLogKind(const QString& path);

// The clock constant of the "[K_gm]" pair within the first 1000 bytes; DefaultKgm when
// the file has none or its value is not a number. error is set when the file cannot be
// read.
double ReadLogKgm(const QString& path, const QString& decimalSep, QString& error);

// Decodes the hex text of one reply (the log's third field) into rec by hex position;
// a field beyond the end of the text or not hex is left as it stands.
void DecodeReadMem1Frame(const QString& hex, Mem1Rec& rec, const ecudata::ConfigScale& scale);

// The page of a file of length bytes after a step (0 stay, 1 next, -1 previous).
struct PagePlace {
    qint64 PagePos = 1;
    bool Paged = false; // the file is larger than one page
    bool NextEnabled = false;
    bool PrevEnabled = false;
};
PagePlace StepPage(qint64 pagePos, qint64 length, int direction);

struct LinkLogLoad {
    Samples samples{Mem1Rec{}};
    qint32 TimeFirst = 0;
    qint32 TimeLast = 0;
    qint64 LogStartTime = 0;
    int ChecksumErrors = 0;
    PagePlace page;
    QString error; // "" when the file was read
};

// Decodes the samples of a link log, or of the page that StepPage gives, with the
// scale's constants (K_gm included). progress runs once per decoded sample.
LinkLogLoad LoadLinkLog(const QString& path, qint64 pagePos, int direction,
                        const ecudata::ConfigScale& scale,
                        const std::function<void()>& progress = {});

// Drops each line whose tag (second field) equals the next line's, and then the empty
// lines; the file is rewritten whole, and only when a line was dropped. False with error
// set when it cannot be read or written.
bool CleanLogRxTx(const QString& path, QString& error);

// The log a recording writes into: the header line, then the "[K_gm]" and "[K_Lambda]"
// pairs, each line quoted. False when it cannot be written, with why set to the reason
// (the old log stays).
bool WriteRecordingLog(const QString& path, const QString& header, double kgm,
                       const QString& decimalSep, QString* why = nullptr);

// A number on its own line: a blank before it when not negative and one after it.
QString NumberLine(double value, const QString& decimalSep);

// A measured value as the readouts and the text export show it: rounded to three
// decimals (halves to even), in the default text form without trailing zeros.
QString Rounded3Text(double value, const QString& decimalSep);

// A number read with the locale's mark or the other one (".", ","), blanks ignored.
std::optional<double> ReadNumber(const QString& text, const QString& decimalSep);

// A time in ms kept within the qint32 range of the store's first and last times and the
// slider (NaN reads 0): a huge time or time step stops at the end instead of wrapping.
double ClampedMs(double ms);

} // namespace viewer
