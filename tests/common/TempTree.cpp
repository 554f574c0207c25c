#include "common/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace testing_support {

TempTree::TempTree() {
    QDir root(dir_.path());
    root.mkpath("BIN");
    root.mkpath("LNG");
}

void TempTree::Write(const QString& relative, const QByteArray& bytes) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QByteArray TempTree::Read(const QString& relative) const {
    return ReadFixture(Path(relative));
}

QByteArray ReadFixture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace testing_support
