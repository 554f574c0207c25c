#include "ecudata/ParamRecords.h"

#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/ZoneCodec.h"
#include "support/Conversions.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace ecudata {

namespace {

// How a zone-3 field is read and written, besides its width.
enum class Rule {
    Plain,     // the raw value
    Coils,     // outside 1..8 reads as 4
    Cylinders, // the same; an edit also rebuilds the pages
    ChangeRpm, // a period of K_gm on the wire, rpm in the record
    Direct,    // anything but 1 reads as 0
    Threshold, // a wire value above 32767 leaves the element as it was
    Hundreds,  // wire x 100; written value \ 100
    Steps25,   // wire x 25; written value \ 25
    TempC,     // wire x K_Temp_c
    TimeInj,   // wire x K_Time_Inj_us
    TimePwm,   // wire x K_Time_Pwm_us
    TimerGen,  // wire x K_Timer_Gen_us
    MapMbar,   // wire x K_Map_In_mBar
    CylTime,   // signed wire x K_Time_Inj_us; no-edit marker 99999999.0
};

struct FieldSpec {
    int bytes;
    Rule rule;
    HexConv conv = HexConv::Int32;
};

// Calls fn(def, field of each record...) for every zone-3 field in wire order.
template <class Fn, class... Recs> void VisitMem3(Fn&& fn, Recs&... r) {
    const HexConv dbl = HexConv::Double;
    fn(FieldSpec{1, Rule::Coils}, r.Bobine...);
    fn(FieldSpec{1, Rule::Cylinders}, r.Cilindri...);
    fn(FieldSpec{2, Rule::TempC}, r.SwitchTemp...);
    fn(FieldSpec{2, Rule::ChangeRpm}, r.SwitchRpm...);
    fn(FieldSpec{1, Rule::Plain}, r.InjType...);
    fn(FieldSpec{1, Rule::Plain}, r.FuelType...);
    fn(FieldSpec{2, Rule::TimeInj, dbl}, r.InjTime...);
    fn(FieldSpec{2, Rule::TimePwm, dbl}, r.InjPwm1...);
    fn(FieldSpec{2, Rule::TimePwm, dbl}, r.InjPwm2...);
    for (int i = 7; i >= 0; --i) {
        fn(FieldSpec{1, Rule::Plain, dbl}, r.CylState[i]...);
    }
    for (int i = 7; i >= 0; --i) {
        fn(FieldSpec{2, Rule::CylTime, HexConv::Int16}, r.CylTime[i]...);
    }
    fn(FieldSpec{1, Rule::Plain, dbl}, r.LevelType...);
    fn(FieldSpec{1, Rule::Plain, dbl}, r.Param121...);
    for (int i = 0; i < 6; ++i) {
        fn(FieldSpec{2, Rule::Threshold, dbl}, r.LevelThr[i]...);
    }
    fn(FieldSpec{1, Rule::Direct, dbl}, r.SwitchDrect...);
    fn(FieldSpec{1, Rule::Hundreds}, r.Isteresi...);
    fn(FieldSpec{1, Rule::Steps25}, r.SwitchSeq...);
    fn(FieldSpec{2, Rule::TimerGen}, r.SwitchDelay...);
    fn(FieldSpec{1, Rule::Hundreds}, r.Param152...);
    fn(FieldSpec{1, Rule::Hundreds}, r.Param156...);
    fn(FieldSpec{2, Rule::TimerGen}, r.SwitchForce...);
    fn(FieldSpec{1, Rule::Plain, dbl}, r.LambdaSwitch...);
    fn(FieldSpec{2, Rule::MapMbar}, r.EndGasPress...);
    fn(FieldSpec{2, Rule::TimerGen}, r.DelayPress...);
    fn(FieldSpec{1, Rule::Plain}, r.ExpertFlags...);
    fn(FieldSpec{1, Rule::Plain}, r.EmptyGas...);
    fn(FieldSpec{1, Rule::Hundreds}, r.MaxPowerSoh...);
    fn(FieldSpec{1, Rule::Hundreds}, r.RpmLow...);
    fn(FieldSpec{1, Rule::Hundreds}, r.RpmHigh...);
    fn(FieldSpec{1, Rule::Plain}, r.TypSensTemp...);
    fn(FieldSpec{1, Rule::Plain}, r.TypSensMap...);
    fn(FieldSpec{1, Rule::Plain}, r.BadBit...);
}

template <class T> T Marker(const FieldSpec& def) {
    if constexpr (std::is_same_v<T, quint8>) {
        return 255;
    } else if constexpr (std::is_same_v<T, double>) {
        return def.rule == Rule::CylTime ? CylTimeNoEdit : -1.0;
    } else {
        return -1;
    }
}

template <class T> bool Pending(const FieldSpec& def, T value) {
    if constexpr (std::is_same_v<T, quint8>) {
        return value < 255;
    } else if constexpr (std::is_same_v<T, double>) {
        return def.rule == Rule::CylTime ? value != CylTimeNoEdit : value > -1.0;
    } else {
        return value > -1;
    }
}

double Multiplier(Rule rule, const ConfigScale& scale) {
    switch (rule) {
    case Rule::Hundreds:
        return 100;
    case Rule::Steps25:
        return 25;
    case Rule::TempC:
        return scale.K_Temp_c;
    case Rule::TimeInj:
    case Rule::CylTime:
        return scale.K_Time_Inj_us;
    case Rule::TimePwm:
        return scale.K_Time_Pwm_us;
    case Rule::TimerGen:
        return scale.K_Timer_Gen_us;
    case Rule::MapMbar:
        return scale.K_Map_In_mBar;
    default:
        return 1;
    }
}

// rpm from the wire period; 65535 and 0 mean no change-over rpm.
double RpmOfPeriod(qint32 period, double kgm) {
    if (period == 65535 || period <= 0) {
        return 0;
    }
    return std::nearbyint(kgm / period);
}

void WriteChangeRpm(HexWriter& w, double rpm, double kgm) {
    const double period = rpm > 0 ? kgm / rpm : 0;
    if (rpm <= 0 || period > 65535) {
        w.Raw("FFFF");
    } else {
        w.Word(period);
    }
}

template <class T>
void WriteField(HexWriter& w, const FieldSpec& def, T value, const ConfigScale& scale) {
    double v = static_cast<double>(value);
    switch (def.rule) {
    case Rule::ChangeRpm:
        WriteChangeRpm(w, v, scale.K_gm);
        return;
    case Rule::Hundreds:
    case Rule::Steps25:
        // Integer division that truncates towards zero.
        v = static_cast<double>(static_cast<qint64>(value) /
                                static_cast<qint64>(Multiplier(def.rule, scale)));
        break;
    default:
        v /= Multiplier(def.rule, scale);
        break;
    }
    if (def.bytes == 1) {
        w.Byte(v, def.conv);
    } else {
        w.Word(v, def.conv);
    }
}

// A pending edit of the coil or cylinder count or of the change-over rpm changes the
// clock constant with which the rpm goes out.
void AfterMem3Edit(Rule rule, Mem3Rec& record, Mem3Rec& copy, ConfigScale& scale,
                   EcuRequests& requests) {
    if (rule != Rule::Coils && rule != Rule::Cylinders && rule != Rule::ChangeRpm) {
        return;
    }
    scale.K_gm = CalcRpmConst(record);
    if (rule == Rule::ChangeRpm) {
        return;
    }
    if (!Pending(FieldSpec{2, Rule::ChangeRpm}, copy.SwitchRpm)) {
        copy.SwitchRpm = record.SwitchRpm;
    }
    if (rule == Rule::Cylinders) {
        requests.RefreshPending = true;
    }
}

bool ValidCount(qint32 n) {
    return n >= 1 && n <= 8;
}

} // namespace

