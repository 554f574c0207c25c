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

void BM_ParseMem1(benchmark::State& state) {
    Model m;
    const QByteArray reply = bench::Reply(comm::CMD_READ_MEM1, Mem1WireSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseMem1(reply, m.images, m.scale));
    }
}
BENCHMARK(BM_ParseMem1);

void BM_ParseMem2(benchmark::State& state) {
    Model m;
    const QByteArray reply = bench::Reply(comm::CMD_READ_MEM2, Mem2WireSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseMem2(reply, m.images, m.scale));
    }
}
BENCHMARK(BM_ParseMem2);

void BM_ParseMem3(benchmark::State& state) {
    Model m;
    const QByteArray reply = bench::Reply(comm::CMD_READ_MEM3, Mem3WireSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseMem3(reply, m.images, m.requests, m.scale));
    }
}
BENCHMARK(BM_ParseMem3);

void BM_ParseSmpl(benchmark::State& state) {
    Model m;
    const QByteArray reply = bench::Reply(comm::CMD_READ_SMPL_GAS, SmplWireSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseSmplGas(reply, 0, m.images, m.scale));
    }
}
BENCHMARK(BM_ParseSmpl);

void BM_StoreEmulaReply(benchmark::State& state) {
    Model m;
    const QByteArray reply = bench::Reply(comm::CMD_READ_EMUS, EmulaBlkSize);
    for (auto _ : state) {
        benchmark::DoNotOptimize(StoreEmulaReply(reply, m.images));
    }
}
BENCHMARK(BM_StoreEmulaReply);

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
