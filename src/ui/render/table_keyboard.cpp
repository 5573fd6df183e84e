#include "render/table_keyboard.h"

#include <QtCore/qnamespace.h>

#include <algorithm>

#include "core/cards.h"
#include "game/start_button.h"
#include "game/table_actions.h"
#include "render/table_renderer.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

using enum TableKeyAction;

constexpr TableKeyBinding kBindings[] = {
    {Qt::Key_Left, MarkLeft}, {Qt::Key_Right, MarkRight}, {Qt::Key_Home, MarkFirst},
    {Qt::Key_End, MarkLast},  {Qt::Key_Space, Toggle},    {Qt::Key_Up, Raise},
    {Qt::Key_Down, Lower},    {Qt::Key_Escape, LowerAll}, {Qt::Key_Return, Play},
    {Qt::Key_Enter, Play},    {Qt::Key_P, Pass},          {Qt::Key_0, Pass},
    {Qt::Key_H, Hint},        {Qt::Key_S, Sort},          {Qt::Key_L, PreviousTrick},
    {Qt::Key_1, AnswerYes},   {Qt::Key_2, AnswerNo},      {Qt::Key_G, Start},
};

// Held down, only the mark keeps moving: a repeated Space or Enter would undo
// a card or play twice.
bool repeats(TableKeyAction action) {
    return action == MarkLeft || action == MarkRight;
}

bool shown(std::uint8_t state) {
    return state != kButtonHidden;
}

}  // namespace

std::span<const TableKeyBinding> TableKeyBindings() {
    return kBindings;
}

QString KeyName(TableKeyAction action) {
    switch (action) {
        case Play:
            return QStringLiteral("Enter");
        case Pass:
            return QStringLiteral("P");
        case Hint:
            return QStringLiteral("H");
        case Sort:
            return QStringLiteral("S");
        case PreviousTrick:
            return QStringLiteral("L");
        case AnswerYes:
            return QStringLiteral("1");
        case AnswerNo:
            return QStringLiteral("2");
        case Start:
            return QStringLiteral("G");
        default:
            return {};
    }
}

QString WithKey(const QString& tip, TableKeyAction action) {
    const QString key = KeyName(action);
    if (key.isEmpty()) return tip;
    const bool spaced = tip.isEmpty() || tip.endsWith(u' ');
    return tip + (spaced ? QString() : QStringLiteral(" ")) + u'(' + key + u')';
}

QString CardText(std::uint8_t code) {
    static const char16_t* const suits[] = {u"红桃", u"黑桃", u"梅花", u"方块"};
    static const char16_t* const ranks[] = {u"3", u"4",  u"5", u"6", u"7", u"8",
                                            u"9", u"10", u"J", u"Q", u"K", u"A"};
    if (code == kRedAceSuit0) code = kPlainAceSuit0;
    if (code == kRedAceSuit3) code = kPlainAceSuit3;
    const int suit = code / kRanksPerSuit;
    const int rank = code % kRanksPerSuit;
    if (suit > 3 || rank > kRankAce) return QStringLiteral("?");
    return QString::fromUtf16(suits[suit]) + QString::fromUtf16(ranks[rank]);
}

TableKeyboard::TableKeyboard(TableRenderer& renderer, TableState& table, const PublicState& pub,
                             TableActions& actions, StartButton& start)
    : renderer_(renderer), table_(table), pub_(pub), actions_(actions), start_(start) {}

TableKeyboard::~TableKeyboard() {
    renderer_.setHandMark(0);
}

// An onlooker's hand is the watched player's, which nobody may raise.
int TableKeyboard::cardCount() const {
    return pub_.blnIsOnlooker ? 0 : static_cast<int>(table_.bteMyPai.size());
}

int TableKeyboard::markedCard() const {
    const int n = cardCount();
    return n == 0 ? 0 : std::clamp(marked_, 1, n);
}

void TableKeyboard::setFocused(bool focused) {
    focused_ = focused;
    showMark();
    if (focused_) describe();
}

void TableKeyboard::markCard(int index) {
    if (index < 1 || index > cardCount()) return;
    marked_ = index;
    showMark();
}

