// lx735-bench-timer: a bare Qt program with one 1 ms precise timer that does nothing.
// lx735-bench-e2e runs it beside lx735 and measures both over the same window, so the
// program's CPU figure reads against a yardstick of the same machine and moment.

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    return application.exec();
}
