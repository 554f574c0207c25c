#pragma once

// Hold-to-repeat for the grids stepped by the plus and minus keys: the first step at
// once on the key press, the next ones at a fixed pace while the key is held, and the
// end (which stores the edit and arms its write) once, after the key is released on one
// of the watched grids or a grid loses the focus. The keyboard's own repeat (under X11
// release and press pairs flagged auto-repeat) does not end a hold; the grids' key
// handlers take no auto-repeated press as a new one.

#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace emulation {

class HoldRepeat : public QObject {
public:
    HoldRepeat();

    // The grid's key releases, focus losses and repeated presses reach the hold.
    void Watch(QWidget& grid);

    bool Active() const { return active_; }
    // Steps once now and then every periodMs until the hold ends; finish runs then.
    // Nothing while a hold runs.
    void Start(int periodMs, std::function<void()> step, std::function<void()> finish);
    // Ends the running hold (its finish runs once); nothing when none runs.
    void End();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QTimer timer_;
    bool active_ = false;
    std::function<void()> step_;
    std::function<void()> finish_;
};

} // namespace emulation
