#pragma once
// Round-flow operations the room handling triggers but the game side owns:
// the turn clock, the start button and the action area.

namespace krvo {

class TableFlow {
public:
    virtual ~TableFlow() = default;
    virtual void stopClock() = 0;
    // Shows or takes down the start button as blnCanStart says, with its countdown.
    virtual void refreshStartButton() = 0;
    // Brings the action buttons and the clock up to date with the round state.
    virtual void refreshAction() = 0;
};

class NullTableFlow final : public TableFlow {
public:
    void stopClock() override {}
    void refreshStartButton() override {}
    void refreshAction() override {}
};

}  // namespace krvo
