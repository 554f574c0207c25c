// The frame layer on a reply from the wire: the field pickers, the data part and the
// reply check against the request it answers, with the properties the link relies on.

#include "FuzzSupport.h"

#include "link/Frames.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr int MaxRequestPayload = 8;

QByteArray Bytes(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// Whatever the bytes, BuildMsg gives a frame that the reply check of its own kind
// accepts field by field, or nothing for a payload the length byte cannot describe.
void CheckBuiltFrame(quint8 command, const QByteArray& payload) {
    const QByteArray frame = comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, command, payload);
    if (payload.size() > comm::MaxPayload) {
        FUZZ_CHECK(frame.isEmpty());
        return;
    }
    FUZZ_CHECK(frame.size() == payload.size() + 5);
    FUZZ_CHECK(comm::CalcCheckSum(frame) == 0);
    FUZZ_CHECK(comm::GetMsgHeader(frame) == comm::ReqHeader);
    FUZZ_CHECK(comm::GetMsgByte2(frame) == comm::ReqByte2);
    FUZZ_CHECK(comm::GetMsgLen(frame) == payload.size() + 3);
    FUZZ_CHECK(comm::GetMsgCmd(frame) == command);
}

// A good reply built for the request passes the check and gives its data back whole.
void CheckGoodReply(const QByteArray& request, const QByteArray& data) {
    if (data.size() + 1 > comm::MaxPayload) {
        return;
    }
    const QByteArray reply = comm::BuildMsg(comm::ReplyHeader, comm::ReplyByte2,
                                            comm::GetMsgCmd(request), QByteArray(1, '\0') + data);
    FUZZ_CHECK(comm::ReplyCheckFailure(reply, request).isEmpty());
    FUZZ_CHECK(comm::GetMsgData(reply) == data);
}

// The verdict on any received bytes: never a pass for a reply whose checksum fails or
// whose command byte is not the request's. (A 4-byte reply without a status byte passes:
// the status picker reads 0 there.)
void CheckVerdict(const QByteArray& reply, const QByteArray& request) {
    const QString failure = comm::ReplyCheckFailure(reply, request);
    (void)comm::GetMsgHeader(reply);
    (void)comm::GetMsgByte2(reply);
    (void)comm::GetMsgLen(reply);
    (void)comm::CmdName(comm::GetMsgCmd(reply));
    const QByteArray data = comm::GetMsgData(reply);
    FUZZ_CHECK(data.size() <= qMax<qsizetype>(reply.size() - 6, 0));
    if (failure.isEmpty()) {
        FUZZ_CHECK(comm::CalcCheckSum(reply) == 0);
        FUZZ_CHECK(comm::CheckEcoCmd(reply, request));
        FUZZ_CHECK(reply.size() >= 4 && reply.at(3) == request.at(3));
        FUZZ_CHECK(comm::GetMsgStatus(reply) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto command = input.ConsumeIntegral<quint8>();
    const QByteArray payload = Bytes(
        input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, MaxRequestPayload)));
    const QByteArray reply = Bytes(input.ConsumeRemainingBytes<uint8_t>());

    const QByteArray request = comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, command, payload);
    CheckBuiltFrame(command, payload);
    CheckBuiltFrame(command, reply);
    CheckGoodReply(request, reply);
    CheckVerdict(reply, request);
    return 0;
}
