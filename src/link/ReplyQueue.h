#pragma once

#include <QByteArray>
#include <array>

namespace comm {

// Reply data waiting for the procedures that requested them, first in first out.
// Twenty entries at most: a push to a full queue is dropped, an empty push stores
// nothing, a pop of an empty queue gives "". Never cleared as a whole.
class ReplyQueue {
public:
    static constexpr int Slots = 21;

    void PushReplyQueue(const QByteArray& data);
    QByteArray PopReplyQueue();
    // Entries waiting (slots in use before the first empty one).
    int Pending() const;

private:
    std::array<QByteArray, Slots> slots_;
};

} // namespace comm
