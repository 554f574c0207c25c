#include "link/ReplyQueue.h"

namespace comm {

void ReplyQueue::PushReplyQueue(const QByteArray& data) {
    // Slot 20 stays empty so that a pop always has an empty string to shift in.
    for (int i = 0; i < Slots - 1; ++i) {
        if (slots_[i].isEmpty()) {
            slots_[i] = data;
            return;
        }
    }
}

QByteArray ReplyQueue::PopReplyQueue() {
    QByteArray result = slots_[0];
    for (int i = 0; i < Slots - 1; ++i) {
        slots_[i] = slots_[i + 1];
    }
    slots_[Slots - 1].clear();
    return result;
}

int ReplyQueue::Pending() const {
    int n = 0;
    while (n < Slots && !slots_[n].isEmpty()) {
        ++n;
    }
    return n;
}

} // namespace comm
