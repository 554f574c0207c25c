#include "platform/Sound.h"

#include <QApplication>
#include <QMetaObject>
#include <algorithm>
#include <alsa/asoundlib.h>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>

namespace platform {

namespace {

constexpr int SampleRate = 48000;
constexpr int RampMs = 4;
constexpr double Amplitude = 0.3 * 32767;

std::function<void(int, int)>& Observer() {
    static std::function<void(int, int)> observer;
    return observer;
}

// The bell belongs to the user interface's thread; a tone that cannot play asks for it
// there.
void RingBellFromAnyThread() {
    QCoreApplication* application = QCoreApplication::instance();
    if (qobject_cast<QApplication*>(application) == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(
        application, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

// ALSA reports a missing device on stderr as well as by its result; the result is enough.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

// One thread plays the tones in turn, so the caller never waits for the sound device.
// It lives for the rest of the run; at exit it finishes the tone in hand and drops the
// rest.
class TonePlayer {
public:
    TonePlayer() : worker_([this] { Run(); }) {}
    ~TonePlayer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        worker_.join();
    }
    TonePlayer(const TonePlayer&) = delete;
    TonePlayer& operator=(const TonePlayer&) = delete;

    void Queue(int hz, int ms) {
        {
            std::lock_guard lock(mutex_);
            // A tone asked for while several still wait adds nothing a person would hear.
            if (pending_.size() >= 4) {
                return;
            }
            pending_.emplace_back(hz, ms);
        }
        wake_.notify_one();
    }

private:
    void Run() {
        snd_lib_error_set_handler(QuietAlsaError);
        for (;;) {
            std::pair<int, int> tone;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
                if (stopping_) {
                    return;
                }
                tone = pending_.front();
                pending_.pop_front();
            }
            if (!PlayTone("default", tone.first, tone.second)) {
                RingBellFromAnyThread();
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<int, int>> pending_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace

void Beep() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::beep();
    }
}

void Beep(int hz, int ms) {
    if (Observer()) {
        Observer()(hz, ms);
    }
    if (hz <= 0 || ms <= 0) {
        return;
    }
    static TonePlayer player;
    player.Queue(hz, ms);
}

void SetBeepObserver(std::function<void(int hz, int ms)> observer) {
    Observer() = std::move(observer);
}

std::vector<std::int16_t> ToneSamples(int hz, int ms, int rate) {
    if (hz <= 0 || ms <= 0 || rate <= 0) {
        return {};
    }
    const auto count = static_cast<std::size_t>(static_cast<long long>(rate) * ms / 1000);
    const double ramp = std::max(1.0, std::min(rate * RampMs / 1000.0, count / 2.0));
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double edge = std::min<double>(i, count - 1 - i);
        const double gain = std::min(1.0, edge / ramp);
        const double phase = 2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate;
        samples[i] = static_cast<std::int16_t>(std::lround(Amplitude * gain * std::sin(phase)));
    }
    return samples;
}

bool PlayTone(const char* device, int hz, int ms) {
    const std::vector<std::int16_t> samples = ToneSamples(hz, ms, SampleRate);
    if (samples.empty()) {
        return true;
    }
    snd_pcm_t* pcm = nullptr;
    // Opened without waiting, so a device held by another program fails at once.
    if (snd_pcm_open(&pcm, device, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return false;
    }
    const std::unique_ptr<snd_pcm_t, int (*)(snd_pcm_t*)> owner(pcm, snd_pcm_close);
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, SampleRate, 1,
                           100000) < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < samples.size()) {
        const snd_pcm_sframes_t written =
            snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
        if (written < 0) {
            if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) {
                return false;
            }
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    snd_pcm_drain(pcm);
    return true;
}

} // namespace platform
