#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

namespace platform {

// Appends to a file (created when missing) and gives the file's size after each
// append; none when the file cannot be opened or written. The file stays open between
// appends, but every append goes to the file that is at the path at that moment: a
// file renamed, replaced or removed since is let go and the path opened afresh. A
// path lookup costs far less than an open, and a log gets a line every few
// milliseconds.
class FileAppender {
public:
    FileAppender() = default;
    ~FileAppender();
    FileAppender(const FileAppender&) = delete;
    FileAppender& operator=(const FileAppender&) = delete;

    std::optional<qint64> Append(const QString& path, const QByteArray& bytes);

private:
    bool IsOpenAt(const QByteArray& path) const;
    bool Open(const QByteArray& path);
    void Close();

    int fd_ = -1;
    QByteArray path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

} // namespace platform
