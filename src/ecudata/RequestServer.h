#pragma once

// The server of pending requests. Pages raise request flags (EcuRequests); the poll
// timer calls ServeEcuRequest, which serves the first raised flag in a fixed order with
// one exchange, while the link is idle and the ECU has been accepted. Writes come
// first, each only after its zone has been read afresh, and each is followed by a
// read-back. A request whose exchange fails stays raised and is served again.

#include <QByteArray>
#include <QtGlobal>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct EcuImages;
struct EcuModel;

enum ZoneId : quint8 {
    ZoneLive = 1,    // live data, read only
    ZoneMem2 = 2,    // parameter record 2
    ZoneMem3 = 3,    // parameter record 3
    ZoneEmula = 4,   // lambda-emulation block
    ZoneTestRec = 6, // test-record data, read only
};

// Serves at most one raised flag.
void ServeEcuRequest(comm::ClsComm& link, EcuModel& model);

// Reads a zone; False without sending for a zone without a read command.
bool SendReadZone(comm::ClsComm& link, quint8 zone, EcuModel& model);

// Writes zone 2, 3 or 4 as shown: its pending edits merged into the image as read;
// False without sending for any other zone. A write that fails keeps its pending edits
// for the retry, and one the ECU refused on every try is marked for the installer to be
// told.
bool SendWriteZone(comm::ClsComm& link, quint8 zone, EcuModel& model);

// CMD_SAVE_FLASH with the lengthened reply wait; the configured wait is restored
// whatever the outcome.
bool SendSaveFlash(comm::ClsComm& link);

// CMD_SET_ECU_SLAVE when the ECU runs, CMD_SET_ECU_RUN when it is in slave mode (by the
// last zone-2 read); False without sending for any other state.
bool ToggleEcuMode(comm::ClsComm& link, const EcuImages& images);

// Writes Mem2Write merged into Mem2Data. On failure the pending edits go back into the
// copy (wanted flag states are safe to send again whether or not they landed).
bool WriteMem2(comm::ClsComm& link, EcuModel& model);

} // namespace ecudata
