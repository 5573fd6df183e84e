#include "controls/user_list_control.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/packet.h"

namespace krvo {

namespace {

// The list shows one column per field of a user row.
constexpr int kColumns = static_cast<int>(kUserRowFields);

constexpr int kLevelColumn = 3;
constexpr int kScoreColumn = 2;
constexpr int kMaxColumnWidth = 2000;
constexpr int kMaxRowSpacing = 32;
const QColor kOwnRowBack(255, 244, 204);

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A row the list can hold: exactly 16 fields and a name to find it by.
std::optional<UserRow> parseRow(std::string_view text) {
    std::optional<UserRow> row = ParseUserRow(text);
    if (row && row->userName.empty()) return std::nullopt;
    return row;
}

}  // namespace

class UserListModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const UserRow& row = rows_[static_cast<std::size_t>(index.row())];
        const bool own = !ownName_.empty() && row.userName == ownName_;
        switch (role) {
            case Qt::DisplayRole:
                return cellText(index.row(), index.column());
            case Qt::FontRole: {
                if (!own) return {};
                QFont font;
                font.setBold(true);
                return font;
            }
            case Qt::BackgroundRole:
                return own ? QVariant(kOwnRowBack) : QVariant();
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section < 0 || section >= kColumns) return {};
        if (section == kScoreColumn && !scoreName_.isEmpty()) return scoreName_;
        const auto at = static_cast<std::size_t>(section);
        return at < columnNames_.size() ? fromUtf8(columnNames_[at]) : QString();
    }

    QString cellText(int rowIndex, int column) const {
        if (rowIndex < 0 || rowIndex >= rowCount() || column < 0 || column >= kColumns) {
            return {};
        }
        const std::string& field =
            rows_[static_cast<std::size_t>(rowIndex)].field(static_cast<std::size_t>(column));
        if (column == kLevelColumn) return fromUtf8(GetLevelTitle(titles_, LeadingInt32(field)));
        return fromUtf8(field);
    }

    int find(std::string_view name) const {
        const auto it = std::find_if(rows_.begin(), rows_.end(),
                                     [name](const UserRow& row) { return row.userName == name; });
        return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
    }

    const UserRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }

    bool add(UserRow row) {
        if (find(row.userName) >= 0) return false;
        const int at = rowCount();
        beginInsertRows({}, at, at);
        rows_.push_back(std::move(row));
        endInsertRows();
        return true;
    }

    bool remove(std::string_view name) {
        const int at = find(name);
        if (at < 0) return false;
        beginRemoveRows({}, at, at);
        rows_.erase(rows_.begin() + at);
        endRemoveRows();
        return true;
    }

    bool replace(UserRow row) {
        const int at = find(row.userName);
        if (at < 0) return false;
        rows_[static_cast<std::size_t>(at)] = std::move(row);
        emit dataChanged(index(at, 0), index(at, kColumns - 1));
        return true;
    }

    void reset(std::vector<UserRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    void setColumnNames(std::vector<std::string> names) {
        columnNames_ = std::move(names);
        emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
    }
    void setScoreName(QString name) {
        scoreName_ = std::move(name);
        emit headerDataChanged(Qt::Horizontal, kScoreColumn, kScoreColumn);
    }
    void setTitles(LevelTitleTable titles) {
        refreshAll([&] { titles_ = std::move(titles); });
    }
    void setOwnName(std::string name) {
        refreshAll([&] { ownName_ = std::move(name); });
    }
    const std::string& ownName() const { return ownName_; }

private:
    template <typename Change>
    void refreshAll(Change change) {
        change();
        if (rows_.empty()) return;
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    }

    std::vector<UserRow> rows_;
    std::vector<std::string> columnNames_;
    QString scoreName_;
    LevelTitleTable titles_;
    std::string ownName_;
};

UserListControl::UserListControl(QWidget* parent)
    : QWidget(parent),
      model_(new UserListModel(this)),
      view_(new QTableView(this)),
      title_(new QLabel(this)) {
    title_->setTextFormat(Qt::PlainText);
    title_->setAutoFillBackground(true);
    title_->setContentsMargins(6, 3, 6, 3);

    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setHighlightSections(false);
    view_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title_);
    layout->addWidget(view_, 1);
    applyBandColors();
    applyRowHeight();
}

UserListControl::~UserListControl() = default;

const QAbstractItemModel* UserListControl::model() const {
    return model_;
}

void UserListControl::setOwnName(std::string_view name) {
    model_->setOwnName(std::string(name));
}

