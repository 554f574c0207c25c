#include "support/LineReader.h"

#include <algorithm>

namespace support {

namespace {

constexpr qsizetype ChunkSize = 64 * 1024;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

LineReader::LineReader(const QString& path, qsizetype maxLine)
    : file_(path), maxLine_(std::max<qsizetype>(maxLine, 1)) {
    // A file that cannot be opened reads no line; IsOpen and ErrorString tell why.
    (void)file_.open(QIODevice::ReadOnly);
}

bool LineReader::Fill() {
    if (!file_.isOpen()) {
        return false;
    }
    buffer_ = file_.read(ChunkSize);
    pos_ = 0;
    return !buffer_.isEmpty();
}

std::optional<QByteArray> LineReader::Next() {
    QByteArray line;
    bool any = false;
    while (pos_ < buffer_.size() || Fill()) {
        any = true;
        const auto begin = buffer_.cbegin() + pos_;
        const auto end = std::find_if(begin, buffer_.cend(), IsLineEnd);
        const qsizetype length = end - begin;
        const qsizetype room = maxLine_ - line.size();
        line.append(begin, std::min(length, room));
        pos_ += length;
        if (pos_ == buffer_.size()) {
            continue; // the line goes on in the next chunk
        }
        const bool cr = buffer_[pos_++] == '\r';
        if (cr && (pos_ < buffer_.size() || Fill()) && buffer_[pos_] == '\n') {
            ++pos_;
        }
        return line;
    }
    return any ? std::optional<QByteArray>(line) : std::nullopt;
}

} // namespace support
