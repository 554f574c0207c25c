#pragma once

#include "common/Wait.h"
#include "script/TestScript.h"

#include <QCoreApplication>
#include <QStringList>
#include <gtest/gtest.h>

namespace testing_support {

// Queues the lines and pumps the events until they are all done. records is what the
// script's recorder writes: a script not done within a generous bound fails the test,
// naming the first line not recorded as carried out or refused.
inline void RunScript(script::TestScript& script, const QStringList& lines,
                      const QStringList& records) {
    const qsizetype before = records.size();
    script.Enqueue(lines);
    if (WaitFor([&] { return script.Idle(); }, std::chrono::seconds(60))) {
        QCoreApplication::processEvents(); // what the last line posted
        return;
    }
    qsizetype done = 0;
    for (const QString& record : records.mid(before)) {
        if (record.startsWith("command: ") || record.startsWith("command refused: ")) {
            ++done;
        }
    }
    ADD_FAILURE() << "the script gave up on \"" << lines.value(done).toStdString() << "\"";
}

} // namespace testing_support
