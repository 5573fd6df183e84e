#pragma once
// The list of everybody at the table (lstUser): one row per user in the
// 16-field user-row format, shown in a table with a title band. The row text
// is the key everywhere; the control never interprets names as markup.

#include <QColor>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "core/level_titles.h"
#include "core/user_row.h"

class QLabel;
class QTableView;
class QAbstractItemModel;

namespace krvo {

class UserListModel;

class UserListControl : public QWidget {
    Q_OBJECT
public:
    explicit UserListControl(QWidget* parent = nullptr);
    ~UserListControl() override;

    // Settings made once when the main window loads.
    void setOwnName(std::string_view name);
    const std::string& ownName() const;
    // First colour: the title band and the column headers (and the selection);
    // second colour: the text on them.
    void setBandColors(QColor back, QColor text);
    // Extra pixels of height in every row.
    void setRowSpacing(int pixels);
    void setTitle(std::string_view title);
    // Overrides the third column's header ("经验" or "积分").
    void setScoreColumnName(std::string_view name);
    // Backtick-joined column names; columns from visibleCount on stay hidden.
    void setColumns(std::string_view names, int visibleCount);
    // Backtick-joined widths in pixels, from the first column on.
    void setColumnWidths(std::string_view widths);
    // The lobby's "title_threshold" list; the level column shows titles.
    void setLevelTitles(std::string_view list);

    // The row of that user, or empty text.
    std::string findUser(std::string_view name) const;
    // Refuses a row without exactly 16 fields, with an empty name, or for a
    // name already listed.
    bool addUser(std::string_view row);
    bool removeUser(std::string_view name);
    void clearUsers();
    // Replaces the content by the rows of the bulk text (LF-separated, CR
    // before LF ignored, empty lines and malformed rows skipped), then emits
    // namesLoaded with every name in list order.
    void loadUsers(std::string_view text);
    // Replaces the row with the same name; anything else is ignored.
    bool updateUser(std::string_view row);

    int userCount() const;
    std::string userName(int index) const;
    // What a cell shows (the level column shows the title).
    QString cellText(int index, int column) const;
    QTableView* view() const { return view_; }
    QLabel* titleLabel() const { return title_; }
    const QAbstractItemModel* model() const;

signals:
    // Every name after a load, joined by backticks.
    void namesLoaded(QString names);
    // flag: right button. The second argument is always 0.
    void userClicked(bool flag, int unused, QString name, QString row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyBandColors();
    void applyRowHeight();

    UserListModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QLabel* title_ = nullptr;
    QColor bandBack_{0, 138, 140};
    QColor bandText_{255, 255, 255};
    int rowSpacing_ = 4;
};

}  // namespace krvo
