#pragma once

#include <Qt>

namespace support {

// Sets the application's mouse pointer for its lifetime (the hourglass of a long
// handler, the arrow over a box) and restores the previous one on every path out.
class CursorOverride {
public:
    explicit CursorOverride(Qt::CursorShape shape);
    ~CursorOverride();
    CursorOverride(const CursorOverride&) = delete;
    CursorOverride& operator=(const CursorOverride&) = delete;

private:
    bool active_ = false;
};

} // namespace support
