#pragma once

namespace platform {

// Monotonic time in microseconds since an arbitrary origin; never goes back, never
// jumps with the time of day.
double SteadyNowUsec();

// Gives the processor away for about usec microseconds (nothing for usec <= 0).
void SleepUsec(double usec);

} // namespace platform
