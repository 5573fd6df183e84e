#pragma once
// The mouse on the table: hovering lights the button under the pointer, also
// when a button is drawn under a pointer at rest, and a
// click acts by the table's rules, the first that applies winning: a lit tool
// button, a lit decision button, a lit play button on the player's turn, a
// card of the own hand (left raises or lowers it, right plays the raised
// cards), or the table itself (left lowers every card, right plays).

#include <QPoint>
#include <QString>
#include <functional>

namespace krvo {

struct PublicState;
struct TableState;
class TableActions;
class TableRenderer;

class TableMouse {
public:
    TableMouse(TableRenderer& renderer, TableState& table, const PublicState& pub,
               TableActions& actions);
    ~TableMouse();
    TableMouse(const TableMouse&) = delete;
    TableMouse& operator=(const TableMouse&) = delete;

    // The surface's tool tip: a tool button's hint while it is lit.
    std::function<void(const QString&)> setToolTip;

    void moveOverTable(int button, QPoint point);
    void releaseOnTable(int button, QPoint point);

private:
    void hover(QPoint point);
    // Lights the buttons under the resting pointer afresh.
    void relight();
    bool hoverToolButtons(QPoint point);
    bool hoverDecisionButtons(QPoint point);
    bool hoverPlayButtons(QPoint point);
    bool clickButtons(QPoint point);
    int playButtonCount() const;

    TableRenderer& renderer_;
    TableState& table_;
    const PublicState& pub_;
    TableActions& actions_;
    bool relighting_ = false;
};

}  // namespace krvo
