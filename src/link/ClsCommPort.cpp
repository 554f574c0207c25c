// The port operations of the link object: set-up, close, purges, send, receive and
// the deadlines the state machine steps on. Nothing here blocks in a driver: pauses
// are waits that keep the event loop running, and receiving takes only what the
// input queue already holds.

#include "link/ClsComm.h"

#include "link/ComPorts.h"
#include "link/Frames.h"
#include "link/RxTxLog.h"
#include "platform/FtdiDriver.h"
#include "platform/OsError.h"
#include "platform/SerialPort.h"
#include "support/Clock.h"
#include "support/Conversions.h"
#include "support/MessageBox.h"

#include <algorithm>
#include <cstring>

namespace comm {

namespace {

using platform::FT_OK;

constexpr double ReadyWaitUsec = 500000;
constexpr double ReadyPollUsec = 1000;
constexpr quint32 Baud = 38400;
constexpr quint32 FtTimeoutMs = 50;
constexpr char FtEventChar = 0x7E;
constexpr int FtPurgeRxTx = platform::FT_PURGE_RX | platform::FT_PURGE_TX;
// A sane ceiling for one read; whatever is left is read at the next call.
constexpr qint32 MaxReadChunk = 65536;

QString Hex(const QByteArray& bytes) {
    return support::ByteStrToHex(bytes);
}

} // namespace

void ClsComm::WriteLog(const QString& tag, const QString& text) {
    WriteRxTxLog(appFolder_, tag, text, &rxTxLog_);
}

void ClsComm::LogFtdiFailure(const QString& call, qint32 osError) {
    WriteLog(call, QString());
    WriteLog("FtStatus_Val ", LogHex(ftStatus_));
    WriteLog("LastDllError ", LogHex(osError));
}

void ClsComm::LogSerialFailure(const QString& call, const QString& text, qint32 osError) {
    WriteLog(call, text);
    WriteLog("lpErrors ", LogHex(errorCom_));
    WriteLog("GetLastError ", LogHex(osError));
    WriteLog("LastDllError ", LogHex(osError));
}

bool ClsComm::NoteCall(const QString& call, bool ok, bool usb, qint32& osError,
                       const QString& text) {
    if (ok) {
        WriteFailureRun(call, failedCalls_.Succeeded(call));
        return false;
    }
    osError = platform::LastOsError();
    deviceGone_ =
        deviceGone_ || (usb ? platform::FtDeviceGone(ftStatus_) : platform::DeviceGone(osError));
    if (!failedCalls_.Failed(call)) {
        return false;
    }
    if (usb) {
        LogFtdiFailure(call, osError);
    } else {
        LogSerialFailure(call, text, osError);
    }
    return true;
}

void ClsComm::WriteFailureRun(const QString& call, int run) {
    if (run > 0) {
        WriteLog(call, " failures in a row: " + QString::number(run));
    }
}

void ClsComm::DeviceLost() {
    if (comState_ == COM_SENDING || comState_ == COM_WAIT_REPLY) {
        wDogPresente_ = true;
        ComState(COM_RESTART);
    }
}

bool ClsComm::SetComm() {
    // The port is closed until now: the connection time counts from this open, however
    // long ago it was last read.
    TimeCom_RSet();
    if (usbCom_) {
        qint32 handle = 0;
        ftStatus_ = ftdi_.FT_Open(ftDevIndex_, handle);
        if (ftStatus_ != FT_OK) {
            return false;
        }
        lngHand_ = handle;
        // A device whose set-up fails stays open; the restart that follows closes it.
        if ((ftStatus_ = ftdi_.FT_SetBaudRate(lngHand_, Baud)) != FT_OK ||
            (ftStatus_ = ftdi_.FT_SetDataCharacteristics(lngHand_, platform::FT_BITS_8,
                                                         platform::FT_STOP_BITS_1,
                                                         platform::FT_PARITY_NONE)) != FT_OK ||
            (ftStatus_ = ftdi_.FT_SetFlowControl(lngHand_, platform::FT_FLOW_NONE, 0, 0)) !=
                FT_OK ||
            (ftStatus_ = ftdi_.FT_SetTimeouts(lngHand_, FtTimeoutMs, FtTimeoutMs)) != FT_OK ||
            (ftStatus_ = ftdi_.FT_SetChars(lngHand_, FtEventChar, false, 0, false)) != FT_OK) {
            return false;
        }
        return true;
    }
    // A port without a name (COM10 and above) has no device to open.
    bool emptyPath = false;
    const QString device = ComPortDevice(appFolder_, ComPortNome(), &emptyPath);
    if (device.isEmpty() || !serial_.Open(device, static_cast<quint32>(dcbBitFields_))) {
        if (!device.isEmpty() || emptyPath) {
            ReportOpenFailure(device, device.isEmpty() ? 0 : platform::LastOsError());
        }
        FileHandleVerificaChiusura();
        // Not open, unless a port of ours is still held (then a close will find it).
        nPorta_ = serial_.Handle();
        return false;
    }
    nPorta_ = serial_.Handle();
    WriteHandleFile(appFolder_, nPorta_);
    reportedOpenFailures_.clear(); // a later failure is told again
    return true;
}

void ClsComm::ReportOpenFailure(const QString& device, int osError) {
    WriteLog("open ", (device.isEmpty() ? ComPortsPath(appFolder_) : device) + " " +
                          QString::number(osError) + " " +
                          (osError ? QString::fromLocal8Bit(std::strerror(osError))
                                   : QStringLiteral("no device path for ") + ComPortNome()));
    const QString key = ComPortNome() + "|" + device + "|" + QString::number(osError);
    if (!reportedOpenFailures_.contains(key)) {
        reportedOpenFailures_.insert(key);
        portFailure_ = {ComPortNome(), device, osError};
        ++portMessageSerial_;
    }
}

bool ClsComm::CloseComPort() {
    for (const auto& [call, run] : failedCalls_.EndAll()) {
        WriteFailureRun(call, run);
    }
    deviceGone_ = false;
    heard_ = false;
    // Both kinds: the port choice may have switched UsbCom while the other was open.
    if (lngHand_ != 0) {
        ftdi_.FT_Close(lngHand_);
        lngHand_ = 0;
    }
    for (int attempt = 0; nPorta_ != 0 && attempt < 3; ++attempt) {
        if (serial_.Close()) {
            nPorta_ = 0;
            ClearHandleFile(appFolder_);
        }
    }
    return true;
}

bool ClsComm::SerialQueueStatus() {
    const bool ok = serial_.QueueStatus(errorCom_, comStatCbInQue_, comStatCbOutQue_);
    ftStatus_ = ok ? 1 : 0;
    lngRxByte_ = comStatCbInQue_;
    return ok;
}

void ClsComm::CleanInputCom() {
    if (usbCom_) {
        ftdi_.FT_Purge(lngHand_, FtPurgeRxTx);
        return;
    }
    if (SerialQueueStatus() && lngRxByte_ > 0) {
        const qint32 count = std::min(lngRxByte_, MaxReadChunk);
        QByteArray scratch(count, '\0');
        serial_.Read(scratch.data(), count, bytesRead_);
    }
}

void ClsComm::CleanOutputCom() {
    if (usbCom_) {
        ftdi_.FT_Purge(lngHand_, platform::FT_PURGE_TX);
        return;
    }
    serial_.Purge(platform::PURGE_RXABORT);
}

bool ClsComm::InputWaiting(bool usb, bool lastByte, qint32& osError) {
    if (usb) {
        ftStatus_ = ftdi_.FT_GetQueueStatus(lngHand_, lngRxByte_);
        NoteCall("FT_GetQueueStatus Send", ftStatus_ == FT_OK, true, osError);
        // The cable may be answering the bytes already sent: only the last one counts.
        return !lastByte && ftStatus_ == FT_OK && lngRxByte_ > 0;
    }
    const bool ok = SerialQueueStatus();
    NoteCall("ClearCommError Send", ok, false, osError);
    return ok && lngRxByte_ > 0;
}

bool ClsComm::WriteOneByte(char byte, bool usb, qint32& osError) {
    if (usb) {
        ftStatus_ = ftdi_.FT_Write(lngHand_, &byte, 1, byteWitn_);
        NoteCall("FT_Write Send", ftStatus_ == FT_OK, true, osError);
        return ftStatus_ == FT_OK;
    }
    const bool ok = serial_.WriteByte(byte, byteWitn_);
    ftStatus_ = ok ? 1 : 0;
    NoteCall("WriteFile Send", ok, false, osError);
    return ok;
}

bool ClsComm::SendMsg(const QByteArray& Msg, bool resend) {
    const QByteArray frame = Msg;
    const double readyBy = support::GetTimeUsec() + ReadyWaitUsec;
    while (comState_ != COM_READY) {
        support::WaitUsec(ReadyPollUsec);
        if (support::GetTimeUsec() > readyBy) {
            return false;
        }
    }
    if (!resend) {
        ++exchangeId_;
        triesEnded_ = 0;
        exchangeRefused_ = false;
    }
    comState_ = COM_SENDING;
    outBuffer_ = frame;

    enum class Outcome { Sent, Interrupted, WriteFailed, Stopped } outcome = Outcome::Sent;
    qint32 osError = 0;
    const bool usb = usbCom_;
    for (qsizetype i = 0; i < frame.size(); ++i) {
        if (InputWaiting(usb, i == frame.size() - 1, osError)) {
            // The ECU is talking: let it finish, then drop what it said.
            support::WaitUsec(attesaGlobaleUsec_);
            CleanInputCom();
            outcome = Outcome::Interrupted;
            break;
        }
        const bool written = WriteOneByte(frame.at(i), usb, osError);
        support::WaitUsec(attesaByteTxUsec_);
        if (comState_ != COM_SENDING) {
            // Stopped (off-line) or restarted while the bytes went out: no more of them.
            outcome = Outcome::Stopped;
            break;
        }
        if (!written) {
            outcome = Outcome::WriteFailed;
            break;
        }
    }
    switch (outcome) {
    case Outcome::Sent:
        WriteLog("T ", Hex(frame));
        break;
    case Outcome::Interrupted:
    case Outcome::Stopped:
        WriteLog("D ", Hex(frame));
        break;
    case Outcome::WriteFailed:
        WriteLog("H ", QString::number(osError) + Hex(frame));
        break;
    }
    if (deviceGone_) {
        DeviceLost();
    }
    // A stop or restart that came during the send stands: nothing waits for a reply.
    if (comState_ != COM_SENDING) {
        return false;
    }
    // Even a frame that did not go out waits for its reply: the deadline then resends it.
    rxNotBefore_ = support::GetTimeUsec() + idleUsec_;
    LoadWDogSend();
    ComState(COM_WAIT_REPLY);
    return true;
}

bool ClsComm::ReadInto(qint32 count, bool usb, qint32& osError, bool& failureWritten) {
    count = std::min(count, MaxReadChunk);
    QByteArray buffer(count, '\0');
    bytesRead_ = 0;
    bool ok = false;
    if (usb) {
        ftStatus_ = ftdi_.FT_Read(lngHand_, buffer.data(), count, bytesRead_);
        ok = ftStatus_ == FT_OK;
    } else {
        ok = serial_.Read(buffer.data(), count, bytesRead_);
        ftStatus_ = ok ? 1 : 0;
    }
    failureWritten = NoteCall(usb ? "FT_Read Recive" : "ReadFile Recive", ok, usb, osError);
    // Only what the read delivered: a failed or short read adds no stale bytes.
    inBuffer_.append(buffer.constData(), std::clamp(bytesRead_, 0, count));
    return ok;
}

bool ClsComm::ReciveMsg() {
    if (support::GetTimeUsec() < rxNotBefore_) {
        return false;
    }
    const bool usb = usbCom_;
    qint32 osError = 0;
    bool queried = false;
    if (usb) {
        ftStatus_ = ftdi_.FT_GetQueueStatus(lngHand_, lngRxByte_);
        queried = ftStatus_ == FT_OK;
    } else {
        queried = SerialQueueStatus();
    }
    bool failureWritten = NoteCall(usb ? "FT_GetQueueStatus Recive" : "ClearCommError Recive",
                                   queried, usb, osError, usb ? QString() : QStringLiteral(" "));
    bool ok = queried;
    if (queried && lngRxByte_ > 0) {
        ok = ReadInto(lngRxByte_, usb, osError, failureWritten);
        // A read that keeps failing is told once, with the failure's lines.
        if (ok || failureWritten) {
            WriteLog("R ", Hex(inBuffer_));
        }
    }
    if (usb) {
        ftStatus_ = ok ? -1 : 0; // from here on non-zero means success, as on the serial port
    }
    if (!ok && failureWritten) {
        WriteLog("H ", QString::number(osError) + " " + Hex(inBuffer_));
    }
    if (deviceGone_) {
        DeviceLost();
    }
    return true;
}

bool ClsComm::CtrlEndRecive() const {
    return inBuffer_.size() > 2 && GetMsgHeader(inBuffer_) == ReplyHeader &&
           GetMsgByte2(inBuffer_) == ReplyByte2 && inBuffer_.size() >= GetMsgLen(inBuffer_) + 2;
}

void ClsComm::LoadWDogSend() {
    replyDeadline_ = support::GetTimeUsec() + attesaGlobaleUsec_ + idleUsec_;
}

void ClsComm::UnloadWDogSend() {
    replyDeadline_ = support::GetTimeUsec();
}

bool ClsComm::CkWDogSend() const {
    return support::GetTimeUsec() <= replyDeadline_;
}

bool ClsComm::Silenzio(qint32 Periodo_mSec, bool Resetta) {
    const double now = support::GetTimeUsec();
    const bool passed = now > silenceDeadline_;
    if (Resetta) {
        silenceDeadline_ = now + Periodo_mSec * 1000.0;
    }
    return passed;
}

bool ClsComm::SendDelay(qint32 Periodo_mSec) {
    const double now = support::GetTimeUsec();
    if (now > delayGate_) {
        delayGate_ = now + Periodo_mSec * 1000.0;
        return true;
    }
    return false;
}

void ClsComm::FileHandleVerificaChiusura() {
    // Only a port this process still holds can be closed: without one the file is not
    // even read, so a damaged file cannot stop every failed open with a box.
    if (serial_.Handle() == 0) {
        return;
    }
    qint32 handle = 0;
    QString error;
    const bool recorded = ReadHandleFile(appFolder_, handle, error);
    if (!error.isEmpty()) {
        if (!handleFileErrorShown_) {
            handleFileErrorShown_ = true;
            support::MsgBox("FileHandleVerificaChiusura: " + error, support::vbOKOnly,
                            LinkBoxTitle);
        }
        return;
    }
    if (!recorded || handle != serial_.Handle()) {
        return;
    }
    if (serial_.Close()) {
        nPorta_ = 0;
        ClearHandleFile(appFolder_);
    }
}

} // namespace comm
