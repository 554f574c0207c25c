#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

namespace platform {

// What became of an append.
struct AppendResult {
    // The file's size after the append; none when nothing was appended.
    std::optional<qint64> size;
    // The system's text for the write error that stopped the appender; set by that one
    // append alone, so that the stop is told once.
    QString stoppedWhy;
};

// Appends to a file (created when missing) and gives the file's size after each
// append. The file stays open between appends, but every append goes to the file that
// is at the path at that moment: a file renamed, replaced or removed since is let go and
// the path opened afresh. A path lookup costs far less than an open, and a log gets a
// line every few milliseconds.
//
// A write that fails (a full disk) takes back what it wrote of its bytes, so no half
// line is left, and stops the appender: nothing more goes to that file, since a log with
// a hole in it would mislead. Appending resumes once another file stands at the path
// (the log started afresh). A file that cannot be opened is tried again at the next
// append.
class FileAppender {
public:
    FileAppender() = default;
    ~FileAppender();
    FileAppender(const FileAppender&) = delete;
    FileAppender& operator=(const FileAppender&) = delete;

    AppendResult Append(const QString& path, const QByteArray& bytes);

private:
    struct FileId {
        QByteArray path;
        dev_t device = 0;
        ino_t inode = 0;
    };

    static bool IsAt(const FileId& file, const QByteArray& path);
    bool StillStoppedAt(const QByteArray& path);
    bool Open(const QByteArray& path);
    void Close();
    QString Stop(int error, qint64 written);

    int fd_ = -1;
    FileId open_;
    std::optional<FileId> stopped_;
};
} // namespace platform
