#pragma once

// The cadence of a held step button: the first step at the press, the next after 0.2 s,
// and each later wait 1.2 times shorter while it is above 1/80 s (0.2, 0.1667, ...,
// 0.01298 s, then 0.01082 s for good). Times are microseconds of the program's clock.

namespace calibration {

class HoldRepeat {
public:
    void Press(double nowUsec);
    void Release() { held_ = false; }
    bool Held() const { return held_; }

    // True when the next step is due at nowUsec; the wait after it starts then.
    bool TakeDue(double nowUsec);
    // Microseconds until the next step (0 when due, or not held).
    double UsecToNext(double nowUsec) const;
    double Delay() const { return delay_; }

private:
    bool held_ = false;
    double delay_ = 0.2; // seconds
    double nextUsec_ = 0;
};

} // namespace calibration
