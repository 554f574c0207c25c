#include "ecudata/MapSamples.h"

#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/ZoneCodec.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "support/Conversions.h"

#include <cmath>

namespace ecudata {

namespace {

constexpr int PointsPerPart = 30;

// The value brought to the nearest multiple of step (an exact half to the even one).
double ToStep(double value, double step) {
    return std::nearbyint(value / step) * step;
}

bool ParseSmpl(const QByteArray& frame, quint8 part, MapArray& times, MapArray& press,
               EcuImages& images, const ConfigScale& scale) {
    images.MapChanged = true;
    const QByteArray data = ReplyData(frame);
    if (data.size() < SmplWireSize) {
        return false;
    }
    HexReader r(support::ByteStrToHex(data));
    r.Byte(); // not used
    const int base = part != 0 ? PointsPerPart : 0;
    for (int i = base; i < base + PointsPerPart; ++i) {
        times[i] = ToStep(r.UInt16() * scale.K_Time_Inj_us, 0.2);
        press[i] = ToStep(r.UInt16() * scale.K_Map_In_mBar, 20);
        if (times[i] > MaxSampleMs || press[i] > MaxSampleMbar) {
            times[i] = 0;
            press[i] = 0;
        }
    }
    ++images.AcceptedReplies[ReplyCmd(frame)];
    return true;
}

void ClearSmpl(MapArray& times, MapArray& press) {
    for (int i = 0; i < 2 * PointsPerPart; ++i) {
        times[i] = 0;
        press[i] = 0;
    }
}

} // namespace

bool ParseSmplBnz(const QByteArray& frame, quint8 part, EcuImages& images,
                  const ConfigScale& scale) {
    return ParseSmpl(frame, part, images.MapTinjBnz, images.MapVacmBnz, images, scale);
}

bool ParseSmplGas(const QByteArray& frame, quint8 part, EcuImages& images,
                  const ConfigScale& scale) {
    return ParseSmpl(frame, part, images.MapTinjGas, images.MapVacmGas, images, scale);
}

void ClearSmplBnz(EcuImages& images) {
    ClearSmpl(images.MapTinjBnz, images.MapVacmBnz);
}

void ClearSmplGas(EcuImages& images) {
    ClearSmpl(images.MapTinjGas, images.MapVacmGas);
}

bool ReadSmplBnz(comm::ClsComm& link, const EcuImages& images) {
    SendParsedRead(link, comm::CMD_READ_SMPL_BNZ, images);
    return SendParsedRead(link, comm::CMD_READ_SMPL_BNZ1, images);
}

bool ReadSmplGas(comm::ClsComm& link, const EcuImages& images) {
    SendParsedRead(link, comm::CMD_READ_SMPL_GAS, images);
    return SendParsedRead(link, comm::CMD_READ_SMPL_GAS1, images);
}

bool CancSmplBnz(comm::ClsComm& link) {
    return SendRequest(link, comm::CMD_CANC_SMPL_BNZ);
}

bool CancSmplGas(comm::ClsComm& link) {
    return SendRequest(link, comm::CMD_CANC_SMPL_GAS);
}

} // namespace ecudata
