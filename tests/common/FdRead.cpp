#include "common/FdRead.h"

#include "common/Wait.h"

#include <poll.h>
#include <unistd.h>

namespace testing_support {

QByteArray ReadAtLeast(int fd, int count, int maxMs) {
    QByteArray got;
    WaitFor(
        [&] {
            pollfd ready{fd, POLLIN, 0};
            while (got.size() < count && poll(&ready, 1, 0) > 0) {
                char buffer[64];
                const ssize_t n = read(fd, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                got.append(buffer, n);
            }
            return got.size() >= count;
        },
        std::chrono::milliseconds(maxMs));
    return got;
}

} // namespace testing_support
