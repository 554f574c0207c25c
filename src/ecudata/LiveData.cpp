#include "ecudata/LiveData.h"

#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/ZoneCodec.h"
#include "support/Clock.h"
#include "support/Conversions.h"

#include <cmath>

namespace ecudata {

namespace {

constexpr double LambdaVoltsPerCount = 0.0048828125; // 5 / 1024 V
constexpr float OutputMvPerCount = 19.607843f;

// The per-injector arrays travel with element 7 first.
template <class Decode>
void ReadInjectors(std::array<double, 8>& times, double scale, Decode decode) {
    for (int i = 7; i >= 0; --i) {
        times[i] = decode() * scale;
    }
}

double RpmFromPeriod(qint32 period, const EcuImages& images, const ConfigScale& scale) {
    if (period == 0) {
        return 0;
    }
    if (images.Mem2Data.Flags & 0x40) {
        return std::nearbyint(static_cast<double>(scale.RpmClock) / period);
    }
    return scale.K_gm / period;
}

qint32 OutputMv(quint8 code) {
    return static_cast<qint32>(std::nearbyint(static_cast<float>(code) * OutputMvPerCount));
}

} // namespace

bool ParseMem1(const QByteArray& reply, EcuImages& images, const ConfigScale& scale) {
    const QByteArray data = ReplyData(reply);
    if (data.size() < Mem1WireSize) {
        return false;
    }
    images.Mem1Prev = images.Mem1Data;
    Mem1Rec& m = images.Mem1Data;
    m.TimeStamp = support::GetTimeUsec() / 1000;

    HexReader r(support::ByteStrToHex(data));
    const double k = scale.K_Time_Inj_us;
    ReadInjectors(m.TInjGas, k, [&] { return r.Int16(); });
    ReadInjectors(m.TInjBenz, k, [&] { return r.UInt16(); });
    ReadInjectors(m.TInjAux, k, [&] { return r.UInt16(); });
    ReadInjectors(m.TInjGasBar, k, [&] { return r.Int16(); });
    m.Rpm = RpmFromPeriod(r.UInt16(), images, scale);
    m.PressGas = r.UInt16() * scale.K_Map_In_mBar;
    m.Press2 = r.UInt16() * scale.K_Map_In_1_mBar;
    m.Lambda1 = static_cast<float>(r.UInt16() * LambdaVoltsPerCount);
    m.StatusKey = r.Byte();
    m.StatusKeyHigh = m.StatusKey / 16;
    m.StatusEv1 = r.Byte();
    m.StatusEv2 = r.Byte();
    m.Level1 = r.Byte() * 4;
    m.Level2 = r.Byte() * 4;
    m.Temp = r.Int16() * scale.K_Temp_c;
    m.Temp1 = r.Int16() * scale.K_Temp_1_c;
    m.Supply = r.UInt16() * scale.K_Supply_V;
    m.LevelLamps = r.UInt16();
    m.Vacuum = r.UInt16() * scale.K_Map_In_1_mBar;
    m.Lambda2 = static_cast<float>(r.UInt16() * LambdaVoltsPerCount);
    m.LambdaOut1 = OutputMv(r.Byte());
    m.LambdaOut2 = OutputMv(r.Byte());
    ++images.AcceptedReplies[ReplyCmd(reply)];
    return true;
}

} // namespace ecudata
