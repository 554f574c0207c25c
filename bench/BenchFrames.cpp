// The frame layer on the path of every reply: the check against the request, the data
// part, and the building of a request.

#include "BenchReplies.h"

#include <benchmark/benchmark.h>

namespace {

// The largest reply the link receives (a live record) and the probe's short one.
void BM_ReplyCheck(benchmark::State& state) {
    const auto data = static_cast<int>(state.range(0));
    const QByteArray request = bench::Request(comm::CMD_READ_MEM1);
    const QByteArray reply = bench::Reply(comm::CMD_READ_MEM1, data);
    for (auto _ : state) {
        benchmark::DoNotOptimize(comm::ReplyCheckFailure(reply, request));
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
}
BENCHMARK(BM_ReplyCheck)->Arg(3)->Arg(91)->Arg(251);

void BM_ReplyCheckBadSum(benchmark::State& state) {
    const QByteArray request = bench::Request(comm::CMD_READ_MEM1);
    QByteArray reply = bench::Reply(comm::CMD_READ_MEM1, 91);
    reply[reply.size() - 1] = static_cast<char>(reply.back() ^ 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(comm::ReplyCheckFailure(reply, request));
    }
}
BENCHMARK(BM_ReplyCheckBadSum);

void BM_GetMsgData(benchmark::State& state) {
    const QByteArray reply = bench::Reply(comm::CMD_READ_MEM1, 91);
    for (auto _ : state) {
        benchmark::DoNotOptimize(comm::GetMsgData(reply));
    }
}
BENCHMARK(BM_GetMsgData);

void BM_BuildMsg(benchmark::State& state) {
    const QByteArray payload(static_cast<int>(state.range(0)), '\x5A');
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, comm::CMD_WRT_MEM3, payload));
    }
}
BENCHMARK(BM_BuildMsg)->Arg(0)->Arg(74)->Arg(comm::MaxPayload);

} // namespace
