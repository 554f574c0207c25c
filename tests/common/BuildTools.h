#pragma once

// The data-file generators of tools/, run by the tests that need a scrambled file or a
// firmware image variant, and the paths of the build's trees.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace testing_support {

inline QString BuildToolPath(const QString& name) {
    return QStringLiteral(LX735_TOOLS_DIR "/") + name;
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
    return QStringLiteral(LX735_SOURCE_DATA_DIR "/") + relative;
}

// The staged runnable tree of the build (<build>/root).
inline QString StagedRootPath(const QString& relative) {
    return QStringLiteral(LX735_ROOT_DIR "/") + relative;
}

} // namespace testing_support
