#include "game/start_button.h"

#include <QPushButton>
#include <QWidget>

#include "app/command_line.h"
#include "app/public_state.h"
#include "core/packet.h"
#include "game/table_state.h"
#include "game/turn_clock.h"
#include "render/table_scene.h"

namespace krvo {
namespace {

const QString kStartCaption = QStringLiteral("可以开始");
constexpr std::int64_t kSecondMs = 1000;

}  // namespace

StartButton::StartButton(GameLinks links, TurnClock& clock, QWidget& surface)
    : links_(std::move(links)),
      clock_(clock),
      cmdStart_(new QPushButton(kStartCaption, &surface)),
      tmrStart_(links_.clock.createTimer([this] { tmrStart_Timer(); })) {
    cmdStart_->setObjectName(QStringLiteral("cmdStart"));
    cmdStart_->hide();
    connect(cmdStart_.data(), &QPushButton::clicked, this, [this] { cmdStart_Click(); });
}

StartButton::~StartButton() {
    // The surface may live on; a click must not reach a flow that is gone.
    delete cmdStart_.data();
}

void StartButton::ShowStartButton() {
    PublicState& pub = links_.pub;
    if (pub.blnIsOnlooker) pub.blnCanStart = false;
    if (cmdStart_) cmdStart_->setVisible(pub.blnCanStart);
    if (!pub.blnCanStart) {
        tmrStart_->stop();
        return;
    }
    if (tmrStart_->isActive()) return;
    tmrStartTag_ = kStartCountdownSeconds;
    // A fresh countdown waits again for somebody to be ready.
    if (cmdStart_) cmdStart_->setText(kStartCaption);
    tmrStart_->start(kSecondMs);
}

void StartButton::PutUp() {
    links_.pub.blnCanStart = true;
    ShowStartButton();
}

void StartButton::TakeDown() {
    links_.pub.blnCanStart = false;
    ShowStartButton();
}

bool StartButton::anybodyReady() const {
    for (const SeatInfo& seat : links_.table.arrSeat) {
        if (!seat.strUserName.empty() && seat.blnReady) return true;
    }
    return false;
}

void StartButton::tmrStart_Timer() {
    const bool waiting = !cmdStart_ || cmdStart_->text() == kStartCaption;
    if (waiting && !anybodyReady()) return;
    --tmrStartTag_;
    if (cmdStart_) cmdStart_->setText(kStartCaption + ' ' + QString::number(tmrStartTag_));
    if (tmrStartTag_ > 0) return;
    tmrStart_->stop();
    if (links_.closeMainWindow) links_.closeMainWindow();
}

void StartButton::cmdStart_Click() {
    PublicState& pub = links_.pub;
    if (pub.bteGameState != 0) {
        if (IsPlayer(links_)) {
            ResetRound(links_.table, false);
            clock_.StopClock();
            TakeDown();
            links_.scene.paintTable();
            const Packet ready = {18, pub.bteMyChair};
            SendGamePacket(links_, ready);
        } else {
            TakeDown();
        }
    } else {
        const std::uint8_t header[] = {112, 1};
        Packet agree;
        if (BuildPacket(links_.launch.strMyUserName, agree, 2, header)) {
            SendGamePacket(links_, agree);
        }
    }
    TakeDown();
}

}  // namespace krvo
