#include "common/FdRead.h"

#include <QElapsedTimer>
#include <poll.h>
#include <unistd.h>

namespace testing_support {

QByteArray ReadAtLeast(int fd, int count, int maxMs) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count && clock.elapsed() < maxMs) {
        pollfd ready{fd, POLLIN, 0};
        poll(&ready, 1, 10);
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, n);
        }
    }
    return got;
}

} // namespace testing_support
