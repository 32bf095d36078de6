// The alarm's round of plays on a worker thread, so that the windows keep
// answering while it sounds.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace velmi {

// Plays a sound file to its end; Stop ends a play under way on another thread.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Play(std::wstring_view path) = 0;
    virtual void Stop() = 0;
};

class SoundRound {
public:
    explicit SoundRound(SoundPlayer& player) : player_(player) {}
    ~SoundRound();
    SoundRound(const SoundRound&) = delete;
    SoundRound& operator=(const SoundRound&) = delete;

    // Plays the file the number of times unless a round is sounding already.
    void Start(std::wstring path, int plays);
    // Ends the round under way, between two plays or in the middle of one.
    void Stop();
    [[nodiscard]] bool Sounding() const noexcept { return sounding_; }

private:
    SoundPlayer& player_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> sounding_{false};
};

}  // namespace velmi
