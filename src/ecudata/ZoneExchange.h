#pragma once

// One request to the ECU and the judgement of its reply, as every zone procedure makes
// it: the request frame goes out through the link's send-and-wait, and an exchange
// counts as done only when the reply the request asked for was stored.

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct EcuImages;

// Sends a request ("A", 0x02, command, payload) and waits; True when its good reply
// came.
bool SendRequest(comm::ClsComm& link, quint8 command, const QByteArray& payload = {});

// A read whose reply a zone parser stores: True only when the parser accepted it (a
// short reply is a failed read).
bool SendParsedRead(comm::ClsComm& link, quint8 command, const EcuImages& images);

// A read whose data the dispatcher queues: the queue is emptied first, so that data
// left by an earlier, aborted read are not taken for this one. The data, or nothing
// when the exchange failed.
std::optional<QByteArray> SendQueuedRead(comm::ClsComm& link, quint8 command,
                                         const QByteArray& payload = {});

} // namespace ecudata
