#pragma once

// The data-file generators of tools/, run by the tests that need a scrambled file or a
// firmware image variant. They are built with the tests; the build tree mirrors the
// source tree, so they stand two folders above this test's binary folder.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace testing_support {

inline QString BuildToolPath(const QString& name) {
    return QStringLiteral(LX735_TEST_BINARY_DIR "/../../tools/") + name;
}

// Runs the tool; a failure is a test failure.
inline bool RunBuildTool(const QString& name, const QStringList& arguments) {
    QProcess process;
    process.start(BuildToolPath(name), arguments);
    const bool done = process.waitForFinished(30000) &&
                      process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(done) << name.toStdString() << ": " << process.readAllStandardError().toStdString()
                      << process.errorString().toStdString();
    return done;
}

// The shipped data tree of the sources.
inline QString SourceDataPath(const QString& relative) {
    return QStringLiteral(LX735_FIXTURES "/../../../data/") + relative;
}

} // namespace testing_support
