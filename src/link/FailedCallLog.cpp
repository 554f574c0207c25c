#include "link/FailedCallLog.h"

namespace comm {

bool FailedCallLog::Failed(const QString& call) {
    return ++runs_[call] == 1;
}

int FailedCallLog::Succeeded(const QString& call) {
    return runs_.take(call);
}

QList<QPair<QString, int>> FailedCallLog::EndAll() {
    QList<QPair<QString, int>> ended;
    for (auto it = runs_.cbegin(); it != runs_.cend(); ++it) {
        ended.append({it.key(), it.value()});
    }
    runs_.clear();
    return ended;
}

} // namespace comm
