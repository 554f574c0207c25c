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

namespace firmware {

namespace {

constexpr double LinkWaitUsec = 15e6;
constexpr double LinkPollUsec = 10000;
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

bool WaitForLink(comm::ClsComm& link) {
    const double giveUpAt = support::GetTimeUsec() + LinkWaitUsec;
    while (link.ComState() != comm::COM_READY) {
        if (support::GetTimeUsec() > giveUpAt) {
            return false;
        }
        support::WaitUsec(LinkPollUsec);
    }
    return true;
}

bool Retry(comm::ClsComm& link, const std::function<bool()>& exchange, int tries) {
    for (int i = 0; i < tries; ++i) {
        WaitForLink(link);
        if (exchange()) {
            return true;
        }
    }
    return false;
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

bool EraseAllFlash(comm::ClsComm& link, const QString& imagePath) {
    const QStringList addresses = ecudata::ReadFirmwareAddresses(imagePath, link);
    if (addresses.contains(QString()) || link.LargFlash() <= 0) {
        support::MsgBox(NotLoadedText, support::vbExclamation, FrmUpdateTitle);
        return false;
    }
    if (!AnyAddressInMap(link, addresses)) {
        return false;
    }
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

BlockLoopResult WriteFlashBlocks(comm::ClsComm& link, const std::function<void(qint64)>& progress) {
    const qint32 limit = link.LargFlash();
    const qint32 base = *link.BFlash(0, 0);
    const qsizetype withData = NonBlankBlockOffsets(link, limit).size();
    BlockLoopResult result;
    int written = 0;
    for (qint64 offset = 0; offset <= limit; offset += FlashBlockSize) {
        const qint32 address = static_cast<qint32>(base + offset);
        // A blank block sends nothing, so it never waits for the link either.
        const bool blank = IsBlankBlock(FlashBlockData(link, offset));
        const bool ok = blank || Retry(link, [&] { return WriteMemoryToTab(link, address) == Ok; });
        if (ok && !blank) {
            ++written;
        }
        if (!ok && support::MsgBox(ComErrorText + "\r\n\r\n" + ContinueText, support::vbYesNo,
                                   QuestionTitle) != support::vbYes) {
            result.abandoned = true;
            break;
        }
        if (link.EcuState() != comm::ECU_FLASH_WRT) {
            break;
        }
        progress(offset);
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