// The renderer draws the mark on the last card of a hand shorter than the
// marked place, and none while the hand is empty.
void TableKeyboard::showMark() {
    renderer_.setHandMark(focused_ && !pub_.blnIsOnlooker ? marked_ : 0);
}

bool TableKeyboard::keyPressed(int key, bool withCommandModifier, bool autoRepeat) {
    if (withCommandModifier) return false;
    const auto binding = std::find_if(std::begin(kBindings), std::end(kBindings),
                                      [key](const TableKeyBinding& b) { return b.key == key; });
    if (binding == std::end(kBindings)) return false;
    if (!autoRepeat || repeats(binding->action)) act(binding->action);
    describe();
    return true;
}

void TableKeyboard::act(TableKeyAction action) {
    if (moveMark(action)) return;
    const int marked = markedCard();
    const auto raised = [&] {
        const std::size_t at = static_cast<std::size_t>(marked - 1);
        return at < table_.bteSelected.size() && table_.bteSelected[at] != 0;
    };
    switch (action) {
        case Toggle:
        case Raise:
        case Lower:
            if (marked == 0) return;
            if (action == Raise && raised()) return;
            if (action == Lower && !raised()) return;
            actions_.toggleCard(static_cast<std::size_t>(marked));
            return;
        case LowerAll:
            actions_.lowerAllCards();
            return;
        case Play:
            // Between rounds the hand is gone and Enter is the start button's.
            if (!pressPlay(kPlaySelection)) pressStart();
            return;
        case Pass:
            pressPlay(kPlayPass);
            return;
        case Hint:
            pressPlay(kPlayHint);
            return;
        case Sort:
            if (shown(table_.bteToolBut[0])) actions_.sortHand();
            return;
        case PreviousTrick:
            if (shown(table_.bteToolBut[1])) actions_.showPreviousTrick();
            return;
        case AnswerYes:
        case AnswerNo: {
            const std::size_t button = action == AnswerYes ? 0 : 1;
            // The left button answers yes, the right one no.
            if (shown(table_.bteLiangBut[button])) actions_.sendAnswer(button == 0 ? 1 : 0);
            return;
        }
        case Start:
            pressStart();
            return;
        default:
            return;
    }
}

bool TableKeyboard::moveMark(TableKeyAction action) {
    const int n = cardCount();
    int to = markedCard();
    switch (action) {
        case MarkLeft:
            to = std::max(to - 1, 1);
            break;
        case MarkRight:
            to = std::min(to + 1, n);
            break;
        case MarkFirst:
            to = 1;
            break;
        case MarkLast:
            to = n;
            break;
        default:
            return false;
    }
    if (n > 0) markCard(to);
    return true;
}

bool TableKeyboard::pressPlay(int button) {
    return actions_.pressPlayButton(button);
}

bool TableKeyboard::pressStart() {
    if (!pub_.blnCanStart || pub_.blnIsOnlooker) return false;
    start_.pressStart();
    return true;
}

void TableKeyboard::describe() {
    if (!setDescription) return;
    QString text;
    const std::uint8_t state = table_.bteRoundState;
    const std::uint8_t chair = table_.bteCurChair;
    if (state >= kRoundShowRedAces && state <= kRoundFollow && chair < kChairCount) {
        const bool mine = !pub_.blnIsOnlooker && chair == pub_.bteMyChair;
        const QString who =
            mine ? QStringLiteral("你") : QString::fromStdString(table_.arrSeat[chair].strUserName);
        text = QStringLiteral("轮到") + who +
               (state >= kRoundLead ? QStringLiteral("出牌") : QStringLiteral("表态"));
    } else if (pub_.blnCanStart && !pub_.blnIsOnlooker) {
        text = QStringLiteral("可以开始了");
    }
    const int marked = focused_ ? markedCard() : 0;
    if (marked > 0) {
        const std::size_t at = static_cast<std::size_t>(marked - 1);
        const bool up = at < table_.bteSelected.size() && table_.bteSelected[at] != 0;
        if (!text.isEmpty()) text += QStringLiteral("；");
        text += QStringLiteral("第%1张，共%2张：").arg(marked).arg(cardCount()) +
                CardText(table_.bteMyPai[at]) + (up ? QStringLiteral("，已选") : QString());
    }
    setDescription(text);
}

}  // namespace krvo
