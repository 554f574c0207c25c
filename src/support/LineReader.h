#pragma once

// Reads a file one line at a time with a bound on what a line may keep, so a damaged or
// foreign file of any size (one enormous line, no line end at all) costs at most one
// bound of memory. The settings files the installer can edit are read through it.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace support {

class LineReader {
public:
    // Longer than any line the program's own files hold (a device path is at most 4096).
    static constexpr qsizetype DefaultMaxLine = 8192;

    explicit LineReader(const QString& path, qsizetype maxLine = DefaultMaxLine);

    // False when the file cannot be opened for reading; ErrorString says why.
    bool IsOpen() const { return file_.isOpen(); }
    QString ErrorString() const { return file_.errorString(); }

    // The next line without its end (CR LF, LF or a lone CR), its first maxLine bytes
    // only; nothing past the last line. A file that ends with a line end has no empty
    // last line.
    std::optional<QByteArray> Next();

private:
    bool Fill();

    QFile file_;
    qsizetype maxLine_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
};

} // namespace support
