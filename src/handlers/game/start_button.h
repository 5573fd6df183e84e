#pragma once
// The start button ("可以开始") on the table surface and its countdown: once
// somebody at the table is ready, a player who does not press start within
// 20 seconds is taken off the table.

#include <memory>

#include "core/clock.h"
#include "game/game_links.h"

namespace krvo {

class TableButton;
class TurnClock;

inline constexpr int kStartCountdownSeconds = 20;

class StartButton {
public:
    struct Links {
        const LaunchParams& launch;
        PublicState& pub;
        TableState& table;
        TableScene& scene;
        PacketSender& sender;
        Clock& clock;
        // Ends the program: the countdown ran out.
        std::function<void(ExitReason)> closeMainWindow;
    };

    // The button is hidden until a player may start.
    StartButton(Links links, TurnClock& clock, TableButton& button);
    ~StartButton();
    StartButton(const StartButton&) = delete;
    StartButton& operator=(const StartButton&) = delete;

    // Shown exactly while blnCanStart is set (never for an onlooker), with
    // the countdown running; raising it while the countdown is stopped starts
    // it again from 20.
    void showStartButton();
    // blnCanStart set (or cleared) and the button shown as it says.
    void putUp();
    void takeDown();

    void pressStart();
    void countdownTick();

    int countdown() const { return secondsLeft_; }
    bool countdownRunning() const { return countdownTimer_->isActive(); }

private:
    bool anybodyReady() const;

    Links links_;
    TurnClock& clock_;
    TableButton& cmdStart_;
    std::unique_ptr<Timer> countdownTimer_;
    int secondsLeft_ = kStartCountdownSeconds;
};

}  // namespace krvo
