#pragma once
// Round-flow operations the room handling triggers but the game side owns:
// the turn clock, the start button and the action area.

namespace krvo {

class TableFlow {
public:
    virtual ~TableFlow() = default;
    virtual void StopClock() = 0;
    // Shows or takes down the start button as blnCanStart says, with its countdown.
    virtual void RefreshStartButton() = 0;
    // Brings the action buttons and the clock up to date with the round state.
    virtual void RefreshAction() = 0;
};

class NullTableFlow final : public TableFlow {
public:
    void StopClock() override {}
    void RefreshStartButton() override {}
    void RefreshAction() override {}
};

}  // namespace krvo
