#pragma once
// What the table handling asks the table surface to draw, named after what is
// drawn. The renderer implements it; until then NullTableScene serves the
// program, and tests record the calls.

#include <cstdint>

namespace krvo {

class TableScene {
public:
    virtual ~TableScene() = default;
    // A seat's picture and name (an empty chair erases them).
    virtual void paintSeat(std::uint8_t chair) = 0;
    virtual void paintOfflineMark(std::uint8_t chair) = 0;
    // The raised hand (ready, or agreed during the settings round).
    virtual void paintReadyMark(std::uint8_t chair) = 0;
    // Recomputes places and sizes for the current view and window size.
    virtual void layoutTable() = 0;
    // The whole window and table afresh.
    virtual void paintTable() = 0;
};

class NullTableScene final : public TableScene {
public:
    void paintSeat(std::uint8_t) override {}
    void paintOfflineMark(std::uint8_t) override {}
    void paintReadyMark(std::uint8_t) override {}
    void layoutTable() override {}
    void paintTable() override {}
};

}  // namespace krvo
