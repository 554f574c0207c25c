#include "link/ClsComm.h"

#include "support/Clock.h"

#include <QStringList>

namespace comm {

namespace {

// Beyond any flash this program writes (the map names a few hundred KiB).
constexpr qint64 MaxTableFlashSize = 16 * 1024 * 1024;
constexpr int BFlashRows = 14;
constexpr int BFlashCols = 2;

// The number written by len characters from position from (0-based), when the identity
// is longer than needMoreThan; 0 when it is shorter or the field is not decimal digits.
qint16 DecimalField(const QString& s, int from, int len, int needMoreThan) {
    if (s.size() <= needMoreThan) {
        return 0;
    }
    const QString field = s.mid(from, len);
    for (const QChar c : field) {
        if (c < '0' || c > '9') {
            return 0;
        }
    }
    return static_cast<qint16>(field.toInt());
}

QString VersStr(const QString& s) {
    return s.size() <= 4 ? QStringLiteral("00.00") : s.mid(0, 2) + "." + s.mid(2, 2);
}

QString DataStr(const QString& s) {
    return s.size() <= 11 ? QStringLiteral("00000000")
                          : s.mid(4, 2) + "/" + s.mid(6, 2) + "/" + s.mid(8, 4);
}

// Word 0..2 of the descriptor after the 12 identity digits, split at every blank.
QString DescWord(const QString& s, int word) {
    if (s.size() <= 12) {
        return {};
    }
    return s.mid(12).split(' ').value(word);
}

} // namespace

ClsComm::ClsComm(const QString& appFolder, platform::SerialPort& serial, platform::FtdiDriver& ftdi)
    : appFolder_(appFolder), serial_(serial), ftdi_(ftdi) {
    SetDefaults();
    attesaGlobaleUsec_ = attesaGlobaleConf_;
    timeComOrigin_ = support::GetTimeUsec();
    delayGate_ = timeComOrigin_;
}

ClsComm::~ClsComm() = default;

QString ClsComm::FirmwareEcuVersStr() const {
    return VersStr(firmwareEcu_);
}
qint16 ClsComm::FirmwareEcuVersNum() const {
    return DecimalField(firmwareEcu_, 0, 4, 4);
}
QString ClsComm::FirmwareEcuDataStr() const {
    return DataStr(firmwareEcu_);
}
QString ClsComm::FirmwareFleVersStr() const {
    return VersStr(firmwareFle_);
}
qint16 ClsComm::FirmwareFleVersNum() const {
    return DecimalField(firmwareFle_, 0, 4, 4);
}
QString ClsComm::FirmwareFleDataStr() const {
    return DataStr(firmwareFle_);
}
QString ClsComm::DescProgettoFle_CLIENTE() const {
    return DescWord(firmwareFle_, 1);
}
QString ClsComm::DescProgettoFle_CODICE() const {
    return DescWord(firmwareFle_, 2);
}
QString ClsComm::DescProgettoEcu_LXXXX() const {
    return DescWord(firmwareEcu_, 0);
}
QString ClsComm::DescProgettoEcu_CLIENTE() const {
    return DescWord(firmwareEcu_, 1);
}
QString ClsComm::DescProgettoEcu_CODICE() const {
    return DescWord(firmwareEcu_, 2);
}
qint16 ClsComm::FirmwareEcuDayNum() const {
    return DecimalField(firmwareEcu_, 4, 2, 6);
}
qint16 ClsComm::FirmwareEcuMonthNum() const {
    return DecimalField(firmwareEcu_, 6, 2, 8);
}
qint16 ClsComm::FirmwareEcuYearNum() const {
    return DecimalField(firmwareEcu_, 8, 4, 12);
}
qint16 ClsComm::FirmwareFleDayNum() const {
    return DecimalField(firmwareFle_, 4, 2, 6);
}
qint16 ClsComm::FirmwareFleMonthNum() const {
    return DecimalField(firmwareFle_, 6, 2, 8);
}
qint16 ClsComm::FirmwareFleYearNum() const {
    return DecimalField(firmwareFle_, 8, 4, 12);
}

std::optional<qint32> ClsComm::BFlash(qint32 row, qint32 col) const {
    if (row < 0 || row >= BFlashRows || col < 0 || col >= BFlashCols) {
        return std::nullopt;
    }
    return bFlash_[row][col];
}

bool ClsComm::BFlash(qint32 row, qint32 col, qint32 v) {
    if (row < 0 || row >= BFlashRows || col < 0 || col >= BFlashCols) {
        return false;
    }
    bFlash_[row][col] = v;
    return true;
}

std::optional<quint8> ClsComm::TableFlash(qint64 index) const {
    if (index < 0 || index > TableFlashUBound()) {
        return std::nullopt;
    }
    return tableFlash_[static_cast<size_t>(index)];
}

bool ClsComm::TableFlash(qint64 index, quint8 v) {
    if (index < 0 || index > TableFlashUBound()) {
        return false;
    }
    tableFlash_[static_cast<size_t>(index)] = v;
    return true;
}

bool ClsComm::RedimTableFlash(qint64 size, bool WPreserve) {
    if (size < 0) {
        return true;
    }
    if (size >= MaxTableFlashSize) {
        return false;
    }
    if (!WPreserve) {
        tableFlash_.assign(static_cast<size_t>(size) + 1, 0);
    } else {
        tableFlash_.resize(static_cast<size_t>(size) + 1, 0);
    }
    return true;
}

QString ClsComm::ComPortNome() const {
    return comPort_ >= 1 && comPort_ <= 9 ? "COM" + QString::number(comPort_) : QString();
}

void ClsComm::TimeCom_RSet() {
    timeComOrigin_ = support::GetTimeUsec();
}

double ClsComm::TimeCom() {
    const double now = support::GetTimeUsec();
    if (!IsOpen()) {
        timeComOrigin_ = now;
    }
    return (now - timeComOrigin_) / 1e6;
}

void ClsComm::RemoveWaiter(ExchangeWaiter& waiter) {
    std::erase(waiters_, &waiter);
}

void ClsComm::ExchangeTryEnded(bool refused) {
    exchangeRefused_ = refused && (triesEnded_ == 0 || exchangeRefused_);
    ++triesEnded_;
}

void ClsComm::ExchangeSucceeded(quint64 id) {
    for (ExchangeWaiter* waiter : waiters_) {
        if (waiter->id == id) {
            waiter->good = true;
        }
    }
}

void ClsComm::AggiornaIndVar(const QByteArray& Str) {
    const QByteArray data = Str.size() > 6 ? Str.mid(5, Str.size() - 6) : QByteArray();
    for (int i = 0; i < static_cast<int>(indVar_.size()); ++i) {
        indVar_[i] = i < data.size() ? static_cast<quint8>(data.at(i)) : -1;
    }
}

} // namespace comm
