#include "ecudata/ZoneExchange.h"

#include "ecudata/EcuImages.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"

namespace ecudata {

bool SendRequest(comm::ClsComm& link, quint8 command, const QByteArray& payload) {
    const QByteArray frame = comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, command, payload);
    return !frame.isEmpty() && comm::SendMsgAndWait(link, frame) && !link.WDogPresente();
}

bool SendParsedRead(comm::ClsComm& link, quint8 command, const EcuImages& images) {
    const quint32 before = images.AcceptedReplies[command];
    return SendRequest(link, command) && images.AcceptedReplies[command] != before;
}

std::optional<QByteArray> SendQueuedRead(comm::ClsComm& link, quint8 command,
                                         const QByteArray& payload) {
    comm::ReplyQueue& queue = link.Replies();
    while (queue.Pending() > 0) {
        queue.PopReplyQueue();
    }
    if (!SendRequest(link, command, payload)) {
        return std::nullopt;
    }
    return queue.PopReplyQueue();
}

} // namespace ecudata
