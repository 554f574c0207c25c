#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// The short warning sound (the desktop's bell).
void Beep();

// A tone of the given pitch and length, played through the sound device without
// blocking the caller; with no usable sound device the desktop's bell sounds instead
// and the program goes on. Non-positive pitches or lengths play nothing.
void Beep(int hz, int ms);

// Called with every tone asked of Beep(hz, ms), before it plays; the test hooks record
// it. An empty function removes the observer.
void SetBeepObserver(std::function<void(int hz, int ms)> observer);

// The samples of a tone: 16-bit mono at the given rate, with short ramps at both ends so
// that the tone starts and stops without a click.
std::vector<std::int16_t> ToneSamples(int hz, int ms, int rate);

// Plays a tone on the named sound device and returns when it has ended; false when the
// device cannot be opened or refuses the samples. Beep(hz, ms) runs it off the user
// interface's thread.
bool PlayTone(const char* device, int hz, int ms);

} // namespace platform