const std::string& UserListControl::ownName() const {
    return model_->ownName();
}

void UserListControl::setBandColors(QColor back, QColor text) {
    bandBack_ = back.isValid() ? back : QColor(0, 138, 140);
    bandText_ = text.isValid() ? text : QColor(Qt::white);
    applyBandColors();
}

void UserListControl::applyBandColors() {
    QPalette band = title_->palette();
    band.setColor(QPalette::Window, bandBack_);
    band.setColor(QPalette::WindowText, bandText_);
    title_->setPalette(band);
    // Colours come from our own numbers, never from network text.
    const QString back = bandBack_.name(QColor::HexRgb);
    const QString text = bandText_.name(QColor::HexRgb);
    view_->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: none;"
                       " border-right: 1px solid %2; padding: 2px 4px; }"
                       "QTableView { selection-background-color: %1; selection-color: %2; }")
            .arg(back, text));
}

void UserListControl::setRowSpacing(int pixels) {
    rowSpacing_ = std::clamp(pixels, 0, kMaxRowSpacing);
    applyRowHeight();
}

void UserListControl::applyRowHeight() {
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + rowSpacing_);
}

void UserListControl::setTitle(std::string_view title) {
    title_->setText(fromUtf8(title));
}

void UserListControl::setScoreColumnName(std::string_view name) {
    model_->setScoreName(fromUtf8(name));
}

void UserListControl::setColumns(std::string_view names, int visibleCount) {
    model_->setColumnNames(SplitFields(names));
    const int visible = std::clamp(visibleCount, 0, kColumns);
    for (int column = 0; column < kColumns; ++column) {
        view_->setColumnHidden(column, column >= visible);
    }
}

void UserListControl::setColumnWidths(std::string_view widths) {
    const std::vector<std::string> items = SplitFields(widths);
    const int count = std::min(static_cast<int>(items.size()), kColumns);
    for (int column = 0; column < count; ++column) {
        const int width = std::clamp<int>(LeadingInt32(items[column]), 0, kMaxColumnWidth);
        view_->setColumnWidth(column, width);
    }
}

void UserListControl::setLevelTitles(std::string_view list) {
    model_->setTitles(ParseLevelTitles(list));
}

std::string UserListControl::findUser(std::string_view name) const {
    const int at = model_->find(name);
    return at < 0 ? std::string() : JoinUserRow(model_->row(at));
}

bool UserListControl::addUser(std::string_view row) {
    std::optional<UserRow> parsed = parseRow(row);
    if (!parsed) return false;
    return model_->add(std::move(*parsed));
}

bool UserListControl::removeUser(std::string_view name) {
    return model_->remove(name);
}

void UserListControl::clearUsers() {
    model_->reset({});
}

void UserListControl::loadUsers(std::string_view text) {
    std::vector<UserRow> rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::optional<UserRow> row = parseRow(line);
        // A name listed twice would make findUser ambiguous: the first row wins.
        if (row && std::none_of(rows.begin(), rows.end(), [&](const UserRow& other) {
                return other.userName == row->userName;
            })) {
            rows.push_back(std::move(*row));
        }
        start = end + 1;
    }
    model_->reset(std::move(rows));

    std::vector<std::string> names;
    for (int i = 0; i < model_->rowCount(); ++i) names.push_back(model_->row(i).userName);
    emit namesLoaded(fromUtf8(JoinFields(names)));
}

bool UserListControl::updateUser(std::string_view row) {
    std::optional<UserRow> parsed = parseRow(row);
    if (!parsed) return false;
    return model_->replace(std::move(*parsed));
}

int UserListControl::userCount() const {
    return model_->rowCount();
}

std::string UserListControl::userName(int index) const {
    if (index < 0 || index >= model_->rowCount()) return {};
    return model_->row(index).userName;
}

QString UserListControl::cellText(int index, int column) const {
    return model_->cellText(index, column);
}

bool UserListControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_->viewport() || event->type() != QEvent::MouseButtonPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const bool right = mouse->button() == Qt::RightButton;
    if (!right && mouse->button() != Qt::LeftButton) return false;
    const QModelIndex index = view_->indexAt(mouse->position().toPoint());
    if (!index.isValid()) return false;
    view_->selectRow(index.row());
    // Copies first: a receiver may change the list before we are done.
    const UserRow& row = model_->row(index.row());
    const QString name = fromUtf8(row.userName);
    const QString text = fromUtf8(JoinUserRow(row));
    emit userClicked(right, 0, name, text);
    return right;  // the left press still moves the view's current row
}

}  // namespace krvo
