#include "FuzzSupport.h"

#include "support/Clock.h"
#include "support/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

// Time stands still until a wait idles, then jumps by what the wait asks for: the
// readers' and the link's pauses of seconds pass at once and never reach the fuzzer's
// time-out.
class InstantTime final : public support::TimeSource {
public:
    double NowUsec() override { return now_; }
    void PumpEvents() override {}
    void Idle(double maxUsec) override { now_ += maxUsec > 0 ? maxUsec : 1; }

private:
    double now_ = 1e6;
};

struct Process {
    Process()
        : app(argc, argv), time(clock), boxes([](const QString&, int, const QString&) {
              return static_cast<int>(support::vbOK);
          }) {
        if (!root.isValid() || !QDir(root.path()).mkpath("BIN") ||
            !QDir(root.path()).mkpath("LNG")) {
            std::fprintf(stderr, "fuzz: cannot create the scratch tree\n");
            std::abort();
        }
    }

    int argc = 1;
    char name[11] = "lx735-fuzz";
    char* argv[2] = {name, nullptr};
    QApplication app;
    InstantTime clock;
    support::ScopedTimeSource time;
    support::ScopedMsgBoxHandler boxes;
    QTemporaryDir root;
};

// Made by LLVMFuzzerInitialize; ends with the process (the scratch tree with it).
Process& TheProcess() {
    static Process process;
    return process;
}

} // namespace

QString Root() {
    return TheProcess().root.path();
}

QString WriteInput(const QString& relativePath, const QByteArray& bytes) {
    const QString path = Root() + relativePath;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

QString WriteInput(const QString& relativePath, const uint8_t* data, size_t size) {
    return WriteInput(relativePath, QByteArray(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size)));
}

void RemoveFile(const QString& relativePath) {
    QFile::remove(Root() + relativePath);
}

void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::abort();
}

} // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    fuzz::TheProcess();
    return 0;
}
