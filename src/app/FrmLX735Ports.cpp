// The port choice of the Device menu (a port, a new search) and the watch of the USB
// interface cables. The link itself opens and searches the ports; here only its
// settings and its state change.

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "platform/FtdiDriver.h"
#include "support/Clock.h"
#include "support/Cursor.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace app {

namespace {

// How long a port switch waits for the link to finish its exchange.
constexpr double IdleWaitUsec = 1e6 * 4;
constexpr double IdlePollUsec = 1000;
const QString SetComIni = QStringLiteral("/BIN/SetCom.ini");

} // namespace

void FrmLX735::CheckPortItem(int index) {
    for (int i = 0; i < mnuDevCom_.size(); ++i) {
        mnuDevCom_[i]->setChecked(i == index);
    }
}

void FrmLX735::MnuDevCom_Click(int index) {
    QCoreApplication::processEvents();
    ClsComm& comm = ctx_.Comm();
    comm.FlagRicercaCom(comm::NoSearch);
    mnuOffLine_->setChecked(false);
    ctx_.OffLineMode = false;
    SelezionaCom(index, index == 0);
    // A file that cannot be written keeps the choice for this run only.
    QString why;
    if (!ctx_.Comm().WriteSetCom(SetComIni, &why) && !unloaded_) {
        support::MsgBox(
            support::Text(support::ProgramText::PortNotSaved).arg(ctx_.AppFolder + SetComIni, why),
            support::vbExclamation, ctx_.Texts.AppTitle);
    }
}

void FrmLX735::SelezionaCom(int index, bool usb) {
    support::CursorOverride hourglass(Qt::WaitCursor);
    mnuDevice_->setEnabled(false);
    CheckPortItem(usb ? 0 : index);

    // Let an exchange in progress finish; the switch goes ahead after 4 s in any case.
    const double deadline = support::GetTimeUsec() + IdleWaitUsec;
    while (ctx_.Comm().ComState() != COM_READY && support::GetTimeUsec() <= deadline) {
        support::WaitUsec(IdlePollUsec);
    }
    if (unloaded_) {
        return; // the program ended during the wait
    }

    timer1_.stop();
    timer2_.stop();
    ClsComm& comm = ctx_.Comm();
    comm.CloseComPort();
    comm.UsbCom(usb);
    if (!usb) {
        comm.ComPort(qint16(index));
    }
    comm.ComState(COM_RESTART);
    EnableTimers();
    mnuDevice_->setEnabled(true);
}

void FrmLX735::MnuSearcCom_Click() {
    ClsComm& comm = ctx_.Comm();
    comm.FlagRicercaCom(0);
    comm.FirmwareEcu(QString());
    ctx_.OffLineMode = false;
    comm.ComState(COM_RESTART);
    mnuOffLine_->setChecked(false);
    CheckPortItem(0);
}

int FrmLX735::PortaDiComSelected() const {
    for (int i = 0; i < mnuDevCom_.size(); ++i) {
        if (mnuDevCom_[i]->isChecked()) {
            return i;
        }
    }
    return int(mnuDevCom_.size());
}

void FrmLX735::WatchUsbDevices() {
    qint32 count = 0;
    if (ctx_.Comm().Ftdi().FT_ListDevices(count) == platform::FT_OK && count != UsbDeviceCount) {
        UsbDeviceCount = count;
        ctx_.Comm().ComState(COM_RESTART);
    }
}

} // namespace app
