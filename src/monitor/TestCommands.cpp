#include "monitor/TestCommands.h"

#include "app/ProgramContext.h"
#include "app/TabStrip.h"
#include "monitor/TestHooks.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace monitor {

namespace {

constexpr int WatchIntervalMs = 100;

void RecordWindow(const QWidget& window) {
    RecordTestEvent("window: " + window.windowTitle());
    QStringList captions;
    if (const auto* tabs = window.findChild<app::TabStrip*>(QStringLiteral("SstMain"))) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i)) {
                captions << tabs->tabText(i);
            }
        }
    }
    RecordTestEvent("tabs: " + captions.join('|'));
}

bool Apply(app::ProgramContext& ctx, QWidget& window, const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
    if (words == QStringList{"window"}) {
        RecordWindow(window);
        return true;
    }
    if (words == QStringList{"close"}) {
        // From the event loop, as a click on the close button arrives.
        QTimer::singleShot(0, &window, [&window] { window.close(); });
        return true;
    }
    bool ok = false;
    const int value = words.size() == 3 ? words[2].toInt(&ok) : -1;
    if (!ok || words[0] != "mem3" || words[1] != "EmptyGas" || (value != 0 && value != 1)) {
        return false;
    }
    ctx.Images.Mem3Write.EmptyGas = static_cast<qint16>(value);
    ctx.Requests.Mem3WriteCountdown = 1.0;
    return true;
}

void ApplyFile(app::ProgramContext& ctx, QWidget& window, const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    file.close();
    file.remove();
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        RecordTestEvent((Apply(ctx, window, text) ? "command: " : "command refused: ") + text);
    }
}

} // namespace

void WatchTestCommandsFromEnvironment(app::ProgramContext& ctx, QWidget& window) {
    const QString path = qEnvironmentVariable("LX735_TEST_COMMANDS");
    if (path.isEmpty()) {
        return;
    }
    auto* timer = new QTimer(&window);
    timer->setInterval(WatchIntervalMs);
    QObject::connect(timer, &QTimer::timeout, &window,
                     [&ctx, &window, path] { ApplyFile(ctx, window, path); });
    timer->start();
}

} // namespace monitor
