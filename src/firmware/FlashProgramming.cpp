#include "firmware/FlashProgramming.h"

#include "ecudata/FirmwareImage.h"
#include "ecudata/ZoneExchange.h"
#include "firmware/FlashBlocks.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"
#include "support/Clock.h"
#include "support/MessageBox.h"

#include <QList>
#include <QStringList>
#include <utility>

namespace firmware {

namespace {

constexpr double LinkWaitUsec = 15e6;
constexpr double FlashEndPauseUsec = 4e6;
constexpr int BFlashRows = 14;
const QString ComErrorText = QStringLiteral("COMUNICATION ERROR, SEND MESSAGE");
const QString NotLoadedText = QStringLiteral("Il Programma non è stato Caricato Correttamente !");
const QString ContinueText = QStringLiteral("YES TO CONTINUE!");
const QString QuestionTitle = FrmUpdateTitle + " - ScaricaFirmwareDefaultParametri ";
const QString Ok = QStringLiteral("%OK");
const QString Ko = QStringLiteral("%KO");
const QByteArray NoArea(1, '\0');

// A slow command: the reply wait times MolAttesaGlobale, restored on every path out.
class SlowReplyWait {
public:
    explicit SlowReplyWait(comm::ClsComm& link) : link_(link) {
        link_.AttesaGlobale_usec(link_.AttesaGlobale_usec() * link_.MolAttesaGlobale());
    }
    ~SlowReplyWait() { link_.AttesaGlobale_usec_Default(); }
    SlowReplyWait(const SlowReplyWait&) = delete;
    SlowReplyWait& operator=(const SlowReplyWait&) = delete;

private:
    comm::ClsComm& link_;
};

// At least one address of the image lies in a row of the flash map.
bool AnyAddressInMap(const comm::ClsComm& link, const QStringList& addresses) {
    for (const QString& text : addresses) {
        bool ok = false;
        const qint64 a = text.toLongLong(&ok, 16);
        for (int row = 0; ok && row < BFlashRows; ++row) {
            if (*link.BFlash(row, 0) <= a && a <= *link.BFlash(row, 1)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool LinkAlive(const comm::ClsComm& link) {
    return link.ComState() == comm::COM_READY && !link.WDogPresente();
}

bool WaitForLink(comm::ClsComm& link) {
    return support::WaitUntil([&] { return LinkAlive(link); }, LinkWaitUsec);
}

TryOutcome TryExchange(comm::ClsComm& link, const std::function<bool()>& exchange, int tries) {
    for (int i = 0; i < tries; ++i) {
        if (!WaitForLink(link)) {
            return TryOutcome::LinkDown;
        }
        if (exchange()) {
            return TryOutcome::Done;
        }
    }
    return TryOutcome::Failed;
}

bool Retry(comm::ClsComm& link, const std::function<bool()>& exchange, int tries) {
    return TryExchange(link, exchange, tries) == TryOutcome::Done;
}

bool SetEcuPrg(comm::ClsComm& link) {
    if (link.EcuState() == comm::ECU_FLASH_WRT) {
        return true;
    }
    bool ok = false;
    {
        const SlowReplyWait slow(link);
        WaitForLink(link);
        ok = ecudata::SendRequest(link, comm::CMD_SET_ECU_PRG, NoArea) &&
             link.ComState() != comm::COM_RESTART;
    }
    if (!ok) {
        support::MsgBox(ComErrorText, support::vbCritical, FrmUpdateTitle);
    }
    return ok;
}

bool ImageFitsFlash(comm::ClsComm& link, const QString& imagePath) {
    const QStringList addresses = ecudata::ReadFirmwareAddresses(imagePath, link);
    if (addresses.contains(QString()) || link.LargFlash() <= 0) {
        support::MsgBox(NotLoadedText, support::vbExclamation, FrmUpdateTitle);
        return false;
    }
    return AnyAddressInMap(link, addresses);
}

bool EraseAllFlash(comm::ClsComm& link, const QString& imagePath) {
    return ImageFitsFlash(link, imagePath) && EraseFlash(link);
}

bool EraseFlash(comm::ClsComm& link) {
    bool erased = false;
    {
        const SlowReplyWait slow(link);
        WaitForLink(link);
        erased = ecudata::SendRequest(link, comm::CMD_ERASE_FLASH, NoArea);
    }
    return erased && link.EcuState() == comm::ECU_FLASH_WRT;
}

QString WriteMemoryToTab(comm::ClsComm& link, qint32 address) {
    const QByteArray data = FlashBlockData(link, address - *link.BFlash(0, 0));
    if (IsBlankBlock(data)) {
        return Ok;
    }
    const bool sent =
        comm::SendMsgAndWait(link, BuildFlashBlockFrame(address, data)) && !link.WDogPresente();
    return sent ? Ok : Ko;
}

namespace {

enum class BlockEnd { Written, Skipped, Abandoned };

bool GoOnAsked() {
    return support::MsgBox(ComErrorText + "\r\n\r\n" + ContinueText, support::vbYesNo,
                           QuestionTitle) == support::vbYes;
}

// Shows the link down until it is alive again; False when the installer gave up first.
bool WaitForLinkBack(comm::ClsComm& link, const BlockLoopView& view) {
    view.linkDown(true);
    const auto over = [&] { return LinkAlive(link) || view.givenUp(); };
    while (!over()) {
        support::WaitUntil(over, LinkWaitUsec);
    }
    view.linkDown(false);
    return !view.givenUp();
}

// The block's tries. The question comes once in the loop (asked): answering it again
// cannot help while the link is down, so a block that failed with the link down is
// written again once the link is back, and one the live ECU did not take stays unwritten.
BlockEnd WriteBlock(comm::ClsComm& link, const BlockLoopView& view, qint32 address, bool& asked) {
    const auto write = [&] { return WriteMemoryToTab(link, address) == Ok; };
    for (TryOutcome outcome = TryExchange(link, write); outcome != TryOutcome::Done;
         outcome = TryExchange(link, write)) {
        if (!std::exchange(asked, true) && !GoOnAsked()) {
            return BlockEnd::Abandoned;
        }
        if (outcome == TryOutcome::Failed) {
            return BlockEnd::Skipped;
        }
        if (!WaitForLinkBack(link, view)) {
            return BlockEnd::Abandoned;
        }
    }
    return BlockEnd::Written;
}

} // namespace

BlockLoopResult WriteFlashBlocks(comm::ClsComm& link, const BlockLoopView& view) {
    const qint32 limit = link.LargFlash();
    const qint32 base = *link.BFlash(0, 0);
    const qsizetype withData = NonBlankBlockOffsets(link, limit).size();
    BlockLoopResult result;
    int written = 0;
    bool asked = false;
    for (qint64 offset = 0; offset <= limit; offset += FlashBlockSize) {
        // A blank block sends nothing, so it never waits for the link either.
        if (!IsBlankBlock(FlashBlockData(link, offset))) {
            const BlockEnd end = WriteBlock(link, view, static_cast<qint32>(base + offset), asked);
            if (end == BlockEnd::Abandoned) {
                result.abandoned = true;
                break;
            }
            written += end == BlockEnd::Written ? 1 : 0;
        }
        if (link.EcuState() != comm::ECU_FLASH_WRT) {
            break;
        }
        view.progress(offset);
    }
    result.notWritten = static_cast<int>(withData) - written;
    return result;
}

bool WriteFlashEnd(comm::ClsComm& link) {
    WaitForLink(link);
    if (!ecudata::SendRequest(link, comm::CMD_WRT_FLASH_END)) {
        return false;
    }
    support::PauseUsec(FlashEndPauseUsec);
    return true;
}

} // namespace firmware
