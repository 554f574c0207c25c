#pragma once

// The link object: the open port (a COM port or the USB interface cable), the bytes
// sent and received, link timings and counters, the link state and the ECU's mode,
// and the few stores that replies and files fill. The program context owns one; the
// two port drivers are handed in and must outlive it.

#include "link/ComPorts.h"
#include "link/FailedCallLog.h"
#include "link/ReplyQueue.h"
#include "link/RxTxLog.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace platform {
class SerialPort;
class FtdiDriver;
} // namespace platform

namespace comm {

class LinkHost;

enum ComStateCode : quint8 {
    COM_RESTART = 0,
    COM_READY = 1,
    COM_SENDING = 2,
    COM_WAIT_REPLY = 3,
    COM_ERROR = 5,
    COM_SEARCH = 7,
    COM_STOP = 8,
};

// The link holds an open port: ready, or in an exchange (not restarting, searching,
// failed or stopped).
constexpr bool HoldsPort(quint8 state) {
    return state == COM_READY || state == COM_SENDING || state == COM_WAIT_REPLY;
}

enum EcuStateCode : quint8 {
    ECU_RUN = 0,
    ECU_SLAVE = 1,
    ECU_PRG = 2,
    ECU_FLASH_WRT = 3,
};

// FlagRicercaCom: no search, use the configured port.
constexpr quint8 NoSearch = 255;

class ClsComm {
public:
    ClsComm(const QString& appFolder, platform::SerialPort& serial, platform::FtdiDriver& ftdi);
    ~ClsComm();
    ClsComm(const ClsComm&) = delete;
    ClsComm& operator=(const ClsComm&) = delete;

    QString AppFolder() const { return appFolder_; }
    platform::FtdiDriver& Ftdi() { return ftdi_; }

    // What the link hands to the layers above it (parsers, developer view). Without a
    // host the link is a bare transport: see link/LinkHost.h.
    void Host(LinkHost* host) { host_ = host; }
    LinkHost* Host() const { return host_; }

    // One line of the link log BIN/RxTx.TXT, which is kept within its size bound.
    void WriteLog(const QString& tag, const QString& text);
    // The link log's size bound; the signal viewer sets RxTxLog().HoldRestart while it
    // records, so the log is not restarted under it.
    RxTxLogBound& RxTxLog() { return rxTxLog_; }

    // Flash address of the identity block in the firmware image.
    QString AdrFrmwarEcu = "00FFE000";

    QByteArray MemoDataCollaudo() const { return memoDataCollaudo_; }
    void MemoDataCollaudo(const QByteArray& v) { memoDataCollaudo_ = v; }
    qint16 NumReSend() const { return numReSend_; }
    void NumReSend(qint16 v) { numReSend_ = v; }
    qint16 NumReSendState() const { return numReSendState_; }
    void NumReSendState(qint16 v) { numReSendState_ = v; }
    quint8 FlagRicercaCom() const { return flagRicercaCom_; }
    void FlagRicercaCom(quint8 v) { flagRicercaCom_ = v; }

    // Error byte per injector, 0..63; other indexes read 0 and are not stored.
    quint8 ErrInj(quint8 index) const { return index <= ErrInjUBound() ? errInj_[index] : 0; }
    void ErrInj(quint8 index, quint8 v) {
        if (index <= ErrInjUBound()) {
            errInj_[index] = v;
        }
    }
    void ErrInjClr() { errInj_.fill(0); }
    quint8 ErrInjUBound() const { return static_cast<quint8>(errInj_.size() - 1); }

