#pragma once
// The keyboard on the table. While the table surface has the focus a mark
// sits on one card of the own hand; the arrows move it and raise or lower the
// marked card, and letters and digits press the table's buttons. A key acts
// exactly when a click on its button would: the same button shown, the same
// turn, the same player action behind it, so a play by key is checked and
// refused as a play by mouse is.
//
// Keys, chosen so that one hand can play: ← → move the mark (Home, End to
// the ends); Space turns the marked card over (raised or lowered), ↑ raises
// and ↓ lowers it, Escape lowers every card; Enter plays the raised cards, or
// presses 可以开始 when it is shown and there is nothing to play; P or 0
// passes, H asks for a hint, S sorts, L shows the previous trick; 1 and 2
// answer a declaration with the left and the right button; G presses 可以开始.

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace krvo {

struct PublicState;
struct TableState;
class StartButton;
class TableActions;
class TableRenderer;

enum class TableKeyAction {
    MarkLeft,
    MarkRight,
    MarkFirst,
    MarkLast,
    Toggle,
    Raise,
    Lower,
    LowerAll,
    Play,
    Pass,
    Hint,
    Sort,
    PreviousTrick,
    AnswerYes,
    AnswerNo,
    Start,
};

struct TableKeyBinding {
    int key;  // a Qt::Key
    TableKeyAction action;
};

// Every key the table knows, in the order the help page lists them.
std::span<const TableKeyBinding> TableKeyBindings();
// The key a button's hint names, as shown in brackets after it.
QString KeyName(TableKeyAction action);
// A hint with its key in brackets: "排序" becomes "排序 (S)".
QString WithKey(const QString& tip, TableKeyAction action);
// What a screen reader says of a card: "红桃5", "方块A".
QString CardText(std::uint8_t code);

class TableKeyboard {
public:
    TableKeyboard(TableRenderer& renderer, TableState& table, const PublicState& pub,
                  TableActions& actions, StartButton& start);
    ~TableKeyboard();
    TableKeyboard(const TableKeyboard&) = delete;
    TableKeyboard& operator=(const TableKeyboard&) = delete;

    // What the surface tells a screen reader: whose turn it is and the marked card.
    std::function<void(const QString&)> setDescription;

    // The surface took or lost the keyboard focus: the mark shows only while it has it.
    void setFocused(bool focused);
    // A key pressed on the table. False for a key that is not the table's
    // (it goes on to the window) or that comes with Ctrl, Alt or Meta.
    bool keyPressed(int key, bool withCommandModifier, bool autoRepeat);
    // A card of the own hand (from 1) was clicked: the mark follows the mouse.
    void markCard(int index);
    // The marked card (from 1) within the hand as it is now; 0 for none.
    int markedCard() const;

private:
    void act(TableKeyAction action);
    bool moveMark(TableKeyAction action);
    bool pressPlay(int button);
    bool pressStart();
    void showMark();
    void describe();
    int cardCount() const;

    TableRenderer& renderer_;
    TableState& table_;
    const PublicState& pub_;
    TableActions& actions_;
    StartButton& start_;
    bool focused_ = false;
    // Kept as the player left it; a shorter hand shows it on its last card.
    int marked_ = 1;
};

}  // namespace krvo
