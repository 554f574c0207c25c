#include "monitor/TestCommands.h"

#include "app/ProgramContext.h"
#include "monitor/TestHooks.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

namespace monitor {

namespace {

constexpr int WatchIntervalMs = 100;

bool Apply(app::ProgramContext& ctx, const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
    bool ok = false;
    const int value = words.size() == 3 ? words[2].toInt(&ok) : -1;
    if (!ok || words[0] != "mem3" || words[1] != "EmptyGas" || (value != 0 && value != 1)) {
        return false;
    }
    ctx.Images.Mem3Write.EmptyGas = static_cast<qint16>(value);
    ctx.Requests.Mem3WriteCountdown = 1.0;
    return true;
}

void ApplyFile(app::ProgramContext& ctx, const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    file.close();
    file.remove();
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        RecordTestEvent((Apply(ctx, text) ? "command: " : "command refused: ") + text);
    }
}

} // namespace

void WatchTestCommandsFromEnvironment(app::ProgramContext& ctx, QObject& owner) {
    const QString path = qEnvironmentVariable("LX735_TEST_COMMANDS");
    if (path.isEmpty()) {
        return;
    }
    auto* timer = new QTimer(&owner);
    timer->setInterval(WatchIntervalMs);
    QObject::connect(timer, &QTimer::timeout, &owner, [&ctx, path] { ApplyFile(ctx, path); });
    timer->start();
}

} // namespace monitor
