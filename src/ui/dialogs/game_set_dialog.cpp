#include "dialogs/game_set_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <vector>

#include "core/packet.h"

namespace krvo {
namespace {

constexpr std::int64_t kDelayIntervalMs = 1000;
constexpr int kCountdownSeconds = 20;
constexpr int kMaxDigits = 7;
// The labels sit 1680 twips left of and 40 twips below the top of their box
// (15 twips to the pixel).
constexpr int kLabelLeftOfBox = 112;
constexpr int kLabelBelowBoxTop = 3;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Only digits may be typed. Keys that move, delete or answer (arrows, Home,
// End, Backspace, Delete, Tab, Enter, Escape) keep their usual work: the focus
// chain and the dialog's default button must still see them. Every other key
// that would type a character, shortcuts such as paste included, is dropped.
class DigitKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                return false;
            default:
                break;
        }
        const QString text = key->text();
        if (text.isEmpty()) return false;
        const bool digit =
            text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
        return !digit;
    }
};

}  // namespace

GameSetDialog::GameSetDialog(Clock& clock, RoomActions& room, SystemAlerts& alerts,
                             std::string strGameTitle, QWidget* parent)
    : QDialog(parent),
      clock_(clock),
      room_(room),
      alerts_(alerts),
      strGameTitle_(std::move(strGameTitle)) {
    setObjectName(QStringLiteral("frmGameSet"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(FromUtf8(strGameTitle_ + " 游戏设置"));
    buildControls();
    resize(340, 170);
    tmrDelay_ = clock_.createTimer([this] { countdownTick(); });
}

GameSetDialog::~GameSetDialog() = default;

void GameSetDialog::buildControls() {
    famGameSet_ = new QGroupBox(this);
    famGameSet_->setObjectName(QStringLiteral("famGameSet"));
    auto* filter = new DigitKeyFilter(this);
    const char* labels[2] = {"本桌大小", "逃跑者应扣除的积分"};
    for (int i = 0; i < 2; ++i) {
        txtUser_[i] = new QLineEdit(famGameSet_);
        txtUser_[i]->setObjectName(QStringLiteral("txtUser%1").arg(i));
        txtUser_[i]->installEventFilter(filter);
        // Pasting through the context menu and input methods bypass the key
        // filter; a backtick would split the answer into extra fields.
        txtUser_[i]->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]*")), txtUser_[i]));
        txtUser_[i]->setAttribute(Qt::WA_InputMethodEnabled, false);
        label_[i] = new QLabel(QString::fromUtf8(labels[i]), famGameSet_);
        label_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        cmdUser_[i] = new QPushButton(this);
        cmdUser_[i]->setObjectName(QStringLiteral("cmdUser%1").arg(i));
    }
    // Tab runs box, box, then the buttons, whatever order they were made in;
    // Enter anywhere but on the second button answers with the first.
    setTabOrder(txtUser_[0], txtUser_[1]);
    setTabOrder(txtUser_[1], cmdUser_[0]);
    setTabOrder(cmdUser_[0], cmdUser_[1]);
    cmdUser_[0]->setDefault(true);
    connect(cmdUser_[0], &QPushButton::clicked, this, [this] { confirmSettings(); });
    connect(cmdUser_[1], &QPushButton::clicked, this, [this] { declineSettings(); });
}

void GameSetDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
}

void GameSetDialog::placeControls() {
    constexpr int margin = 10;
    constexpr int buttonWidth = 88;
    constexpr int buttonHeight = 28;
    const int buttonTop = height() - margin - buttonHeight;
    cmdUser_[1]->setGeometry(width() - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    cmdUser_[0]->setGeometry(width() - 2 * (margin + buttonWidth), buttonTop, buttonWidth,
                             buttonHeight);
    famGameSet_->setGeometry(margin, 6, width() - 2 * margin, buttonTop - 6 - margin);

    // A desktop font larger than the 9 points the gap was made for (120 dpi
    // without scaling) widens it rather than cut the longer label off.
    int labelRoom = kLabelLeftOfBox;
    for (const QLabel* label : label_) {
        labelRoom = std::max(labelRoom, label->sizeHint().width() + 2);
    }
    const int boxLeft = 16 + labelRoom;
    const int boxWidth = std::max(40, famGameSet_->width() - boxLeft - 16);
    for (int i = 0; i < 2; ++i) {
        const int boxTop = 28 + 36 * i;
        txtUser_[i]->setGeometry(boxLeft, boxTop, boxWidth, 24);
        label_[i]->setGeometry(boxLeft - labelRoom, boxTop + kLabelBelowBoxTop, labelRoom - 2, 20);
    }
}

void GameSetDialog::setBoxesEditable(bool editable) {
    for (QLineEdit* box : txtUser_) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, editable ? QColor(255, 255, 255)
                                                  : this->palette().color(QPalette::Window));
        box->setPalette(palette);
        box->setReadOnly(!editable);
    }
}

