#include "render/table_mouse.h"

#include <optional>
#include <span>

#include "game/table_actions.h"
#include "render/table_renderer.h"
#include "render/table_surface.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

// Lights button `hit` of a group and puts out the others; -1 puts out all.
// A button that is not shown never lights. True when a state changed.
bool light(std::span<std::uint8_t> states, int count, int hit) {
    if (hit >= 0 && states[static_cast<std::size_t>(hit)] != kButtonShown) return false;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        std::uint8_t& state = states[static_cast<std::size_t>(i)];
        std::uint8_t wanted = state;
        if (i == hit) {
            wanted = kButtonHover;
        } else if (state == kButtonHover) {
            wanted = kButtonShown;
        }
        changed = changed || wanted != state;
        state = wanted;
    }
    return changed;
}

bool turnState(const TableState& table) {
    return table.bteRoundState == kRoundLead || table.bteRoundState == kRoundFollow;
}

}  // namespace

TableMouse::TableMouse(TableRenderer& renderer, TableState& table, const PublicState& pub,
                       TableActions& actions)
    : renderer_(renderer), table_(table), pub_(pub), actions_(actions) {
    renderer_.buttonsDrawn = [this] { relight(); };
}

TableMouse::~TableMouse() {
    renderer_.buttonsDrawn = nullptr;
}

int TableMouse::playButtonCount() const {
    return table_.bteRoundState == kRoundFollow ? 3 : 1;
}

void TableMouse::moveOverTable(int, QPoint point) {
    hover(point);
}

void TableMouse::hover(QPoint point) {
    hoverToolButtons(point);
    hoverDecisionButtons(point);
    hoverPlayButtons(point);
}

// A button drawn where the pointer already rests gets no mouse move; without
// this its first click would find it unlit and do nothing. Lighting repaints
// the buttons, which calls back here: that call has nothing left to change.
void TableMouse::relight() {
    const std::optional<QPoint> pointer = renderer_.pointer();
    if (!pointer || relighting_) return;
    relighting_ = true;
    hover(*pointer);
    relighting_ = false;
}

bool TableMouse::hoverToolButtons(QPoint point) {
    if (table_.bteToolBut[0] == kButtonHidden) return false;
    const int hit = HitToolButton(renderer_.layout(), table_.bteToolBut, point);
    const bool changed = light(table_.bteToolBut, kToolButtonCount, hit);
    if (changed) renderer_.invalidateToolButtons();
    // The hint belongs to the lit button only; elsewhere the table has none.
    if (setToolTip && (changed || hit < 0)) {
        const bool lit =
            hit >= 0 && table_.bteToolBut[static_cast<std::size_t>(hit)] == kButtonHover;
        setToolTip(lit ? QString::fromStdString(table_.strToolTip[static_cast<std::size_t>(hit)])
                       : QString());
    }
    return changed;
}

bool TableMouse::hoverDecisionButtons(QPoint point) {
    if (table_.bteLiangBut[0] == kButtonHidden) return false;
    const int hit = HitDecisionButton(renderer_.layout(), table_.bteLiangBut, point);
    const bool changed = light(table_.bteLiangBut, 2, hit);
    if (changed) renderer_.invalidateDecisionButtons();
    return changed;
}

bool TableMouse::hoverPlayButtons(QPoint point) {
    if (table_.bteOutBut[0] == kButtonHidden || !turnState(table_)) return false;
    const int count = playButtonCount();
    const int hit = HitPlayButton(renderer_.layout(), table_.bteOutBut, count, point);
    const bool changed = light(table_.bteOutBut, count, hit);
    if (changed) renderer_.invalidatePlayButtons();
    return changed;
}

bool TableMouse::clickButtons(QPoint point) {
    const TableLayout& layout = renderer_.layout();
    const int tool = HitToolButton(layout, table_.bteToolBut, point);
    if (tool >= 0 && table_.bteToolBut[static_cast<std::size_t>(tool)] == kButtonHover) {
        if (tool == 0) {
            actions_.sortHand();
        } else {
            actions_.showPreviousTrick();
        }
        return true;
    }
    const int decision = HitDecisionButton(layout, table_.bteLiangBut, point);
    if (decision >= 0 && table_.bteLiangBut[static_cast<std::size_t>(decision)] == kButtonHover) {
        // The left button answers yes, the right one no.
        actions_.sendAnswer(decision == 0 ? 1 : 0);
        return true;
    }
    const bool myTurn = !pub_.blnIsOnlooker && table_.bteCurChair == pub_.bteMyChair;
    if (!myTurn || !turnState(table_)) return false;
    const int play = HitPlayButton(layout, table_.bteOutBut, playButtonCount(), point);
    if (play < 0 || table_.bteOutBut[static_cast<std::size_t>(play)] != kButtonHover) return false;
    actions_.clickPlayButton(play);
    return true;
}

void TableMouse::releaseOnTable(int button, QPoint point) {
    if (clickButtons(point)) return;
    const int card = HitOwnHand(renderer_.layout(), table_.bteSelected,
                                static_cast<int>(table_.bteMyPai.size()), point);
    if (button == kRightButton) {
        actions_.rightClick();
        return;
    }
    if (card > 0 && button == kLeftButton && actions_.toggleCard(static_cast<std::size_t>(card))) {
        return;
    }
    actions_.lowerAllCards();
}

}  // namespace krvo
