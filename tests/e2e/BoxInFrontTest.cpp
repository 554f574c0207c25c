// A box in front: with a window manager (openbox) on an X server, the "Dictionary
// error" box of a damaged dictionary is the active window while the splash tells of the
// port search, as the window manager reports it (xdotool).

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <optional>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
// The splash's size: 5400 x 1650 twips at 15 twips a pixel.
const QSize SplashSize(360, 110);

// xdotool's answer on the display, trimmed; nothing when it failed.
std::optional<QString> XDoTool(const QString& display, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(LongMs) || tool.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

struct Window {
    QString id;
    QString name;
    QSize size;
};

// The program's windows that are shown (the window manager's frames excluded), from
// the bottom of the stack to its top: the search walks the window tree in that order.
QList<Window> ShownWindows(const QString& display) {
    QList<Window> windows;
    const auto ids = XDoTool(display, {"search", "--onlyvisible", "--class", "lx735"});
    for (const QString& id : ids.value_or(QString()).split('\n', Qt::SkipEmptyParts)) {
        const auto name = XDoTool(display, {"getwindowname", id});
        const auto geometry = XDoTool(display, {"getwindowgeometry", id});
        const QRegularExpressionMatch size =
            QRegularExpression("Geometry: (\\d+)x(\\d+)").match(geometry.value_or(QString()));
        if (name && size.hasMatch()) {
            windows.append({id, *name, QSize(size.captured(1).toInt(), size.captured(2).toInt())});
        }
    }
    return windows;
}

TEST(EndToEndBoxInFront, TheDictionaryErrorBoxIsActiveWhileTheSplashIsUp) {
    for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
            << tool << " is not installed (scripts/install-deps.sh)";
    }
    XServer x;
    ASSERT_FALSE(x.Display().isEmpty()) << "Xvfb did not come up";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", x.Display());
    Child windowManager;
    ASSERT_TRUE(windowManager.Start("openbox", {}, environment));

    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    QFile dictionary(staged.Path("LNG/M3.diz")); // one language an entry longer
    ASSERT_TRUE(dictionary.open(QIODevice::Append));
    dictionary.write("one entry too many\r\n");
    dictionary.close();
    staged.WriteSetCom(1, true); // no ECU anywhere: the search, and its splash, go on

    // Started as an installer starts it: its boxes are shown, not answered by the test.
    environment.insert("QT_QPA_PLATFORM", "xcb");
    Child program;
    program.process.setWorkingDirectory(staged.Path("."));
    ASSERT_TRUE(program.Start(staged.Path("BIN/lx735"), {}, environment));

    // Up: the main window, the box and the splash; the box (neither of the others) has
    // the keyboard and stands above the splash, as the window manager reports it.
    QString seen;
    const bool boxActive = WaitFor(
        [&] {
            const QList<Window> shown = ShownWindows(x.Display());
            const auto active = XDoTool(x.Display(), {"getactivewindow"});
            seen = QString::number(shown.size()) + " windows, active " + active.value_or("none");
            bool splashUp = false;
            bool boxActive = false; // the active window is one of the program's shown
            for (const Window& w : shown) {
                splashUp = splashUp || w.size == SplashSize;
                if (active && w.id == *active && !splashUp) {
                    seen += " below the splash";
                    return false;
                }
                if (active && w.id == *active) {
                    seen += " \"" + w.name + "\" " + QString::number(w.size.width()) + "x" +
                            QString::number(w.size.height());
                    // The main window's caption names the release; the box's is the bare title.
                    if (w.size == SplashSize || w.name.contains(" - ")) {
                        return false;
                    }
                    boxActive = true;
                }
            }
            return splashUp && shown.size() >= 3 && boxActive;
        },
        LongMs * 1ms);
    EXPECT_TRUE(boxActive) << seen.toStdString();
    EXPECT_TRUE(program.Running());
}

} // namespace
} // namespace e2e
