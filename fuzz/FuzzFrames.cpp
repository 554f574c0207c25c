// The frame layer on a reply from the wire: the field pickers, the data part and the
// reply check against the request it answers; then CheckReply on the whole reply, with
// the ECU images as the link's host, and the link's receive path on the same bytes
// arriving in pieces. The request's command and payload and the pieces' sizes come from
// the input's end, the reply from the rest.

#include "FuzzLink.h"

#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuLinkHost.h"
#include "ecudata/EcuRequests.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {

constexpr int MaxRequestPayload = 8;
const QString RxTxLog = QStringLiteral("/BIN/RxTx.TXT");

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

// A good reply built for the request, or nothing when the data do not fit a frame.
QByteArray GoodReply(const QByteArray& request, const QByteArray& data) {
    if (data.size() + 1 > comm::MaxPayload) {
        return {};
    }
    return comm::BuildMsg(comm::ReplyHeader, comm::ReplyByte2, comm::GetMsgCmd(request),
                          QByteArray(1, '\0') + data);
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

// A serial port whose input queue holds the given bytes, a piece at a time.
class WireFeed final : public fuzz::NoSerialPort {
public:
    WireFeed(QByteArray bytes, quint32 pieceSeed) : bytes_(std::move(bytes)), seed_(pieceSeed) {
        NextPiece();
    }
    bool QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) override {
        errors = 0;
        inQueue = static_cast<qint32>(piece_);
        outQueue = 0;
        return true;
    }
    bool Read(char* buffer, qint32 count, qint32& bytesRead) override {
        const qsizetype n = std::min<qsizetype>(piece_, count);
        std::copy_n(bytes_.constData() + pos_, n, buffer);
        bytesRead = static_cast<qint32>(n);
        pos_ += n;
        NextPiece();
        return true;
    }
    bool Drained() const { return pos_ >= bytes_.size(); }

private:
    // 1 to 16 bytes, in a sequence the seed fixes.
    void NextPiece() {
        seed_ = seed_ * 1103515245u + 12345u;
        piece_ = std::min<qsizetype>(1 + (seed_ >> 16) % 16, bytes_.size() - pos_);
    }

    QByteArray bytes_;
    quint32 seed_;
    qsizetype pos_ = 0;
    qsizetype piece_ = 0;
};

// The link's host shows its error boxes (the developer view), answered without a window.
class DeveloperHost final : public ecudata::EcuLinkHost {
public:
    using EcuLinkHost::EcuLinkHost;
    bool DeveloperView() const override { return true; }
};

struct Images {
    ecudata::EcuImages images;
    ecudata::EcuRequests requests;
    ecudata::ConfigScale scale;
    ecudata::EcuModel Model() { return {images, requests, scale}; }
};

// A link waiting for the reply to the request; no resends, so that a bad reply ends
// the exchange at once.
void AwaitReply(comm::ClsComm& link, const QByteArray& request) {
    link.NumReSend(0);
    link.OutBuffer(request);
    link.InBuffer({});
    link.ComState(comm::COM_WAIT_REPLY);
    link.LoadWDogSend();
}

// The whole reply in the input buffer: a good one is dispatched and leaves the link
// ready, any other ends the exchange in error.
void CheckWholeReply(const QByteArray& reply, const QByteArray& request) {
    fuzz::RemoveFile(RxTxLog);
    fuzz::LinkRig rig;
    Images images;
    DeveloperHost host(rig.link, images.Model());
    rig.link.Host(&host);
    AwaitReply(rig.link, request);
    rig.link.InBuffer(reply);
    const bool good = comm::ReplyCheckFailure(reply, request).isEmpty();
    comm::CheckReply(rig.link);
    FUZZ_CHECK(rig.link.ComState() == (good ? comm::COM_READY : comm::COM_ERROR));
}

// The bytes arriving in pieces while the link steps: it stays waiting until a frame is
// complete, then settles on it. Returns the state the link ends in.
quint8 Receive(const QByteArray& bytes, const QByteArray& request, quint32 pieceSeed) {
    fuzz::RemoveFile(RxTxLog);
    WireFeed wire(bytes, pieceSeed);
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link(fuzz::Root(), wire, ftdi);
    Images images;
    ecudata::EcuLinkHost host(link, images.Model());
    link.Host(&host);
    AwaitReply(link, request);
    link.LastLoggedComState(link.ComState());
    while (link.ComState() == comm::COM_WAIT_REPLY && !wire.Drained()) {
        comm::ProcessComState(link);
    }
    return link.ComState();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto command = input.ConsumeIntegral<quint8>();
    const auto payloadSize = input.ConsumeIntegralInRange<size_t>(0, MaxRequestPayload);
    const auto pieceSeed = input.ConsumeIntegral<quint32>();
    const QByteArray payload = Bytes(input.ConsumeBytes<uint8_t>(payloadSize));
    const QByteArray reply = Bytes(input.ConsumeRemainingBytes<uint8_t>());

    const QByteArray request = comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, command, payload);
    CheckBuiltFrame(command, payload);
    CheckBuiltFrame(command, reply);
    CheckVerdict(reply, request);
    CheckWholeReply(reply, request);
    Receive(reply, request, pieceSeed);

    // A good reply is taken whole, in whatever pieces it arrives.
    const QByteArray good = GoodReply(request, reply);
    if (!good.isEmpty()) {
        FUZZ_CHECK(comm::ReplyCheckFailure(good, request).isEmpty());
        FUZZ_CHECK(comm::GetMsgData(good) == reply);
        FUZZ_CHECK(Receive(good, request, pieceSeed) == comm::COM_READY);
    }
    return 0;
}