    qint32 LngHand() const { return lngHand_; }
    qint32 FtStatus() const { return ftStatus_; }
    qint32 nPorta() const { return nPorta_; }
    void nPorta(qint32 v) { nPorta_ = v; }
    QString MemoPath() const { return memoPath_; }
    void MemoPath(const QString& v) { memoPath_ = v; }
    QString Titolo() const { return titolo_; }
    void Titolo(const QString& v) { titolo_ = v; }
    bool UsbCom() const { return usbCom_; }
    void UsbCom(bool v) { usbCom_ = v; }
    double AttesaByteTx_usec() const { return attesaByteTxUsec_; }
    void AttesaByteTx_usec(double v) { attesaByteTxUsec_ = v; }
    // The working reply wait; slow commands scale it and restore it afterwards.
    double AttesaGlobale_usec() const { return attesaGlobaleUsec_; }
    void AttesaGlobale_usec(double v) { attesaGlobaleUsec_ = v; }
    void AttesaGlobale_usec_Default() { attesaGlobaleUsec_ = attesaGlobaleConf_; }
    double MolAttesaGlobale() const { return molAttesaGlobale_; }
    void MolAttesaGlobale(double v) { molAttesaGlobale_ = v; }
    // True after a failed exchange or a restart, until the next good reply.
    bool WDogPresente() const { return wDogPresente_; }
    void WDogPresente(bool v) { wDogPresente_ = v; }

    // Firmware identities: 12 hex digits (version major and minor, day, month, year)
    // and a descriptor of blank-separated words. Numeric fields that are not decimal
    // digits read as 0 (unknown).
    QString FirmwareEcu() const { return firmwareEcu_; }
    void FirmwareEcu(const QString& v) { firmwareEcu_ = v; }
    QString FirmwareEcuVersStr() const;
    qint16 FirmwareEcuVersNum() const;
    QString FirmwareEcuDataStr() const;
    QString FirmwareFle() const { return firmwareFle_; }
    void FirmwareFle(const QString& v) { firmwareFle_ = v; }
    QString FirmwareFleVersStr() const;
    qint16 FirmwareFleVersNum() const;
    QString FirmwareFleDataStr() const;
    QString DescProgettoFle_CLIENTE() const;
    QString DescProgettoFle_CODICE() const;
    QString DescProgettoEcu_LXXXX() const;
    QString DescProgettoEcu_CLIENTE() const;
    QString DescProgettoEcu_CODICE() const;
    qint16 FirmwareEcuDayNum() const;
    qint16 FirmwareEcuMonthNum() const;
    qint16 FirmwareEcuYearNum() const;
    qint16 FirmwareFleDayNum() const;
    qint16 FirmwareFleMonthNum() const;
    qint16 FirmwareFleYearNum() const;

    qint32 LargFlash() const { return largFlash_; }
    void LargFlash(qint32 v) { largFlash_ = v; }
    bool RichiediIndVar() const { return richiediIndVar_; }
    void RichiediIndVar(bool v) { richiediIndVar_ = v; }
    quint8 ComState() const { return comState_; }
    void ComState(quint8 v) {
        const bool changed = v != comState_;
        comState_ = v;
        if (changed) {
            Wake();
        }
    }
    // Called whenever the link gets new work for its pump (a state change, a frame
    // sent), so that a pump sleeping to its next deadline steps at once.
    void OnWork(std::function<void()> wake) { onWork_ = std::move(wake); }
    // The deadlines the steps test: the first read of a reply, the reply deadline and
    // the end of the keep-alive silence.
    double RxNotBefore() const { return rxNotBefore_; }
    double ReplyDeadline() const { return replyDeadline_; }
    double SilenceDeadline() const { return silenceDeadline_; }
    quint8 EcuState() const { return ecuState_; }
    void EcuState(quint8 v) { ecuState_ = v; }

    // Flash blocks, rows 0..13, columns 0..1; nothing (and False) outside the bounds.
    std::optional<qint32> BFlash(qint32 row, qint32 col) const;
    bool BFlash(qint32 row, qint32 col, qint32 v);

    QByteArray InBuffer() const { return inBuffer_; }
    void InBuffer(const QByteArray& v) { inBuffer_ = v; }
    QByteArray OutBuffer() const { return outBuffer_; }
    void OutBuffer(const QByteArray& v) { outBuffer_ = v; }

