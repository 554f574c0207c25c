#include "monitor/TestHooks.h"

#include "platform/Sound.h"
#include "support/Clock.h"
#include "support/MessageBox.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cmath>

namespace monitor {

namespace {

QString& EventsPath() {
    static QString path;
    return path;
}

// "<kind> <ms> <text>", the time on the clock of the link log's lines.
void AppendLine(const QString& kind, const QString& text) {
    if (EventsPath().isEmpty()) {
        return;
    }
    const auto ms = static_cast<qint64>(std::nearbyint(support::GetTimeUsec() / 1000.0));
    QFile file(EventsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write((kind + " " + QString::number(ms) + " " + text).toUtf8() + '\n');
    }
}

// The box's text on one line: CR and LF written as \r and \n.
QString OneLine(QString text) {
    return text.replace('\r', "\\r").replace('\n', "\\n");
}

// Takes the local files the program hands to the desktop (the help document): recorded as
// "open <url>" instead of opened, so that a test run starts no viewer.
class DesktopRecorder : public QObject {
    Q_OBJECT
public:
    explicit DesktopRecorder(QObject* parent) : QObject(parent) {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
    }
    ~DesktopRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

public slots:
    void Open(const QUrl& url) { RecordTestEvent("open " + url.toString()); }
};

int FirstButton(int style) {
    switch (style & 7) {
    case support::vbYesNoCancel:
    case support::vbYesNo:
        return support::vbYes;
    default:
        return support::vbOK;
    }
}

} // namespace

void InstallTestHooksFromEnvironment() {
    const QString path = qEnvironmentVariable("LX735_TEST_EVENTS");
    if (path.isEmpty() || !EventsPath().isEmpty()) {
        return;
    }
    EventsPath() = path;
    const bool boxButtons = !qEnvironmentVariable("LX735_TEST_BOX_BUTTONS").isEmpty();
    // Lives for the rest of the run.
    static const support::ScopedMsgBoxHandler handler(
        [boxButtons](const QString& prompt, int style, const QString& title) {
            AppendLine("MSGBOX", OneLine(title) + "|" + OneLine(prompt));
            if (boxButtons) {
                RecordTestEvent("box buttons " + support::ButtonTexts(style).join(u'|'));
            }
            return FirstButton(style);
        });
    platform::SetBeepObserver([](int hz, int ms) {
        RecordTestEvent("beep " + QString::number(hz) + " " + QString::number(ms));
    });
    // LX735_TEST_REAL_DESKTOP hands the files to the desktop itself, so that a test meets
    // the desktop's own failure (the recorder takes every file and never fails).
    if (qEnvironmentVariable("LX735_TEST_REAL_DESKTOP").isEmpty()) {
        new DesktopRecorder(QCoreApplication::instance());
    }
}

void RecordTestEvent(const QString& text) {
    AppendLine("EVENT", text);
}

void GrabWindowFromEnvironment(QWidget& window) {
    const QString path = qEnvironmentVariable("LX735_TEST_GRAB");
    if (path.isEmpty()) {
        return;
    }
    auto* timer = new QTimer(&window);
    timer->setInterval(2000);
    QObject::connect(timer, &QTimer::timeout, &window,
                     [&window, path] { window.grab().save(path, "PNG"); });
    timer->start();
}

} // namespace monitor

#include "TestHooks.moc"
