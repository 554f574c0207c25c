#pragma once

#include <QByteArray>

namespace testing_support {

// Reads from the non-blocking descriptor (a pseudo-terminal's master side) until at
// least count bytes are in or maxMs has passed; the kernel may hand a frame over in
// pieces, so one empty read says nothing about what is still to come.
QByteArray ReadAtLeast(int fd, int count, int maxMs = 60000);

} // namespace testing_support
