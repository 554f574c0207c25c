// The port operations of the link object: set-up, close, purges, send, receive and
// the deadlines the state machine steps on.

#include "link/ClsComm.h"

#include "link/RxTxLog.h"
#include "platform/SerialPort.h"
#include "support/MessageBox.h"

namespace comm {

namespace {

const QString LinkBoxTitle = QStringLiteral("LX735");

} // namespace

void ClsComm::FileHandleVerificaChiusura() {
    qint32 handle = 0;
    QString error;
    const bool recorded = ReadHandleFile(appFolder_, handle, error);
    if (!error.isEmpty()) {
        support::MsgBox("FileHandleVerificaChiusura: " + error, support::vbOKOnly, LinkBoxTitle);
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
