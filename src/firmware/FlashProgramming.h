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

// The link is ready and the ECU has answered since the port was last opened.
bool LinkAlive(const comm::ClsComm& link);

// Waits until the link is alive (up to 15 s); True when it is.
bool WaitForLink(comm::ClsComm& link);

// How a repeated exchange ended.
enum class TryOutcome {
    Done,     // one try succeeded
    Failed,   // every try failed with the link alive before it
    LinkDown, // the link did not come back before a try: more tries cannot help
};

// Up to tries calls of exchange, each made once the link is alive.
TryOutcome TryExchange(comm::ClsComm& link, const std::function<bool()>& exchange, int tries = 3);

// TryExchange, True when it was done.
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
// Its two steps: the image's check (the box included), and the erase exchange.
bool ImageFitsFlash(comm::ClsComm& link, const QString& imagePath);
bool EraseFlash(comm::ClsComm& link);

// Writes the image's block at the flash address: "%OK" when written or blank (nothing
// sent), "%KO" when the exchange failed.
QString WriteMemoryToTab(comm::ClsComm& link, qint32 address);

struct BlockLoopResult {
    bool abandoned = false; // No answered to the question: nothing more is sent
    int notWritten = 0;     // blocks with data that were skipped or never reached
};

// What the block loop shows and asks while it runs.
struct BlockLoopView {
    std::function<void(qint64)> progress = [](qint64) {}; // the offset of each block done
    // The link is down and the loop waits for it (True), or the wait has ended (False).
    std::function<void(bool)> linkDown = [](bool) {};
    // The installer leaves instead of waiting for the link.
    std::function<bool()> givenUp = [] { return false; };
};

// Every block from the flash base to LargFlash, three tries each. A block that fails
// asks once in the loop whether to go on; No abandons. With the link alive the block is
// left unwritten; with the link down the loop waits for it, however long, and then
// writes that block again. The loop ends early when the ECU is not known to take blocks
// (after a block left unwritten the link has restarted, so it never is).
BlockLoopResult WriteFlashBlocks(comm::ClsComm& link, const BlockLoopView& view);

// Ends the write (the link holds 10 s while the ECU restarts) and waits 4 s more; False
// when the exchange failed.
bool WriteFlashEnd(comm::ClsComm& link);

} // namespace firmware