bool ParseMem2(const QByteArray& reply, EcuImages& images, ConfigScale& scale) {
    const QByteArray data = ReplyData(reply);
    if (data.size() < Mem2WireSize) {
        return false;
    }
    HexReader r(support::ByteStrToHex(data));
    Mem2Rec& m = images.Mem2Data;
    m.ModeReq = r.Byte();
    m.FuelState = r.Byte();
    m.EcuRunState = r.Byte();
    m.HoursGas = r.UInt32();
    m.HoursBenz = r.UInt32();
    m.Flags = r.Byte();
    m.SwitchRpmPeriod = r.UInt16();
    m.FlagsMask = 0;
    scale.RpmClock = GetRpmClock(m.Flags);
    images.Blocks.SetRead(EditBlock::Mem2);
    ++images.AcceptedReplies[ReplyCmd(reply)];
    return true;
}

bool ParseMem3(const QByteArray& reply, EcuImages& images, EcuRequests& requests,
               ConfigScale& scale) {
    const QByteArray data = ReplyData(reply);
    if (data.size() < Mem3WireSize) {
        return false;
    }
    images.Mem3Prev = images.Mem3Data;
    Mem3Rec& m = images.Mem3Data;
    HexReader r(support::ByteStrToHex(data));
    VisitMem3(
        [&](const FieldSpec& def, auto& field) {
            using T = std::remove_reference_t<decltype(field)>;
            const qint32 raw = def.bytes == 1              ? r.Byte()
                               : def.rule == Rule::CylTime ? r.Int16()
                                                           : r.UInt16();
            switch (def.rule) {
            case Rule::Coils:
            case Rule::Cylinders:
                if (ValidCount(raw)) {
                    field = static_cast<T>(raw);
                    return;
                }
                field = 4;
                (def.rule == Rule::Coils ? images.Mem3Write.Bobine : images.Mem3Write.Cilindri) = 4;
                requests.Mem3WriteCountdown = 1.0;
                return;
            case Rule::ChangeRpm:
                scale.K_gm = CalcRpmConst(m);
                field = static_cast<T>(RpmOfPeriod(raw, scale.K_gm));
                return;
            case Rule::Direct:
                field = static_cast<T>(raw == 1 ? 1 : 0);
                return;
            case Rule::Threshold:
                if (raw <= 32767) {
                    field = static_cast<T>(raw);
                }
                return;
            default:
                field = static_cast<T>(raw * Multiplier(def.rule, scale));
                return;
            }
        },
        m);
    images.Mem3Changed = CmpMem3(images.Mem3Data, images.Mem3Prev);
    images.Blocks.SetRead(EditBlock::Mem3);
    ++images.AcceptedReplies[ReplyCmd(reply)];
    return true;
}

