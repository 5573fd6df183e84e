#include "game/game_links.h"

#include "core/waits.h"
#include "ports/message_boxes.h"
#include "ports/sound_player.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "state/user_settings.h"

namespace krvo {

void GameSounds::play(GameSound which) const {
    if (settings.bteSoundOn == 0) return;
    sound.playGameSound(which);
}

bool NoticeBox::show(std::string_view text, std::string_view caption) const {
    boxes.showMessageBox(0, MsgType::OneButton, text, caption, 10, "确定", "", true);
    return !waiter.ending();
}

bool IsPlayer(const PublicState& pub) {
    return !pub.blnIsOnlooker && pub.bteMyChair < kChairCount;
}

bool IsMyTurn(const PublicState& pub, const TableState& table) {
    return IsPlayer(pub) && table.bteCurChair == pub.bteMyChair;
}

}  // namespace krvo
