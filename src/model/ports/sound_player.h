#pragma once

namespace krvo {

// Game sounds by number; playing never blocks and a missing sound is silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playGameSound(int index) = 0;
};

class NullSoundPlayer final : public SoundPlayer {
public:
    void playGameSound(int) override {}
};

}  // namespace krvo