    // The active port's handle is not 0.
    bool IsOpen() const { return usbCom_ ? lngHand_ != 0 : nPorta_ != 0; }
    // "COM" and the stored number when it is 1..9, else "" (whatever UsbCom says).
    QString ComPortNome() const;
    // The stored COM number, but 0 while UsbCom is True.
    qint16 ComPort() const { return usbCom_ ? 0 : comPort_; }
    void ComPort(qint16 v) { comPort_ = v; }
    // Final reply-deadline expiries since the last good reply; never negative.
    qint16 NumWDogSend() const { return numWDogSend_; }
    void NumWDogSend(qint16 v) { numWDogSend_ = v < 0 ? 0 : v; }

    // Flash image bytes 0..TableFlashUBound (-1 before it was ever sized); nothing
    // (and False) outside the bounds.
    qint64 TableFlashUBound() const { return static_cast<qint64>(tableFlash_.size()) - 1; }
    std::optional<quint8> TableFlash(qint64 index) const;
    bool TableFlash(qint64 index, quint8 v);
    // size >= 0: the table becomes 0..size, keeping its bytes when WPreserve; a size
    // beyond any flash this program writes is refused (False) and changes nothing.
    bool RedimTableFlash(qint64 size, bool WPreserve);

    bool MemoDatiCom() const { return memoDatiCom_; }
    void MemoDatiCom(bool v) { memoDatiCom_ = v; }
    bool FlagLogPoint() const { return flagLogPoint_; }
    void FlagLogPoint(bool v) { flagLogPoint_ = v; }

    // Connection time: restarts from 0 here, while the port is closed and when a port is
    // opened; measured on the monotonic clock, in seconds.
    void TimeCom_RSet();
    double TimeCom();

    // The ECU's variable indices from a GET_ADR_VAR reply frame (-1 where missing).
    void AggiornaIndVar(const QByteArray& Str);
    qint16 IndVar(int i) const { return i >= 0 && i < 16 ? indVar_[i] : -1; }

    // The port-settings file; PathIni is relative to the application folder
    // ("/BIN/SetCom.ini"). WriteSetCom replaces the file whole or not at all (False with
    // why set to the reason). ReadSetCom is false for a damaged file: one that cannot be
    // read or holds no marker is taken as absent (the default settings, searching, and
    // written anew once the ECU answers); a bad value is reported and keeps its default.
    // A missing file is a first start, not damage.
    bool ReadSetCom(const QString& PathIni);
    bool WriteSetCom(const QString& PathIni, QString* why = nullptr);

    // ---- Port operations.
    // Opens the chosen port (UsbCom: interface cable number FtDevIndex; else the
    // device that ComPortNome maps to) with 38400 8N1; False when it cannot be opened
    // or set up. A failed serial open leaves the port closed.
    bool SetComm();
    // Closes whatever port is open (cable and serial port); always True. The runs of
    // failed calls on it end here, each written with its length.
    bool CloseComPort();
    void CleanInputCom();
    void CleanOutputCom();
    // Writes the frame byte by byte, pausing AttesaByteTx_usec after each, once the
    // link is ready (False, nothing changed, when it is not within 500 ms); then arms
    // the reply deadline and waits for the reply. A resend continues the exchange of
    // the frame it repeats; any other send starts a new one. A stop or restart set
    // while the bytes go out ends the send (logged "D ") and stands: False. A device
    // that is gone ends it too, as a lost link (see DeviceGone).
    bool SendMsg(const QByteArray& Msg, bool resend = false);
    // Appends what the input queue holds to InBuffer (False before RxNotBefore). A
    // device that is gone ends the exchange as a lost link.
    bool ReciveMsg();
    // A call on the open port failed in the way of a device that is no longer there
    // (unplugged, its line hung up): the exchange under way was ended as a lost link
    // (COM_RESTART), as when the cables attached change. Cleared when the port closes.
    bool DeviceGone() const { return deviceGone_; }
    // InBuffer holds a whole reply frame (and perhaps bytes after it).
    bool CtrlEndRecive() const;
    void LoadWDogSend();
    void UnloadWDogSend();
    bool CkWDogSend() const;
    bool Silenzio(qint32 Periodo_mSec, bool Resetta);
    bool SendDelay(qint32 Periodo_mSec);

