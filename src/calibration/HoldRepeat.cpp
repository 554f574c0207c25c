#include "calibration/HoldRepeat.h"

namespace calibration {

void HoldRepeat::Press(double nowUsec) {
    held_ = true;
    delay_ = 0.2;
    nextUsec_ = nowUsec + delay_ * 1e6;
}

bool HoldRepeat::TakeDue(double nowUsec) {
    if (!held_ || nowUsec < nextUsec_) {
        return false;
    }
    if (delay_ > 1.0 / 80) {
        delay_ /= 1.2;
    }
    nextUsec_ = nowUsec + delay_ * 1e6;
    return true;
}

double HoldRepeat::UsecToNext(double nowUsec) const {
    return held_ && nextUsec_ > nowUsec ? nextUsec_ - nowUsec : 0;
}

} // namespace calibration