bool CmpMem3(const Mem3Rec& a, const Mem3Rec& b) {
    return !(a == b);
}

QByteArray BuildMem2(Mem2Rec& record, Mem2Rec& copy) {
    HexWriter w;
    if (copy.ModeReq < 255) {
        record.ModeReq = copy.ModeReq;
        copy.ModeReq = 255;
    }
    w.Byte(record.ModeReq);
    w.Byte(record.FuelState);
    w.Byte(record.EcuRunState);
    for (auto hours : {&Mem2Rec::HoursGas, &Mem2Rec::HoursBenz}) {
        if (copy.*hours != 0) {
            record.*hours = copy.*hours;
            copy.*hours = 0;
        }
        w.Long(record.*hours);
    }
    if (copy.FlagsMask != 0) {
        record.Flags = quint8((record.Flags & ~copy.FlagsMask) | (copy.Flags & copy.FlagsMask));
        copy.Flags = copy.FlagsMask = 0;
    }
    w.Byte(record.Flags);
    if (copy.SwitchRpmPeriod > -1.0) {
        record.SwitchRpmPeriod = copy.SwitchRpmPeriod;
        copy.SwitchRpmPeriod = -1.0;
    }
    w.Word(record.SwitchRpmPeriod, HexConv::Double);
    QString hex = w.Text();
    return support::HexToByteStr(hex);
}

