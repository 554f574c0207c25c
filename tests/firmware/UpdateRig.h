#pragma once

// The update window on the live-monitoring rig: an ECU with firmware 01.39 and an image
// 01.40 of the same date, an installation of its own in the ECU's memory (saved too),
// the link connected and both identities read, Timer2 stopped as while the window is
// open, and the window loaded (not shown). Boxes are answered with the rig's answer.

#include "MonitorRig.h"
#include "common/MsgBoxCapture.h"
#include "firmware/FrmUpdate.h"
#include "sim/Faults.h"
#include "sim/Memory.h"

#include <QLabel>
#include <QPushButton>
#include <memory>

namespace firmware_test {

class UpdateRig {
public:
    explicit UpdateRig(int answer = support::vbYes,
                       const QString& ecuIdentity = "01.39 14/04/2010 LX735 SEQGAS T468");

    // The installation the ECU holds before the update.
    static sim::Memory Installation();

    // The engine stopped and the key off (or not).
    void Ready(bool ready);
    // Next, as many times as given.
    void Next(int times = 1);
    void Esc() { window->CmdEsc_Click(); }

    QString Text(const char* control) const;
    bool Shown(const char* control) const;
    // The image's bytes over the flash map, as the ECU should hold them.
    QByteArray ImageBytes();
    QByteArray FlashBytes() const;
    // Commands received from the first of command on (keep-alives left out).
    QList<quint8> CommandsFrom(quint8 command) const;
    // A fault on the command's next count requests, after skip of them passed.
    void AddFault(sim::FaultKind kind, quint8 command, int count, int skip = 0, double value = 0);
    // Silences the command's next count requests, after skip of them passed.
    void Silence(quint8 command, int count, int skip = 0) {
        AddFault(sim::FaultKind::Silence, command, count, skip);
    }
    // The line dies for downUsec at the command's request after skip of them passed.
    void HangUp(quint8 command, double downUsec, int skip = 0) {
        AddFault(sim::FaultKind::HangUp, command, 1, skip, downUsec);
    }
    // Requests that one failed try of an exchange costs (the send and its resends).
    int SendsPerTry() { return 1 + rig.ctx.Comm().NumReSend(); }

    monitor_test::MonitorRig rig;
    testing_support::MsgBoxCapture boxes;
    std::unique_ptr<firmware::FrmUpdate> window;
};

} // namespace firmware_test
