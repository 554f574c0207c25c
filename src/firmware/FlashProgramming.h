#pragma once

// The operations with which the update window re-programs the ECU's flash: programming
// mode, the erase (after the image's addresses were checked against the flash map), the
// 128-byte block writes with their loop, and the end of the write. Every exchange is
// made once the link is ready: a try that finds the link restarting first waits for it.

#include <QString>
#include <QtGlobal>
#include <functional>

namespace comm {
class ClsComm;
}

namespace firmware {

// The window's caption, the title of every box of the update.
inline const QString FrmUpdateTitle = QStringLiteral("FrmUpdate");

// Waits until the link is ready (up to 15 s); True when it is.
bool WaitForLink(comm::ClsComm& link);

// Up to tries calls of exchange, each made once the link is ready; True at the first
// that succeeds.
bool Retry(comm::ClsComm& link, const std::function<bool()>& exchange, int tries = 3);

// The ECU into programming mode: True at once when it already takes blocks
// (ECU_FLASH_WRT); a failed exchange or a link restarting afterwards shows the
// communication-error box and gives False. The reply wait is lengthened for it.
bool SetEcuPrg(comm::ClsComm& link);

// Checks the image's S2 addresses against the flash map and erases the whole flash. A
// missing image, one without records, or a flash map of no width shows the
// not-loaded box (False, nothing erased); no address inside the map gives False
// silently. True only when the erase exchange succeeded and the ECU takes blocks.
bool EraseAllFlash(comm::ClsComm& link, const QString& imagePath);

// Writes the image's block at the flash address: "%OK" when written or blank (nothing
// sent), "%KO" when the exchange failed.
QString WriteMemoryToTab(comm::ClsComm& link, qint32 address);

struct BlockLoopResult {
    bool abandoned = false; // No answered to the question: nothing more is sent
    int notWritten = 0;     // blocks with data that were skipped or never reached
};

// Every block from the flash base to LargFlash, three tries each; a block that fails
// three times asks whether to go on (Yes skips it). The loop ends early when the ECU no
// longer takes blocks. progress gets the offset of each block done.
BlockLoopResult WriteFlashBlocks(comm::ClsComm& link, const std::function<void(qint64)>& progress);

// Ends the write (the link holds 10 s while the ECU restarts) and waits 4 s more; False
// when the exchange failed.
bool WriteFlashEnd(comm::ClsComm& link);

} // namespace firmware
