#pragma once

// Reply frames as the ECU sends them, built once for the benchmarks: every data byte
// varies, so that no decoder takes a shortcut on zeros.

#include "link/Frames.h"

#include <QByteArray>

namespace bench {

inline QByteArray Reply(quint8 command, int dataBytes) {
    QByteArray payload(1, '\0'); // status: good
    for (int i = 0; i < dataBytes; ++i) {
        payload.append(static_cast<char>((i * 37 + 11) & 0xFF));
    }
    return comm::BuildMsg(comm::ReplyHeader, comm::ReplyByte2, command, payload);
}

inline QByteArray Request(quint8 command) {
    return comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, command, QByteArray());
}

} // namespace bench
