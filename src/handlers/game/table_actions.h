#pragma once
// What the local player does at the table, independent of where things are
// drawn: raising and lowering cards by their index in the hand, sorting,
// looking at the previous trick, answering a declaration, playing, passing
// and asking for a hint. The hit tests of the table surface turn clicks into
// these calls.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/clock.h"
#include "game/game_links.h"

namespace krvo {

class TurnClock;

// playAction's index: the three play buttons from the left.
enum PlayButton : int { kPlaySelection = 0, kPlayPass = 1, kPlayHint = 2 };

inline constexpr int kPreviousTrickTicks = 2;
inline constexpr int kFirstPlayerMarkTicks = 3;

class TableActions {
public:
    struct Links {
        const LaunchParams& launch;
        PublicState& pub;
        TableState& table;
        TableScene& scene;
        PacketSender& sender;
        Clock& clock;
        NoticeBox notice;
    };

    TableActions(Links links, TurnClock& clock);

    // Raises or lowers card `index` (from 1) of the own hand. False for an
    // onlooker, whose click on a card counts as a click beside the hand.
    bool toggleCard(std::size_t index);
    // A click beside the hand: every card goes down.
    void lowerAllCards();
    // By groups and by rank in turn; the raised positions stay where they are.
    void sortHand();
    // The previous trick in the centre for two ticks.
    void showPreviousTrick();
    void previousTrickTick();

    // 1 for the left (yes) decision button, 0 for the right one.
    void sendAnswer(std::uint8_t answer);
    // kPlaySelection, kPlayPass or kPlayHint; only on the local player's turn.
    void playAction(int index);
    // A click on a highlighted play button; ignored during a bomb animation.
    void clickPlayButton(int index);
    // The right button anywhere plays the selection when it is the player's turn.
    void rightClick();

    // The bubble beside the first player, for a few ticks after the deal.
    void startFirstPlayerMark();
    void firstPlayerMarkTick();

    int previousTrickTicksLeft() const { return previousTrickTicksLeft_; }
    bool firstPlayerMarkRunning() const { return firstPlayerMarkTimer_->isActive(); }

private:
    bool canPlayNow() const;
    void playSelection();
    void pass();
    void hint();
    void showTip();

    Links links_;
    TurnClock& clock_;
    std::unique_ptr<Timer> previousTrickTimer_;
    int previousTrickTicksLeft_ = 0;
    std::unique_ptr<Timer> firstPlayerMarkTimer_;
    int firstPlayerMarkTicks_ = 0;
};

}  // namespace krvo
