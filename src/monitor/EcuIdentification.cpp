#include "monitor/EcuIdentification.h"

#include "app/ProgramContext.h"
#include "ecudata/FirmwareImage.h"
#include "monitor/Monitor.h"
#include "support/Clock.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

#include <algorithm>

namespace monitor {

namespace {

const QString FirmwareTitle = " Firmware ";
const QString CrLf = "\r\n";
// A foreign ECU is reported at the 22nd mismatch in a row, and every 22nd after it.
constexpr quint8 SilentMismatches = 20;
// Off-line the poll timer asks after the image at every tick; the disk is asked at
// most this often (a missing image then stops the program within a second).
constexpr double FirmwareRecheckUsec = 1e6;

void FirmwareBox(const QString& text) {
    support::MsgBox(text, support::vbCritical, FirmwareTitle);
}

void Quit(Monitor& m) {
    m.ctx.Requests.FirmwareOk = false;
    m.ctx.Comm().LoadWDogSend();
    m.ctx.QuitRequest = true;
}

// The image's code empty: any ECU is of the right kind.
bool SameProject(const comm::ClsComm& link) {
    const QString image = link.DescProgettoFle_CODICE();
    return image.isEmpty() || link.DescProgettoEcu_CODICE().toUpper() == image.toUpper();
}

// Every identity byte 0xFF: the flash was erased by an update that did not finish. The
// ECU is ours to finish, whatever project the image names.
bool ErasedIdentity(const comm::ClsComm& link) {
    return ecudata::IsErasedIdentity(link.FirmwareEcu());
}

// The image read, and with an identity to compare.
bool ImageReadable(comm::ClsComm& link) {
    return ecudata::LoadFirmwareFileInfo(link) &&
           !ecudata::IsBlankImageIdentity(link.FirmwareFle());
}

// A different ECU, or another device answering on this port: the link restarts, on the
// next port when a search runs.
void RejectForeignProject(Monitor& m) {
    comm::ClsComm& link = m.ctx.Comm();
    if (m.FwMismatchCount > SilentMismatches) {
        FirmwareBox(m.ctx.Texts.MsgLive[3] + CrLf + CrLf + app::ReleaseText + CrLf + CrLf +
                    "Firmware Ecu " + link.FirmwareEcuVersStr() + " " + link.FirmwareEcuDataStr() +
                    " - " + link.FirmwareFleVersStr() + " " + link.FirmwareFleDataStr() + CrLf);
        m.FwMismatchCount = 0;
    } else {
        ++m.FwMismatchCount;
    }
    m.ctx.Requests.FirmwareOk = false;
    link.LoadWDogSend();
    link.ComState(comm::COM_RESTART);
    if (link.FlagRicercaCom() < comm::NoSearch) {
        link.FlagRicercaCom(link.FlagRicercaCom() + 1);
    }
}

// The update window completes the update (FirmwareOk) or the program ends.
void OpenUpdateWindow(Monitor& m) {
    m.hooks.DefaultPointer();
    {
        const Timer2Pause pause(m.hooks);
        m.hooks.ShowFrmUpdate();
    }
    m.ctx.QuitRequest = !m.ctx.Requests.FirmwareOk;
}

void ReportOlderImage(Monitor& m) {
    const comm::ClsComm& link = m.ctx.Comm();
    FirmwareBox(m.ctx.Texts.MsgLive[2] + CrLf + CrLf + app::ReleaseText + CrLf + CrLf +
                "Firmware Ecu  ver " + link.FirmwareEcuVersStr() + " - " +
                link.FirmwareEcuDataStr() + " - " + link.DescProgettoEcu_CLIENTE() + CrLf + CrLf +
                "Firmware File ver " + link.FirmwareFleVersStr() + " - " +
                link.FirmwareFleDataStr() + " - " + link.DescProgettoFle_CLIENTE() + CrLf);
    Quit(m);
}

// Same project, no update asked for: the versions decide.
void CompareVersions(Monitor& m) {
    const comm::ClsComm& link = m.ctx.Comm();
    const qint16 image = link.FirmwareFleVersNum();
    const qint16 ecu = link.FirmwareEcuVersNum();
    if (image == ecu) {
        if (support::IsDateNewer(link.FirmwareFleDataStr(), link.FirmwareEcuDataStr())) {
            m.hooks.MnuInfoAbout_Click(); // shows both identities and offers the update
        }
        m.ctx.Requests.FirmwareOk = true;
    } else if (image > ecu) {
        OpenUpdateWindow(m);
    } else {
        ReportOlderImage(m);
    }
}

// The port that answered becomes the configured port for the next start.
void EndSearch(Monitor& m) {
    comm::ClsComm& link = m.ctx.Comm();
    if (link.FlagRicercaCom() < comm::NoSearch) {
        link.FlagRicercaCom(comm::NoSearch);
        link.WriteSetCom("/BIN/SetCom.ini");
    }
    m.FwMismatchCount = 0;
}

// An identity read that fails is retried at the next tick. An image (or flash map) that
// cannot be read fails every time: the installer is told once, rather than left with a
// program that never starts polling.
void ReportUnreadableImage(Monitor& m) {
    if (m.ImageErrorShown || ImageReadable(m.ctx.Comm())) {
        return;
    }
    m.ImageErrorShown = true;
    FirmwareBox(m.ctx.FirmwareFilePath + " " + CrLf +
                support::Text(support::ProgramText::ImageUnreadable));
    m.ctx.Comm().LoadWDogSend();
}

} // namespace

void CompareEcuFirmware(Monitor& m) {
    app::ProgramContext& ctx = m.ctx;
    comm::ClsComm& link = ctx.Comm();
    const bool ready = link.ComState() == comm::COM_READY;
    const double now = support::GetTimeUsec();
    if (ready || now - m.FirmwareSeenUsec >= FirmwareRecheckUsec) {
        if (!support::IsFilePresent(ctx.FirmwareFilePath)) {
            FirmwareBox(ctx.FirmwareFilePath + " " + CrLf + ctx.Texts.MsgLive[1]);
            Quit(m);
            return;
        }
        m.FirmwareSeenUsec = now;
    }
    if (!ready) {
        return;
    }
    if (!ecudata::LoadFirmwareInfo(link) || ecudata::IsBlankImageIdentity(link.FirmwareFle())) {
        ReportUnreadableImage(m);
        return;
    }
    if (!ErasedIdentity(link) && !SameProject(link)) {
        RejectForeignProject(m);
        return;
    }
    if (ctx.UpdateRequest || ErasedIdentity(link)) {
        ctx.UpdateRequest = false;
        OpenUpdateWindow(m);
    } else {
        CompareVersions(m);
    }
    EndSearch(m);
}

} // namespace monitor
