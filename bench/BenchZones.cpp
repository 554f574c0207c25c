// The zone decoders, each on a whole reply of its zone as the poll cycle receives it.

#include "BenchReplies.h"

#include "ecudata/CompTables.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/EmulaBlock.h"
#include "ecudata/LiveData.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ParamRecords.h"
#include "ecudata/ZoneCodec.h"
#include "support/Conversions.h"

#include <benchmark/benchmark.h>

using namespace ecudata;

namespace {

struct Model {
    EcuImages images;
    EcuRequests requests;
    ConfigScale scale;
};

// One decoder on a whole reply of its zone.
template <typename Decode>
void BM_Decode(benchmark::State& state, quint8 command, int dataBytes, Decode decode) {
    Model m;
    const QByteArray reply = bench::Reply(command, dataBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode(reply, m));
    }
}
BENCHMARK_CAPTURE(BM_Decode, ParseMem1, comm::CMD_READ_MEM1, Mem1WireSize,
                  [](const QByteArray& r, Model& m) { return ParseMem1(r, m.images, m.scale); });
BENCHMARK_CAPTURE(BM_Decode, ParseMem2, comm::CMD_READ_MEM2, Mem2WireSize,
                  [](const QByteArray& r, Model& m) { return ParseMem2(r, m.images, m.scale); });
BENCHMARK_CAPTURE(BM_Decode, ParseMem3, comm::CMD_READ_MEM3, Mem3WireSize,
                  [](const QByteArray& r, Model& m) {
                      return ParseMem3(r, m.images, m.requests, m.scale);
                  });
BENCHMARK_CAPTURE(BM_Decode, ParseSmpl, comm::CMD_READ_SMPL_GAS, SmplWireSize,
                  [](const QByteArray& r, Model& m) {
                      return ParseSmplGas(r, 0, m.images, m.scale);
                  });
BENCHMARK_CAPTURE(BM_Decode, StoreEmulaReply, comm::CMD_READ_EMUS, EmulaBlkSize,
                  [](const QByteArray& r, Model& m) { return StoreEmulaReply(r, m.images); });

void BM_CompTblFromBytes(benchmark::State& state) {
    Model m;
    const QByteArray data = ReplyData(bench::Reply(comm::CMD_READ_COMP_PRES_GAS, 64));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CompTblFromBytes(data, CompForm::Words, m.images.CompTblPress));
    }
}
BENCHMARK(BM_CompTblFromBytes);

void BM_DecodeTblCorBlock(benchmark::State& state) {
    Model m;
    const QString hex = support::ByteStrToHex(
        ReplyData(bench::Reply(comm::CMD_READ_TBL_COR, 2 * TblCorBlockCells)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeTblCorBlock(hex, 0, m.images.TblCorRead, m.scale));
    }
}
BENCHMARK(BM_DecodeTblCorBlock);

// The hex walk under every decoder: bytes to hex text, then field by field.
void BM_HexWalk(benchmark::State& state) {
    const QByteArray data = ReplyData(bench::Reply(comm::CMD_READ_MEM1, Mem1WireSize));
    for (auto _ : state) {
        HexReader r(support::ByteStrToHex(data));
        qint64 sum = 0;
        for (int i = 0; i < Mem1WireSize / 2; ++i) {
            sum += r.UInt16();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_HexWalk);

} // namespace
