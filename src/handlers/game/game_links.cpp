#include "game/game_links.h"

#include "core/waits.h"
#include "ports/message_boxes.h"
#include "ports/packet_sender.h"
#include "ports/sound_player.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"

namespace krvo {

void PlayGameSound(const GameLinks& links, GameSound sound) {
    if (links.settings.bteSoundOn == 0) return;
    links.sound.PlayGameSound(sound);
}

void SendGamePacket(const GameLinks& links, std::span<const std::uint8_t> packet) {
    links.sender.SendPacket(packet);
}

bool ShowNotice(const GameLinks& links, std::string_view text, std::string_view caption) {
    links.boxes.ShowMessageBox(0, MsgType::OneButton, text, caption, 10, "确定", "", true);
    return !links.waiter.ending();
}

bool IsPlayer(const GameLinks& links) {
    return !links.pub.blnIsOnlooker && links.pub.bteMyChair < kChairCount;
}

bool IsMyTurn(const GameLinks& links) {
    return IsPlayer(links) && links.table.bteCurChair == links.pub.bteMyChair;
}

}  // namespace krvo
