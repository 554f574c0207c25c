#pragma once

#include "script/TestScript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

namespace testing_support {

// Queues the lines and runs the event loop until they are all done (at most 10 s).
inline void RunScript(script::TestScript& script, const QStringList& lines) {
    script.Enqueue(lines);
    QElapsedTimer clock;
    clock.start();
    while (!script.Idle() && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();
}

} // namespace testing_support
