#pragma once
// What the table handling tells the table surface has changed, named after
// what is drawn. Each call only marks that part of the table to be repainted
// (invalidate*), or to be taken off (erase*); the layer routine paints it
// later, from the state. The renderer implements it; NullTableScene serves
// where nothing is drawn, and tests record the calls.
//
// Every call reads the table state as it is at the moment of the call; the
// callers change the state first and then ask for the picture. The round's
// elements have empty defaults so that a surface drawing only the seats keeps
// working.

#include <array>
#include <cstddef>
#include <cstdint>

namespace krvo {

// Which plays the table centre shows.
enum class TrickView : std::uint8_t { Current, Previous };

class TableScene {
public:
    virtual ~TableScene() = default;
    // A seat's picture and name (an empty chair erases them).
    virtual void invalidateSeat(std::uint8_t chair) = 0;
    virtual void invalidateOfflineMark(std::uint8_t chair) = 0;
    // The raised hand (ready, or agreed during the settings round).
    virtual void invalidateReadyMark(std::uint8_t chair) = 0;
    // Recomputes places and sizes for the current view and window size.
    virtual void layoutTable() = 0;
    // The whole window and table afresh.
    virtual void invalidateTable() = 0;

    // A seat's hand (the own hand at the local seat) and its count of cards left.
    virtual void invalidateSeatHand(std::uint8_t) {}
    virtual void invalidateOwnHand() {}
    // The own hand after card `index` (from 1) was raised or lowered.
    virtual void invalidateToggledCard(std::size_t) {}
    // Every seat's play in the centre, of this trick or the previous one.
    virtual void invalidateTableCentre(TrickView) {}
    // One seat's current play in the centre, drawn over what is there.
    virtual void invalidateSeatPlay(std::uint8_t) {}
    // One seat's current play taken off the centre; call before clearing it.
    virtual void eraseSeatPlay(std::uint8_t) {}

    // The red aces a seat is known to hold and the declarations it made.
    virtual void invalidateDeclarationMarks(std::uint8_t) {}
    // The seat's finishing place in the round.
    virtual void invalidatePlaceMark(std::uint8_t) {}
    // The bubble announcing the first player, beside that seat.
    virtual void invalidateFirstPlayerMark(std::uint8_t) {}

    // Sort and previous-trick buttons, in their states.
    virtual void invalidateToolButtons() {}
    // Play, pass and hint, in their states; erase takes them off the table.
    virtual void invalidatePlayButtons() {}
    virtual void erasePlayButtons() {}
    // The two answers of a declaration turn, captioned for the round state;
    // erasing them also redraws the centre under them.
    virtual void invalidateDecisionButtons() {}
    virtual void eraseDecisionButtons() {}
    // "Other players are deciding" for the current round state.
    virtual void invalidateWaitingNotice() {}

    // The column of the round's declarations, lit or dim.
    virtual void invalidateDeclarationPanel() {}
    // Names with the last round's and the total scores.
    virtual void invalidateScorePanel() {}
    // The box with the round's result.
    virtual void invalidateRoundResult(const std::array<std::int32_t, 4>&) {}
    // Kind 1 (bombs) or 2 (the pair of red aces, the trick flag) over the
    // seat's play. Returns after the last frame, with the table restored; it
    // waits with events flowing, so other handlers may run inside it. The
    // caller keeps blnBombShow set meanwhile.
    virtual void playBombAnimation(std::uint8_t, std::uint8_t) {}
    // The picture of prop `propId` over the seat of the chair it was used on,
    // for a moment; it returns at once and goes away on its own.
    virtual void showPropUsed(std::uint8_t, std::int32_t) {}

    // The turn clock beside the seat whose turn is timed, after `ticks` seconds
    // of its countdown; erase takes it away.
    virtual void invalidateClock(std::uint8_t, std::int32_t) {}
    virtual void eraseClock(std::uint8_t) {}
};

class NullTableScene final : public TableScene {
public:
    void invalidateSeat(std::uint8_t) override {}
    void invalidateOfflineMark(std::uint8_t) override {}
    void invalidateReadyMark(std::uint8_t) override {}
    void layoutTable() override {}
    void invalidateTable() override {}
};

}  // namespace krvo
