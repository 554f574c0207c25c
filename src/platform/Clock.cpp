#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace platform {

double SteadyNowUsec() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

void SleepUsec(double usec) {
    if (usec > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double, std::micro>(usec));
    }
}

} // namespace platform
