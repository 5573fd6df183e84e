#pragma once
// A TableScene that records each call together with what the seat held at
// the moment of the call, so a test sees whether a seat was drawn empty or
// filled, and in which order.

#include <string>
#include <vector>

#include "ports/table_scene.h"
#include "state/table_state.h"

namespace krvo::testing {

class SeatPaintRecorder final : public TableScene {
public:
    explicit SeatPaintRecorder(const TableState& table) : table_(table) {}

    void invalidateSeat(std::uint8_t chair) override { record("seat", chair); }
    void invalidateOfflineMark(std::uint8_t chair) override { record("offline", chair); }
    void invalidateReadyMark(std::uint8_t chair) override { record("ready", chair); }
    void layoutTable() override { calls.push_back("layout"); }
    void invalidateTable() override { calls.push_back("table"); }

    // "seat 2 alice", "offline 2 alice", "seat 0 " (an empty seat).
    std::vector<std::string> calls;

private:
    void record(const char* what, std::uint8_t chair) {
        const std::string name = chair < kChairCount ? table_.arrSeat[chair].strUserName : "?";
        calls.push_back(std::string(what) + " " + std::to_string(chair) + " " + name);
    }

    const TableState& table_;
};

}  // namespace krvo::testing
