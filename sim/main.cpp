// lx735-sim: the simulated ECU on a pseudo-terminal, for end-to-end tests and the demo.

#include "sim/Control.h"
#include "sim/Ecu.h"
#include "sim/PseudoTerminal.h"

#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kIdlePollMs = 10; // the model and the control file move on meanwhile
constexpr double kControlCheckUsec = 50e3;
constexpr int kReadChunk = 4096;

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

double NowUsec() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

struct Options {
    QString link;
    QString control;
    sim::EcuConfig config;
    QList<sim::Fault> faults;
};

QString Indent(const QString& lines, int by) {
    QString out;
    for (const QString& line : lines.split('\n', Qt::SkipEmptyParts)) {
        out += QString(by, ' ') + line + '\n';
    }
    return out;
}

QString Usage() {
    return QString("Usage: lx735-sim --link PATH [options]\n"
                   "The simulated ECU on a pseudo-terminal. PATH becomes a symbolic link to its\n"
                   "slave side (an earlier symbolic link there is replaced); the slave's path is\n"
                   "printed on one line. Serves until SIGTERM or SIGINT, then removes PATH.\n"
                   "\n"
                   "Options:\n"
                   "  --link PATH        where to put the symbolic link (required)\n"
                   "  --fast             reply at once instead of at the 38400-baud wire rate\n"
                   "  --identity TEXT    firmware identity \"VV.vv DD/MM/YYYY WORD1 WORD2 CODE\"\n"
                   "                     (default \"01.12 14/04/2011 LX735 SEQGAS T468\")\n"
                   "  --mode MODE        mode at start: run (default), slave, prg\n"
                   "  --fault FAULT      a scripted fault (repeatable), FAULT being\n"
                   "                     \"KIND [cmd=N] [skip=N] [count=N|forever] [value=X]\",\n"
                   "                     KIND one of:\n"
                   "%1"
                   "  --control PATH     read control lines from PATH whenever it appears, then\n"
                   "                     delete it (write it elsewhere and rename it there):\n"
                   "%2"
                   "  --help             this text\n")
        .arg(Indent(sim::FaultHelp(), 17), Indent(sim::ControlHelp(), 17));
}

bool ParseArgs(const QStringList& args, Options* options, QString* error) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--fast") {
            options->config.fast = true;
        } else if (!hasValue && arg.startsWith("--")) {
            *error = QString("%1 needs a value").arg(arg);
            return false;
        } else if (arg == "--link") {
            options->link = args[++i];
        } else if (arg == "--control") {
            options->control = args[++i];
        } else if (arg == "--identity") {
            const auto identity = sim::Identity::Parse(args[++i]);
            if (!identity) {
                *error = QString("bad identity '%1'").arg(args[i]);
                return false;
            }
            options->config.identity = *identity;
        } else if (arg == "--mode") {
            const QString mode = args[++i];
            if (mode == "run" || mode == "slave" || mode == "prg") {
                options->config.mode = mode == "run"     ? sim::EcuMode::Run
                                       : mode == "slave" ? sim::EcuMode::Slave
                                                         : sim::EcuMode::Prg;
            } else {
                *error = QString("bad mode '%1'").arg(mode);
                return false;
            }
        } else if (arg == "--fault") {
            const auto fault = sim::ParseFault(args[++i], error);
            if (!fault) {
                return false;
            }
            options->faults.append(*fault);
        } else {
            *error = QString("unknown argument '%1'").arg(arg);
            return false;
        }
    }
    if (options->link.isEmpty()) {
        *error = "--link PATH is required";
        return false;
    }
    return true;
}

void ApplyControlFile(sim::Ecu& ecu, const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    file.close();
    file.remove();
    for (const QString& line : lines) {
        QString error;
        if (!sim::ApplyControlLine(ecu, line, &error)) {
            std::fprintf(stderr, "lx735-sim: control: %s\n", qPrintable(error));
        }
    }
}

