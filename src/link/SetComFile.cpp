// The port-settings file: thirteen pairs of a marker line and one value line, written
// in a fixed order, read back in any order.

#include "link/ClsComm.h"

#include "support/Codepage.h"
#include "support/Conversions.h"
#include "support/ErrorBox.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace comm {

namespace {

const QString DefaultSetport = "38400,N,8,1";
const QString DefaultTitolo = "Default Setting";
constexpr double DefaultAttesaByteTx = 500;
constexpr double DefaultAttesaGlobale = 4000000;
constexpr double DefaultMolAttesaGlobale = 500;
constexpr double DefaultIdle = 100000;
constexpr qint16 DefaultNumReSend = 10;
constexpr qint16 DefaultComPort = 1;

// The keys in the order the file is written.
enum Key {
    KeySetport,
    KeyComport,
    KeyMemoPath,
    KeyTitolo,
    KeyAttesaByteTx,
    KeyAttesaGlobale,
    KeyMolAttesaGlobale,
    KeyIdle,
    KeyNumResend,
    KeyUsbCom,
    KeySearchCom,
    KeyDcbFBitFields,
    KeyLogPoint,
    KeyCount
};

constexpr std::array<const char*, KeyCount> Markers = {
    "[Setport]",          "[Comport]",           "[MemoPath]",
    "[Titolo]",           "[AttesaByteTx_usec]", "[AttesaGlobale_usec]",
    "[MolAttesaGlobale]", "[Idle_usec]",         "[NumResend]",
    "[UsbCom]",           "[SearchCom]",         "[DCB_fBitFields]",
    "[LogPoint]"};

// Run-time error numbers of the settings reader, with their descriptions.
constexpr qint64 ErrOverflow = 6;
constexpr qint64 ErrTypeMismatch = 13;
constexpr qint64 ErrInputPastEnd = 62;

QString ErrorDescription(qint64 number) {
    switch (number) {
    case ErrOverflow:
        return "Overflow";
    case ErrTypeMismatch:
        return "Type mismatch";
    default:
        return "Input past end of file";
    }
}

void ReportReadError(qint64 number) {
    support::ShowErrorBox("ReadSetCom_Err" + QString::number(number), QString(), false,
                          support::ErrObject{number, ErrorDescription(number)});
}

QString DecimalSeparator() {
    const QString sep = support::GetLocaleString(0, 14);
    return sep.isEmpty() ? QStringLiteral(".") : sep;
}

// A whole number from a value line: a fraction is rounded to the nearest whole
// number, a half to the even one. 0 on success, else the run-time error number.
qint64 ToWhole(const QString& text, double min, double max, double& out) {
    const std::optional<double> value = support::DataFileNumber(text);
    if (!value) {
        return ErrTypeMismatch;
    }
    const double rounded = std::nearbyint(*value);
    if (!std::isfinite(rounded) || rounded < min || rounded > max) {
        return ErrOverflow;
    }
    out = rounded;
    return 0;
}

QStringList SplitLines(const QByteArray& bytes) {
    QStringList lines = support::DecodeCp1252(bytes).split(QRegularExpression("\r\n|\r|\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast(); // the line break that ends the last line
    }
    return lines;
}

int FindMarker(const QString& line) {
    const QString key = line.trimmed().toUpper();
    for (int i = 0; i < KeyCount; ++i) {
        if (key == QString::fromLatin1(Markers[i]).toUpper()) {
            return i;
        }
    }
    return -1;
}

constexpr double Int16Min = std::numeric_limits<qint16>::min();
constexpr double Int16Max = std::numeric_limits<qint16>::max();
constexpr double Int32Min = std::numeric_limits<qint32>::min();
constexpr double Int32Max = std::numeric_limits<qint32>::max();

// The file's lines; nothing when it cannot be read or holds no marker.
std::optional<QStringList> ReadMarkedLines(const QString& path) {
    const std::optional<QByteArray> bytes = support::ReadFileBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    QStringList lines = SplitLines(*bytes);
    if (std::none_of(lines.cbegin(), lines.cend(),
                     [](const QString& line) { return FindMarker(line) >= 0; })) {
        return std::nullopt;
    }
    return lines;
}

} // namespace

void ClsComm::SetDefaults() {
    setportText_ = DefaultSetport;
    comPort_ = DefaultComPort;
    memoPath_ = appFolder_;
    titolo_ = DefaultTitolo;
    attesaByteTxUsec_ = DefaultAttesaByteTx;
    attesaGlobaleConf_ = DefaultAttesaGlobale;
    molAttesaGlobale_ = DefaultMolAttesaGlobale;
    idleUsec_ = DefaultIdle;
    numReSend_ = DefaultNumReSend;
    usbCom_ = false;
    flagRicercaCom_ = 0;
    dcbBitFields_ = 0;
    flagLogPoint_ = false;
}

bool ClsComm::ReadSetCom(const QString& PathIni) {
    SetDefaults();
    const QString path = appFolder_ + PathIni;
    const bool present = support::IsFilePresent(path);
    const std::optional<QStringList> marked =
        present ? ReadMarkedLines(path) : std::optional<QStringList>();
    bool whole = !present || marked.has_value();
    if (marked) {
        flagRicercaCom_ = NoSearch;
        const QStringList& lines = *marked;
        for (int i = 0; i < lines.size(); ++i) {
            const int key = FindMarker(lines[i]);
            if (key < 0) {
                continue;
            }
            if (i + 1 >= lines.size()) {
                ReportReadError(ErrInputPastEnd);
                whole = false;
                break;
            }
            const QString value = lines[++i].trimmed();
            double n = 0;
            qint64 err = 0;
            switch (key) {
            case KeySetport:
                setportText_ = value;
                break;
            case KeyComport:
                if (!(err = ToWhole(value, Int16Min, Int16Max, n))) {
                    comPort_ = static_cast<qint16>(n);
                }
                break;
            case KeyMemoPath:
                memoPath_ = value;
                break;
            case KeyTitolo:
                titolo_ = value;
                break;
            case KeyAttesaByteTx:
                if (!(err = ToWhole(value, Int32Min, Int32Max, n))) {
                    attesaByteTxUsec_ = n;
                }
                break;
            case KeyAttesaGlobale:
                if (!(err = ToWhole(value, Int32Min, Int32Max, n))) {
                    attesaGlobaleConf_ = n;
                }
                break;
            case KeyMolAttesaGlobale:
                if (!(err = ToWhole(value, Int32Min, Int32Max, n))) {
                    molAttesaGlobale_ = n;
                }
                break;
            case KeyIdle:
                if (!(err = ToWhole(value, Int32Min, Int32Max, n))) {
                    idleUsec_ = n;
                }
                break;
            case KeyNumResend:
                // Read as 32 bits, kept in 16: either range failing is an overflow.
                if (!(err = ToWhole(value, Int32Min, Int32Max, n)) &&
                    !(err = ToWhole(value, Int16Min, Int16Max, n))) {
                    numReSend_ = static_cast<qint16>(n);
                }
                break;
            case KeyUsbCom:
                if (value == "1") {
                    usbCom_ = true;
                }
                break;
            case KeySearchCom:
                if (!(err = ToWhole(value, 0, 255, n))) {
                    flagRicercaCom_ = static_cast<quint8>(n);
                }
                break;
            case KeyDcbFBitFields:
                if (!(err = ToWhole(value, Int32Min, Int32Max, n))) {
                    dcbBitFields_ = static_cast<qint32>(n);
                }
                break;
            case KeyLogPoint:
                flagLogPoint_ = value == "1";
                break;
            }
            if (err) {
                ReportReadError(err);
                whole = false;
            }
        }
        memoDatiCom_ = false;
    } else {
        memoDatiCom_ = true;
    }
    attesaGlobaleUsec_ = attesaGlobaleConf_;
    return whole;
}

bool ClsComm::WriteSetCom(const QString& PathIni, QString* why) {
    if (setportText_.isEmpty()) {
        setportText_ = DefaultSetport;
    }
    if (comPort_ < 1) {
        comPort_ = DefaultComPort;
    }
    if (memoPath_.isEmpty()) {
        memoPath_ = appFolder_;
    }
    if (titolo_.isEmpty()) {
        titolo_ = DefaultTitolo;
    }
    if (attesaByteTxUsec_ <= 0) {
        attesaByteTxUsec_ = DefaultAttesaByteTx;
    }
    if (attesaGlobaleConf_ <= 0) {
        attesaGlobaleConf_ = DefaultAttesaGlobale;
    }
    if (molAttesaGlobale_ <= 0) {
        molAttesaGlobale_ = DefaultMolAttesaGlobale;
    }

    // The stored COM number, also while the USB interface is chosen.
    const std::array<QString, KeyCount> values = {
        setportText_,
        QString::number(comPort_),
        memoPath_,
        titolo_,
        support::GeneralNumberText(attesaByteTxUsec_, DecimalSeparator()),
        support::GeneralNumberText(attesaGlobaleConf_, DecimalSeparator()),
        support::GeneralNumberText(molAttesaGlobale_, DecimalSeparator()),
        support::GeneralNumberText(idleUsec_, DecimalSeparator()),
        QString::number(numReSend_),
        usbCom_ ? QStringLiteral(" 1 ") : QStringLiteral(" 0 "),
        " " + QString::number(flagRicercaCom_) + " ",
        QString::number(dcbBitFields_),
        flagLogPoint_ ? QStringLiteral("1") : QStringLiteral("0"),
    };
    QString text;
    for (int i = 0; i < KeyCount; ++i) {
        text += QString::fromLatin1(Markers[i]) + "\r\n" + values[i] + "\r\n";
    }
    return support::WriteWholeFile(appFolder_ + PathIni, support::EncodeCp1252(text), why);
}

} // namespace comm
