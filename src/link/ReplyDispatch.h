#pragma once

// What a good reply does: zone data go to the ECU images' parsers (through the link's
// host), values to the link object, modes to EcuState, and the data of table and
// identity reads to the reply-data queue, where the requester takes them.

#include <QByteArray>
#include <QString>

namespace comm {

class ClsComm;

inline const QString SetComIniPath = QStringLiteral("/BIN/SetCom.ini");

// Acts on the reply in InBuffer by its command byte; OutBuffer holds the request.
void DispatchReply(ClsComm& link);

void DecodeMemZoneReply(ClsComm& link);
void DecodeErrInjReply(ClsComm& link);
void DecodeFirmwareReply(ClsComm& link);

void PushReplyQueue(ClsComm& link, const QByteArray& data);
QByteArray PopReplyQueue(ClsComm& link);

} // namespace comm