QByteArray BuildMem3(Mem3Rec& record, Mem3Rec& copy, ConfigScale& scale, EcuRequests& requests) {
    HexWriter w;
    VisitMem3(
        [&](const FieldSpec& def, auto& field, auto& edit) {
            using T = std::remove_reference_t<decltype(field)>;
            if (Pending(def, edit)) {
                field = edit;
                edit = Marker<T>(def);
                AfterMem3Edit(def.rule, record, copy, scale, requests);
            }
            WriteField(w, def, field, scale);
        },
        record, copy);
    QString hex = w.Text();
    return support::HexToByteStr(hex);
}

void RestoreMem2Edits(Mem2Rec& copy, const Mem2Rec& taken) {
    if (copy.ModeReq == 255) {
        copy.ModeReq = taken.ModeReq;
    }
    for (auto hours : {&Mem2Rec::HoursGas, &Mem2Rec::HoursBenz}) {
        if (copy.*hours == 0) {
            copy.*hours = taken.*hours;
        }
    }
    if (!(copy.SwitchRpmPeriod > -1.0)) {
        copy.SwitchRpmPeriod = taken.SwitchRpmPeriod;
    }
    const quint8 back = quint8(taken.FlagsMask & ~copy.FlagsMask);
    copy.Flags = quint8((copy.Flags & ~back) | (taken.Flags & back));
    copy.FlagsMask |= back;
}

void RestoreMem3Edits(Mem3Rec& copy, const Mem3Rec& taken) {
    Mem3Rec from = taken;
    VisitMem3(
        [](const FieldSpec& def, auto& now, auto& before) {
            if (!Pending(def, now) && Pending(def, before)) {
                now = before;
            }
        },
        copy, from);
}

Mem2Rec ShownMem2(const EcuImages& images) {
    Mem2Rec shown = images.Mem2Data;
    Mem2Rec copy = images.Mem2Write;
    BuildMem2(shown, copy);
    for (double* hours : {&shown.HoursGas, &shown.HoursBenz}) {
        *hours = std::max(*hours, 0.0); // a reset asked for shows as done
    }
    return shown;
}

Mem3Rec ShownMem3(const EcuImages& images) {
    Mem3Rec shown = images.Mem3Data;
    Mem3Rec copy = images.Mem3Write;
    VisitMem3(
        [](const FieldSpec& def, auto& field, auto& edit) {
            if (Pending(def, edit)) {
                field = edit;
            }
        },
        shown, copy);
    return shown;
}

bool Mem2EditsPending(const Mem2Rec& copy) {
    return copy.ModeReq < 255 || copy.HoursGas != 0 || copy.HoursBenz != 0 || copy.FlagsMask != 0 ||
           copy.SwitchRpmPeriod > -1.0;
}

bool Mem3EditsPending(const Mem3Rec& copy) {
    Mem3Rec c = copy;
    bool any = false;
    VisitMem3([&any](const FieldSpec& def, auto& edit) { any = any || Pending(def, edit); }, c);
    return any;
}

double CalcRpmConst(const Mem3Rec& record) {
    const double a = record.Bobine;
    const double b = record.Cilindri;
    if (a > 8 || b > 8 || b == 0) {
        return 1.0;
    }
    return static_cast<float>(240000000.0 * a / (16.0 * b));
}

qint32 GetRpmClock(quint8 flags) {
    return (flags & 0x80) ? 7500000 : 15000000;
}

void ResetMemToWrite(EcuImages& images) {
    Mem2Rec& m2 = images.Mem2Write;
    m2.ModeReq = 255;
    m2.FuelState = 255;
    m2.EcuRunState = 255;
    m2.HoursGas = 0;
    m2.HoursBenz = 0;
    m2.Flags = 0;
    m2.FlagsMask = 0;
    m2.SwitchRpmPeriod = -1.0;
    VisitMem3([](const FieldSpec& def,
                 auto& field) { field = Marker<std::remove_reference_t<decltype(field)>>(def); },
              images.Mem3Write);
}

void Mem2WriteAcknowledged(EcuImages& images) {
    images.Mem2Write.ModeReq = 255;
    images.Mem2Write.FuelState = 255;
}

} // namespace ecudata