    // ---- State of the port search (kept for the link state machine).
    qint32 LastLoggedComState() const { return lastLoggedComState_; }
    void LastLoggedComState(qint32 v) { lastLoggedComState_ = v; }
    qint32 FtDevCount() const { return ftDevCount_; }
    void FtDevCount(qint32 v) { ftDevCount_ = v; }
    qint32 FtDevCountPrev() const { return ftDevCountPrev_; }
    void FtDevCountPrev(qint32 v) { ftDevCountPrev_ = v; }
    qint32 FtDevIndex() const { return ftDevIndex_; }
    void FtDevIndex(qint32 v) { ftDevIndex_ = v; }

    // ---- Exchanges: each new frame sent starts one; its good reply, once dispatched,
    // marks every waiter registered for it.
    struct ExchangeWaiter {
        quint64 id = 0;
        bool good = false;
    };
    quint64 ExchangeId() const { return exchangeId_; }
    void AddWaiter(ExchangeWaiter& waiter) { waiters_.push_back(&waiter); }
    void RemoveWaiter(ExchangeWaiter& waiter);
    void ExchangeSucceeded(quint64 id);
    // How one try of the current exchange ended: refused when the ECU answered it whole
    // with a status other than 0.
    void ExchangeTryEnded(bool refused);
    // True when every try of the last exchange was refused by the ECU: a value it will
    // not take, not a lost reply.
    bool ExchangeRefused() const { return exchangeRefused_; }
    // A try that got no reply within the reply wait sets NoReply, until any good reply;
    // it and a lost link leave the live record stale, until the next good live record.
    // A damaged reply is an answer: it sets neither. A silent port probed by a search,
    // before any ECU answered on it, is not a silent ECU.
    bool NoReply() const { return noReply_; }
    void NoReply(bool v) {
        noReply_ = v;
        liveStale_ = liveStale_ || v;
    }
    void TryUnanswered() { NoReply(noReply_ || heard_ || flagRicercaCom_ == NoSearch); }
    void Heard(bool v) { heard_ = v; }
    bool LiveStale() const { return liveStale_; }
    void LiveStale(bool v) { liveStale_ = v; }
    // Set while a state-machine step runs, so that a step never starts inside another.
    bool Stepping() const { return stepping_; }
    void Stepping(bool v) { stepping_ = v; }

    // After a failed open: closes the port that BIN/Handle.ini records, but only when
    // it is the one this object opened and still holds; a number left by an earlier
    // run names nothing of ours and is never closed. A file that cannot be read is
    // told once a run.
    void FileHandleVerificaChiusura();

    // The latest serial port that could not be opened, and the same in plain English;
    // PortMessageSerial grows once for each new port and reason until a port opens
    // (every failed open writes its link-log line).
    const PortOpenFailure& PortFailure() const { return portFailure_; }
    QString PortMessage() const { return PortOpenMessage(portFailure_); }
    quint64 PortMessageSerial() const { return portMessageSerial_; }

    // Settings that only the settings file and the port operations use.
    QString SetportText() const { return setportText_; }
    double AttesaGlobaleConf() const { return attesaGlobaleConf_; }
    void AttesaGlobaleConf(double v) { attesaGlobaleConf_ = v; }
    double Idle_usec() const { return idleUsec_; }
    qint32 DcbBitFields() const { return dcbBitFields_; }

