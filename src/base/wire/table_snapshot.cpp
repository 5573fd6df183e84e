#include "wire/table_snapshot.h"

#include "wire/message_ids.h"
#include "wire/wire_bytes.h"

namespace krvo {
namespace {

constexpr std::size_t kFirstRunningField = 4;

// Reads a report front to back; every read checks the length first.
class ReportReader {
public:
    ReportReader(std::span<const std::uint8_t> packet, std::size_t position)
        : packet_(packet), position_(position) {}

    bool read(std::uint8_t& out) {
        if (position_ >= packet_.size()) return false;
        out = packet_[position_++];
        return true;
    }

    bool readCards(CardList& out) {
        std::uint8_t count = 0;
        if (!read(count) || packet_.size() - position_ < count) return false;
        const auto begin = packet_.begin() + static_cast<std::ptrdiff_t>(position_);
        out.assign(begin, begin + count);
        position_ += count;
        return true;
    }

    template <typename... Bytes>
    bool readAll(Bytes&... out) {
        return (read(out) && ...);
    }

private:
    std::span<const std::uint8_t> packet_;
    std::size_t position_;
};

constexpr std::array kSeatFields = {&SeatSnapshot::bteLiang,  &SeatSnapshot::bteJiu,
                                    &SeatSnapshot::bteJue,    &SeatSnapshot::bteZhi,
                                    &SeatSnapshot::bteMingCi, &SeatSnapshot::btePaiCount};

TableSnapshot idleTable(std::span<const std::uint8_t> packet) {
    TableSnapshot snapshot;
    for (std::size_t chair = 0; chair < snapshot.ready.size(); ++chair) {
        snapshot.ready[chair] = packet[4 + chair] != 0;
    }
    snapshot.blnCanSeeMyPai = packet[8];
    return snapshot;
}

std::optional<TableSnapshot> runningRound(std::span<const std::uint8_t> packet) {
    TableSnapshot s;
    s.running = true;
    ReportReader reader(packet, kFirstRunningField);
    OutPaiInfo& top = s.udtMaxOutPai;
    if (!reader.readAll(s.blnCanSeeMyPai, s.bteMaxLeaveRequests, s.bteLeaveRequestsUsed,
                        s.bteDeckCount, s.blnShowOtherPai, s.bteDeclareTime, s.btePlayTime,
                        s.bteCurChair, s.bteRoundState, top.bteChair, top.bteMaxPai, top.btePaiType,
                        top.btePaiCount, s.bteRoundLiang, s.bteRoundJiu, s.bteRoundJue,
                        s.bteRoundZhi)) {
        return std::nullopt;
    }
    for (const auto field : kSeatFields) {
        for (SeatSnapshot& seat : s.seats) {
            if (!reader.read(seat.*field)) return std::nullopt;
        }
    }
    for (SeatSnapshot& seat : s.seats) {
        if (!reader.readCards(seat.bteOutPai)) return std::nullopt;
    }
    if (!reader.readCards(s.bteMyPai)) return std::nullopt;
    return s;
}

}  // namespace

Packet TableSnapshotPacket(const TableSnapshot& s) {
    if (!s.running) {
        Packet packet = {RoomMsg::kSnapshot, kOnlySub, 0, 0};
        for (const bool ready : s.ready) packet.push_back(ready ? 1 : 0);
        packet.push_back(s.blnCanSeeMyPai);
        return packet;
    }
    const OutPaiInfo& top = s.udtMaxOutPai;
    Packet packet = {RoomMsg::kSnapshot,
                     kOnlySub,
                     1,
                     0,
                     s.blnCanSeeMyPai,
                     s.bteMaxLeaveRequests,
                     s.bteLeaveRequestsUsed,
                     s.bteDeckCount,
                     s.blnShowOtherPai,
                     s.bteDeclareTime,
                     s.btePlayTime,
                     s.bteCurChair,
                     s.bteRoundState,
                     top.bteChair,
                     top.bteMaxPai,
                     top.btePaiType,
                     top.btePaiCount,
                     s.bteRoundLiang,
                     s.bteRoundJiu,
                     s.bteRoundJue,
                     s.bteRoundZhi};
    for (const auto field : kSeatFields) {
        for (const SeatSnapshot& seat : s.seats) packet.push_back(seat.*field);
    }
    for (const SeatSnapshot& seat : s.seats) AppendCountedCards(packet, seat.bteOutPai);
    AppendCountedCards(packet, s.bteMyPai);
    return packet;
}

std::optional<TableSnapshot> ParseTableSnapshot(std::span<const std::uint8_t> packet) {
    if (packet.size() < 3) return std::nullopt;
    if (packet[2] != 0) return runningRound(packet);
    if (packet.size() < kIdleSnapshotSize) return std::nullopt;
    return idleTable(packet);
}

}  // namespace krvo
