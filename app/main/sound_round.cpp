#include "sound_round.h"

#include <utility>

namespace velmi {

SoundRound::~SoundRound() {
    Stop();
    if (worker_.joinable()) worker_.join();
}

void SoundRound::Start(std::wstring path, int plays) {
    if (sounding_) return;
    // The last round has ended; its thread only has to be collected.
    if (worker_.joinable()) worker_.join();
    stop_ = false;
    sounding_ = true;
    try {
        worker_ = std::thread([this, path = std::move(path), plays] {
            for (int i = 0; i < plays && !stop_; ++i)
                player_.Play(path);
            sounding_ = false;
        });
    } catch (...) {
        sounding_ = false;  // no thread: this round is silent, the next may sound
    }
}

void SoundRound::Stop() {
    if (!sounding_) return;
    stop_ = true;
    player_.Stop();
}

}  // namespace velmi