bool GameSetDialog::loadSettings(bool blnDeskMaster, std::string_view strAllGameSetInfo) {
    blnDeskMaster_ = blnDeskMaster;
    famGameSet_->setTitle(QString::fromUtf8(blnDeskMaster ? "你是桌主，请进行本桌游戏设置"
                                                          : "桌主对本桌游戏进行的设置情况"));
    strBaseCaption_ = blnDeskMaster ? "确定" : "同意";
    cmdUser_[0]->setText(FromUtf8(strBaseCaption_));
    cmdUser_[1]->setText(QString::fromUtf8(blnDeskMaster ? "取消" : "不同意"));
    setBoxesEditable(blnDeskMaster);

    const std::vector<std::string> fields = SplitFields(strAllGameSetInfo);
    if (fields.size() != 6) return false;
    txtUser_[0]->setText(FromUtf8(fields[0]));
    txtUser_[1]->setText(FromUtf8(fields[3]));
    stakeMaximum_ = LeadingInt32(fields[1]);
    stakeMinimum_ = LeadingInt32(fields[2]);
    penaltyMaximum_ = LeadingInt32(fields[4]);
    penaltyMinimum_ = LeadingInt32(fields[5]);

    tmrDelay_->start(kDelayIntervalMs);
    return true;
}

bool GameSetDialog::countdownRunning() const {
    return tmrDelay_->isActive();
}

QLineEdit* GameSetDialog::amountBox(int index) const {
    return index == 0 || index == 1 ? txtUser_[index] : nullptr;
}

QPushButton* GameSetDialog::button(int index) const {
    return index == 0 || index == 1 ? cmdUser_[index] : nullptr;
}

QLabel* GameSetDialog::label(int index) const {
    return index == 0 || index == 1 ? label_[index] : nullptr;
}

void GameSetDialog::countdownTick() {
    cmdUser_[0]->setText(
        FromUtf8(strBaseCaption_ + " " + std::to_string(kCountdownSeconds - delayCount_)));
    ++delayCount_;
    if (delayCount_ <= kCountdownSeconds) return;
    tmrDelay_->stop();
    confirmSettings();
}

std::string GameSetDialog::checkOwnerValues() const {
    const std::string stake = txtUser_[0]->text().toStdString();
    const std::string penalty = txtUser_[1]->text().toStdString();
    if (txtUser_[0]->text().size() > kMaxDigits || txtUser_[1]->text().size() > kMaxDigits) {
        return "每个输入区域的数字不能超过 7 位！";
    }
    const auto outside = [](double value, std::int32_t minimum, std::int32_t maximum) {
        return value > maximum || value < minimum;
    };
    if (outside(LeadingNumber(stake), stakeMinimum_, stakeMaximum_)) {
        return "本桌大小必须在 " + std::to_string(stakeMinimum_) + " 和 " +
               std::to_string(stakeMaximum_) + " 之间！";
    }
    if (outside(LeadingNumber(penalty), penaltyMinimum_, penaltyMaximum_)) {
        return "逃跑者扣分大小必须在 " + std::to_string(penaltyMinimum_) + " 和 " +
               std::to_string(penaltyMaximum_) + " 之间！";
    }
    return {};
}

std::string GameSetDialog::buildOwnerSettings() const {
    const std::vector<std::string> fields = {
        txtUser_[0]->text().toStdString(), std::to_string(stakeMaximum_),
        std::to_string(stakeMinimum_),     txtUser_[1]->text().toStdString(),
        std::to_string(penaltyMaximum_),   std::to_string(penaltyMinimum_)};
    return JoinFields(fields);
}

void GameSetDialog::confirmSettings() {
    if (unloaded_) return;
    tmrDelay_->stop();
    if (!blnDeskMaster_) {
        room_.agreeToSettings();
        unload();
        return;
    }
    const std::string warning = checkOwnerValues();
    if (warning.empty()) {
        room_.sendOwnerSettings(buildOwnerSettings());
        unload();
        return;
    }
    // The warning box runs its own event loop, in which the room may discard
    // this dialog.
    const QPointer<GameSetDialog> alive(this);
    alerts_.warning(strGameTitle_, warning, this);
    if (!alive || unloaded_) return;
    tmrDelay_->start(kDelayIntervalMs);
}

void GameSetDialog::declineSettings() {
    if (unloaded_) return;
    tmrDelay_->stop();
    room_.leaveTable();
    unload();
}

void GameSetDialog::unload() {
    unloaded_ = true;
    tmrDelay_->stop();
    hide();
    emit ended();
}

}  // namespace krvo
