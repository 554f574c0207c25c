#include "sim/Frame.h"

namespace sim {

namespace {

constexpr int kMinRequestLen = 3; // length byte of a request without payload
constexpr int kMaxFrameLenByte = 255;

} // namespace

quint8 XorOf(const QByteArray& bytes) {
    quint8 x = 0;
    for (const char b : bytes) {
        x ^= static_cast<quint8>(b);
    }
    return x;
}

QByteArray BuildReply(quint8 command, quint8 status, const QByteArray& data) {
    const QByteArray body = data.left(kMaxFrameLenByte - 4);
    QByteArray frame;
    frame.reserve(body.size() + 6);
    frame.append(kReplyHeader);
    frame.append(kReplyByte2);
    frame.append(static_cast<char>(body.size() + 4));
    frame.append(static_cast<char>(command));
    frame.append(static_cast<char>(status));
    frame.append(body);
    frame.append(static_cast<char>(XorOf(frame)));
    return frame;
}

QByteArray BuildRequest(quint8 command, const QByteArray& payload) {
    QByteArray frame;
    frame.append(kRequestHeader);
    frame.append(kRequestByte2);
    frame.append(static_cast<char>(payload.size() + 3));
    frame.append(static_cast<char>(command));
    frame.append(payload);
    frame.append(static_cast<char>(XorOf(frame)));
    return frame;
}

QByteArray RequestPayload(const QByteArray& frame) {
    return frame.size() > 5 ? frame.mid(4, frame.size() - 5) : QByteArray();
}

QList<QByteArray> RequestAssembler::Push(const QByteArray& bytes, double nowUsec) {
    if (!buffer_.isEmpty() && gapUsec_ > 0 && nowUsec - lastByteUsec_ > gapUsec_) {
        buffer_.clear();
    }
    if (!bytes.isEmpty()) {
        lastByteUsec_ = nowUsec;
    }
    buffer_.append(bytes);

    QList<QByteArray> frames;
    for (;;) {
        SkipToHeader();
        if (buffer_.size() < 3) {
            break;
        }
        const int len = static_cast<quint8>(buffer_[2]);
        if (len < kMinRequestLen) { // not a length: this was no header after all
            buffer_.remove(0, 1);
            continue;
        }
        if (buffer_.size() < len + 2) {
            break;
        }
        frames.append(buffer_.left(len + 2));
        buffer_.remove(0, len + 2);
    }
    return frames;
}

void RequestAssembler::SkipToHeader() {
    qsizetype skip = 0;
    while (skip < buffer_.size()) {
        if (buffer_[skip] == kRequestHeader &&
            (skip + 1 >= buffer_.size() || buffer_[skip + 1] == kRequestByte2)) {
            break;
        }
        ++skip;
    }
    buffer_.remove(0, skip);
}

} // namespace sim