    // The reply-data queue that the dispatcher fills and requesters empty.
    ReplyQueue& Replies() { return replyQueue_; }

private:
    void Wake() const {
        if (onWork_) {
            onWork_();
        }
    }
    // The values of the port-settings file before it is read.
    void SetDefaults();
    // The log lines of a failed driver call: three for the cable, four for a serial
    // port; osError is the code captured at the failing call.
    void LogFtdiFailure(const QString& call, qint32 osError);
    void LogSerialFailure(const QString& call, const QString& text, qint32 osError);
    // The result of a port call the link log records (for the cable, ftStatus_ holds
    // its status). A failure takes the call's system error into osError, is written
    // when the call starts failing and tells whether the device is gone; a success
    // after failures writes the run's length. True when this failure was written.
    bool NoteCall(const QString& call, bool ok, bool usb, qint32& osError,
                  const QString& text = QString());
    void WriteFailureRun(const QString& call, int run);
    // Ends the exchange under way as a lost link; a stop or restart already set stands.
    void DeviceLost();
    void ReportOpenFailure(const QString& device, int osError);
    bool SerialQueueStatus();
    // Appends the bytes a read really delivered; False when the read failed (and
    // failureWritten tells whether that failure went to the log).
    bool ReadInto(qint32 count, bool usb, qint32& osError, bool& failureWritten);
    bool WriteOneByte(char byte, bool usb, qint32& osError);
    bool InputWaiting(bool usb, bool lastByte, qint32& osError);

    QString appFolder_;
    platform::SerialPort& serial_;
    platform::FtdiDriver& ftdi_;
    LinkHost* host_ = nullptr;

    QByteArray memoDataCollaudo_;
    qint16 numReSend_ = 0;
    qint16 numReSendState_ = 0;
    quint8 flagRicercaCom_ = 0;
    std::array<quint8, 64> errInj_{};
    qint32 errorCom_ = 0;
    qint32 lngHand_ = 0;
    qint32 ftStatus_ = 0;
    qint32 lngRxByte_ = 0;
    qint32 byteWitn_ = 0;
    qint32 nPorta_ = 0;
    qint32 comStatCbInQue_ = 0;
    qint32 comStatCbOutQue_ = 0;
    QString memoPath_;
    QString titolo_;
    bool usbCom_ = false;
    double attesaByteTxUsec_ = 0;
    double attesaGlobaleUsec_ = 0;
    double molAttesaGlobale_ = 0;
    bool wDogPresente_ = false;
    QString firmwareEcu_;
    QString firmwareFle_;
    qint32 largFlash_ = 0;
    bool richiediIndVar_ = false;
    quint8 comState_ = COM_SEARCH;
    quint8 ecuState_ = ECU_RUN;
    std::array<std::array<qint32, 2>, 14> bFlash_{};
    QByteArray inBuffer_;
    QByteArray outBuffer_;
    qint16 comPort_ = 0;
    qint16 numWDogSend_ = 0;
    std::vector<quint8> tableFlash_;
    bool memoDatiCom_ = false;
    bool flagLogPoint_ = false;

    QString setportText_;
    double attesaGlobaleConf_ = 0;
    double idleUsec_ = 0;
    qint32 dcbBitFields_ = 0;
    double timeComOrigin_ = 0;
    double replyDeadline_ = 0;
    double rxNotBefore_ = 0;
    double silenceDeadline_ = 0;
    double delayGate_ = 0;
    qint32 bytesRead_ = 0;

    qint32 lastLoggedComState_ = 0;
    qint32 ftDevCount_ = 0;
    qint32 ftDevCountPrev_ = 0;
    qint32 ftDevIndex_ = 0;
    quint64 exchangeId_ = 0;
    int triesEnded_ = 0;
    bool exchangeRefused_ = false;
    bool noReply_ = false;
    bool heard_ = false; // a good reply since the port was opened
    bool liveStale_ = false;
    std::vector<ExchangeWaiter*> waiters_;
    bool stepping_ = false;
    std::array<qint16, 16> indVar_{};

    FailedCallLog failedCalls_;
    bool deviceGone_ = false;

    bool handleFileErrorShown_ = false;
    QSet<QString> reportedOpenFailures_;
    PortOpenFailure portFailure_;
    quint64 portMessageSerial_ = 0;

    ReplyQueue replyQueue_;
    RxTxLogBound rxTxLog_;
    std::function<void()> onWork_;
};

} // namespace comm
