#include "ViewerFiles.h"

#include "link/Frames.h"
#include "support/Conversions.h"

namespace viewer_test {

QString ReplyHex(const QByteArray& data) {
    QByteArray payload(1, '\0');
    payload += data;
    return support::ByteStrToHex(
        comm::BuildMsg(comm::ReplyHeader, comm::ReplyByte2, comm::CMD_READ_MEM1, payload));
}

QByteArray LiveData(quint16 period, qint16 gasTime) {
    QByteArray d(91, '\0');
    d[64] = static_cast<char>(period & 0xFF);
    d[65] = static_cast<char>(period >> 8);
    d[14] = static_cast<char>(gasTime & 0xFF);
    d[15] = static_cast<char>((gasTime >> 8) & 0xFF);
    return d;
}

QByteArray LogLine(qint64 ms, const QString& tag, const QString& text) {
    return ('"' + QString::number(ms) + " " + tag + " " + text + "\"\r\n").toLatin1();
}

ecudata::ConfigScale TestScale() {
    ecudata::ConfigScale s;
    s.K_Time_Inj_us = 0.008;
    s.K_gm = 15000000;
    s.K_Map_In_mBar = 2;
    s.K_Map_In_1_mBar = 3;
    s.K_Temp_c = 0.5;
    s.K_Temp_1_c = 0.25;
    s.K_Supply_V = 0.1;
    return s;
}

} // namespace viewer_test
