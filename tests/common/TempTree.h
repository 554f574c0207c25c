#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A temporary application tree (<root>/BIN, <root>/LNG), removed with the object.
class TempTree {
public:
    TempTree();

    QString Root() const { return dir_.path(); }
    QString Path(const QString& relative) const { return dir_.path() + "/" + relative; }

    // Writes the bytes as they stand (tests spell CR LF themselves).
    void Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// The bytes of a test fixture file.
QByteArray ReadFixture(const QString& path);

} // namespace testing_support