// Opens a pseudo-terminal and points the link at it.
bool OpenLine(sim::PseudoTerminal& pty, const QString& link, QString* error) {
    if (!pty.Open(error)) {
        return false;
    }
    if (!sim::PointLink(link, pty.SlavePath(), error)) {
        pty.Close();
        return false;
    }
    return true;
}

void CloseLine(sim::PseudoTerminal& pty, const QString& link) {
    sim::RemoveLink(link, pty.SlavePath());
    pty.Close();
}

int PollTimeoutMs(const sim::Ecu& ecu, double now) {
    const double next = ecu.NextTransmitUsec();
    if (!std::isfinite(next)) {
        return kIdlePollMs;
    }
    const double ms = std::ceil((next - now) / 1000);
    return static_cast<int>(std::clamp(ms, 0.0, static_cast<double>(kIdlePollMs)));
}

// Reads whatever the program has sent; false when the line failed.
bool ReadLine(int fd, sim::Ecu& ecu) {
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n > 0) {
            ecu.Receive(QByteArray(buffer, static_cast<qsizetype>(n)), NowUsec());
            continue;
        }
        return n == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EIO;
    }
}

// Writes what it can of out; the rest waits for the next turn.
void WriteLine(int fd, QByteArray& out) {
    while (!out.isEmpty()) {
        const ssize_t n = write(fd, out.constData(), static_cast<size_t>(out.size()));
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                out.clear(); // nobody can take it
            }
            return;
        }
        out.remove(0, n);
    }
}

int Serve(const Options& options) {
    sim::Ecu ecu(options.config);
    for (const sim::Fault& fault : options.faults) {
        ecu.AddFault(fault);
    }
    sim::PseudoTerminal pty;
    QString error;
    if (!OpenLine(pty, options.link, &error)) {
        std::fprintf(stderr, "lx735-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(pty.SlavePath()));
    std::fflush(stdout);

    QByteArray out;
    double reopenAt = 0;
    double nextControl = 0;
    while (!g_stop) {
        double now = NowUsec();
        if (!options.control.isEmpty() && now >= nextControl) {
            ApplyControlFile(ecu, options.control);
            nextControl = now + kControlCheckUsec;
        }
        if (ecu.TakeReconnect()) {
            reopenAt = now; // a line that is up stays as it is
        }
        if (!pty.IsOpen()) { // hung up: the line comes back after its downtime
            if (now >= reopenAt && !OpenLine(pty, options.link, &error)) {
                std::fprintf(stderr, "lx735-sim: %s\n", qPrintable(error));
                return 1;
            }
            if (!pty.IsOpen()) {
                poll(nullptr, 0, kIdlePollMs);
                ecu.Step(NowUsec());
                continue;
            }
        }
        pollfd pfd{pty.MasterFd(), static_cast<short>(POLLIN | (out.isEmpty() ? 0 : POLLOUT)), 0};
        if (poll(&pfd, 1, out.isEmpty() ? PollTimeoutMs(ecu, now) : 1) < 0 && errno != EINTR) {
            std::perror("lx735-sim: poll");
            break;
        }
        if ((pfd.revents & POLLIN) && !ReadLine(pty.MasterFd(), ecu)) {
            std::perror("lx735-sim: read");
        }
        if (const auto downtime = ecu.TakeHangUp()) {
            CloseLine(pty, options.link);
            out.clear();
            reopenAt = NowUsec() + *downtime;
            continue;
        }
        out.append(ecu.Transmit(NowUsec()));
        WriteLine(pty.MasterFd(), out);
    }
    CloseLine(pty, options.link);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    if (args.contains("--help") || args.contains("-h")) {
        std::fputs(qPrintable(Usage()), stdout);
        return 0;
    }
    Options options;
    QString error;
    if (!ParseArgs(args, &options, &error)) {
        std::fprintf(stderr, "lx735-sim: %s\n\n%s", qPrintable(error), qPrintable(Usage()));
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
    return Serve(options);
}
