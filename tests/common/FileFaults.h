#pragma once

// Faults of the file system, each for the lifetime of its object, and a look at what a
// failed write left behind.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QString>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

namespace testing_support {

// No file of the process may grow beyond limit bytes (RLIMIT_FSIZE), as on a full disk:
// a write past it fails with EFBIG. SIGXFSZ, which would end the process, is ignored
// meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit small = previous_;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = SIG_DFL;
};

// The process can open no file: its descriptor limit is 0, which holds for root as well,
// unlike a folder's permissions.
class NoFileOpens {
public:
    NoFileOpens() {
        getrlimit(RLIMIT_NOFILE, &previous_);
        rlimit none = previous_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_NOFILE, &none);
    }
    ~NoFileOpens() { setrlimit(RLIMIT_NOFILE, &previous_); }
    NoFileOpens(const NoFileOpens&) = delete;
    NoFileOpens& operator=(const NoFileOpens&) = delete;

private:
    rlimit previous_{};
};

// Whole-file writes below the folder fail as on a full disk (the writer's test switch).
class FailWritesBelow {
public:
    explicit FailWritesBelow(const QString& folder)
        : previous_(qgetenv(Name)), wasSet_(qEnvironmentVariableIsSet(Name)) {
        qputenv(Name, folder.toLocal8Bit());
    }
    ~FailWritesBelow() {
        if (wasSet_) {
            qputenv(Name, previous_);
        } else {
            qunsetenv(Name);
        }
    }
    FailWritesBelow(const FailWritesBelow&) = delete;
    FailWritesBelow& operator=(const FailWritesBelow&) = delete;

private:
    static constexpr const char* Name = "LX735_TEST_FAIL_WRITES";
    QByteArray previous_;
    bool wasSet_ = false;
};

// Every file below the folder (hidden ones too), by its path relative to it, sorted: a
// temporary file left beside a target shows here.
inline QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(folder).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

} // namespace testing_support
