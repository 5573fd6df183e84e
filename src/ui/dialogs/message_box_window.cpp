#include "dialogs/message_box_window.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>
#include <utility>

#include "services/fonts.h"
#include "services/raster_ops.h"
#include "services/resources.h"
#include "services/qt_system_alerts.h"

namespace krvo {
namespace {

constexpr int kButtonSpacing = 80;
constexpr int kRowBottomGap = 34;
constexpr int kLowRowLift = 10;  // boxes without the reason edit lift their row
constexpr int kStateStride = 300;
constexpr int kMaskX = 600;
constexpr int kNoteMargin = 15;
constexpr int kLineHeight = 17;
constexpr int kCountdownSquare = 16;
constexpr int kEditAboveRow = 95;
constexpr int kEditHeight = 90;
constexpr int kMinEditHeight = 24;
constexpr std::int64_t kTickMs = 1000;
const QColor kTextColour(250, 250, 0);
const QColor kBoxColour(0, 121, 193);
constexpr std::string_view kReasonCaption = "系统提示";
constexpr std::string_view kReasonTooLong = "理由最多50个汉字！";

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Runs while the box's own code is on the stack.
class BusyScope {
public:
    explicit BusyScope(int& depth) : depth_(depth) { ++depth_; }
    ~BusyScope() { --depth_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& depth_;
};

// The reason is one line of text: Enter answers the box (the key goes on to
// it), and line breaks that come with pasted or dropped text become blanks.
class ReasonEdit final : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();
            return;
        }
        QTextEdit::keyPressEvent(event);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (source == nullptr || !source->hasText()) return;
        QString text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        for (const QChar lineBreak : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                                      QChar(QChar::ParagraphSeparator)}) {
            text.replace(lineBreak, QLatin1Char(' '));
        }
        insertPlainText(text);
    }
};

}  // namespace

int ButtonCount(MsgType bteMsgType) {
    switch (bteMsgType) {
        case MsgType::OneButton:
            return 1;
        case MsgType::TwoButtons:
            return 2;
        case MsgType::Reason:
            return 3;
        case MsgType::Notice:
            break;
    }
    return 0;
}

QRect ButtonRect(MsgType bteMsgType, int index) {
    const int count = ButtonCount(bteMsgType);
    if (index < 0 || index >= count) return {};
    const int rowLeft = kMsgBoxWidth / 2 - (count * kButtonSpacing - 30) / 2;
    int rowTop = kMsgBoxHeight - kRowBottomGap;
    if (bteMsgType != MsgType::Reason) rowTop -= kLowRowLift;
    return {rowLeft + index * kButtonSpacing, rowTop, kMsgButtonWidth, kMsgButtonHeight};
}

int ReasonDisplayWidth(const QString& reason) {
    int width = 0;
    for (const char32_t character : reason.toUcs4()) width += character > 0xFF ? 2 : 1;
    return width;
}

MessageBoxWindow::MessageBoxWindow(MessageBoxContext context)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      context_(std::move(context)) {
    setFixedSize(kMsgBoxWidth, kMsgBoxHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    txtNote_ = new ReasonEdit(this);
    txtNote_->setAcceptRichText(false);
    txtNote_->setTabChangesFocus(true);
    txtNote_->hide();
}

MessageBoxWindow::~MessageBoxWindow() = default;

void MessageBoxWindow::configure(MsgType bteMsgType, std::string_view strNote,
                                 std::string_view strCaption, std::string_view /*strYesCmdCaption*/,
                                 std::string_view /*strNoCmdCaption*/, std::int32_t lngMaxDelayTime,
                                 bool blnYesDefault, bool firstButtonDisabled) {
    bteMsgType_ = bteMsgType;
    strNote_ = fromUtf8(strNote);
    strCaption_ = fromUtf8(strCaption);
    remaining_ = lngMaxDelayTime;
    blnYesDefault_ = blnYesDefault;
    firstButtonDisabled_ = firstButtonDisabled && bteMsgType == MsgType::Reason;
}

void MessageBoxWindow::load() {
    const bool isNotice = ButtonCount(bteMsgType_) == 0;
    setWindowTitle(isNotice ? QString() : strCaption_);
    // A notice asks nothing of the keyboard: the person keeps typing in the
    // chat while it shows. The questions take the keys for their buttons.
    setFocusPolicy(isNotice ? Qt::NoFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_ShowWithoutActivating, isNotice);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, isNotice);
    states_.fill(ButtonState::Normal);
    if (firstButtonDisabled_) states_[0] = ButtonState::Disabled;
    background_ = LoadPicture(context_.strAppPath, "Res\\MsgForm.bmp");
    buttonStrip_ = LoadPicture(context_.strAppPath, "Res\\MsgBut.bmp");
    txtNote_->clear();
    txtNote_->setFont(noteFont());
    composeCanvas();
    if (bteMsgType_ == MsgType::Reason) {
        placeReasonEdit();
        txtNote_->show();
        txtNote_->setFocus();
    } else {
        txtNote_->hide();
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) centreOn(screen->geometry());
    if (isNotice) return;
    tmrDelay_ = context_.clock.createTimer([this] { onTick(); });
    tmrDelay_->start(kTickMs);
}

void MessageBoxWindow::unload() {
    closed_ = true;
    dragging_ = false;
    if (tmrDelay_) tmrDelay_->stop();
    hide();
}

QFont MessageBoxWindow::noteFont() const {
    // 9 points on the 96-dpi screens the box's pixel layout was made for.
    QFont font;
    font.setFamilies(PixelLayoutFaces());
    font.setPixelSize(12);
    font.setBold(false);
    font.setItalic(false);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void MessageBoxWindow::composeCanvas() {
    canvas_ = QImage(kMsgBoxWidth, kMsgBoxHeight, QImage::Format_RGB32);
    canvas_.fill(kBoxColour);
    if (!background_.isNull()) {
        RasterCopy(canvas_, {0, 0}, background_, background_.rect(), RasterOp::Copy);
    }
    paintNote();
    if (ButtonCount(bteMsgType_) > 0) {
        QPainter painter(&canvas_);
        painter.setFont(noteFont());
        painter.setPen(kTextColour);
        const QRect square = countdownRect();
        painter.drawText(square.left(), square.top() + painter.fontMetrics().ascent(),
                         QString::number(remaining_));
    }
    for (int button = 0; button < ButtonCount(bteMsgType_); ++button) paintButton(button);
    update();
}

void MessageBoxWindow::paintNote() {
    QPainter painter(&canvas_);
    painter.setFont(noteFont());
    painter.setPen(kTextColour);
    const QFontMetrics metrics = painter.fontMetrics();
    const int right = kMsgBoxWidth - kNoteMargin;
    int x = kNoteMargin;
    int y = bteMsgType_ == MsgType::Reason ? 40 : 45;
    const QString text = QStringLiteral("    ") + strNote_;
    for (const char32_t code : text.toUcs4()) {
        if (code == U'\r') continue;
        if (code == U'\n') {
            x = kNoteMargin;
            y += kLineHeight;
            continue;
        }
        const QString character = QString::fromUcs4(&code, 1);
        const int width = metrics.horizontalAdvance(character);
        if (x + width > right && x > kNoteMargin) {
            x = kNoteMargin;
            y += kLineHeight;
        }
        painter.drawText(x, y + metrics.ascent(), character);
        x += width;
    }
    noteBottom_ = y + kLineHeight;
}

QRect MessageBoxWindow::countdownRect() const {
    const QRect first = ButtonRect(bteMsgType_, 0);
    if (first.isNull()) return {};
    int offset = 52;  // just right of the button the countdown will choose
    if (bteMsgType_ == MsgType::TwoButtons && !blnYesDefault_) offset = 132;
    if (bteMsgType_ == MsgType::Reason) offset = 212;
    return {first.left() + offset, first.top(), kCountdownSquare, kCountdownSquare};
}

void MessageBoxWindow::paintCountdown() {
    const QRect square = countdownRect();
    if (square.isNull()) return;
    QPainter painter(&canvas_);
    painter.fillRect(square, kBoxColour);
    painter.setFont(noteFont());
    painter.setPen(kTextColour);
    painter.drawText(square.left(), square.top() + painter.fontMetrics().ascent(),
                     QString::number(remaining_));
    painter.end();
    update(square.adjusted(0, 0, 16, 0));
}

int MessageBoxWindow::buttonFace(int button) const {
    switch (bteMsgType_) {
        case MsgType::OneButton:
            return 5;
        case MsgType::TwoButtons:
            return button == 0 ? 3 : 4;
        case MsgType::Reason:
            return button == 0 && firstButtonDisabled_ ? 13 : button;
        case MsgType::Notice:
            break;
    }
    return 0;
}

void MessageBoxWindow::paintButton(int button) {
    const QRect place = ButtonRect(bteMsgType_, button);
    if (place.isNull() || buttonStrip_.isNull()) return;
    const int state = static_cast<int>(states_[static_cast<std::size_t>(button)]);
    const QRect face(buttonFace(button) * kMsgButtonWidth + (state - 1) * kStateStride, 0,
                     kMsgButtonWidth, kMsgButtonHeight);
    MaskedCopy(canvas_, place.topLeft(), buttonStrip_, face, QPoint(kMaskX, 0));
    update(place);
}

void MessageBoxWindow::placeReasonEdit() {
    const int rowTop = ButtonRect(MsgType::Reason, 0).top();
    const int bottom = rowTop - kEditAboveRow + kEditHeight;
    // The edit sits below the note rather than over it, so the question stays readable.
    const int top =
        std::min(std::max(rowTop - kEditAboveRow, noteBottom_ + 2), bottom - kMinEditHeight);
    txtNote_->setGeometry(kNoteMargin, top, kMsgBoxWidth - 2 * kNoteMargin, bottom - top);
}

void MessageBoxWindow::centreOn(const QRect& area) {
    QRect frame(QPoint(0, 0), QSize(kMsgBoxWidth, kMsgBoxHeight));
    frame.moveCenter(area.center());
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        // An owner partly off the screen still shows the whole box.
        const QRect room = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), room.left(),
                                  std::max(room.left(), room.right() + 1 - frame.width())));
        frame.moveTop(std::clamp(frame.top(), room.top(),
                                 std::max(room.top(), room.bottom() + 1 - frame.height())));
    }
    move(frame.topLeft());
}

ButtonState MessageBoxWindow::buttonState(int button) const {
    if (button < 0 || button >= ButtonCount(bteMsgType_)) return ButtonState::Normal;
    return states_[static_cast<std::size_t>(button)];
}

bool MessageBoxWindow::countdownRunning() const {
    return tmrDelay_ && tmrDelay_->isActive();
}

QString MessageBoxWindow::reasonText() const {
    return txtNote_->toPlainText();
}

void MessageBoxWindow::setReasonText(const QString& text) {
    txtNote_->setPlainText(text);
}

int MessageBoxWindow::firstEnabledButton() const {
    for (int button = 0; button < ButtonCount(bteMsgType_); ++button) {
        if (states_[static_cast<std::size_t>(button)] != ButtonState::Disabled) return button;
    }
    return -1;
}

void MessageBoxWindow::setFirstButtonDisabled(bool disabled) {
    if (bteMsgType_ != MsgType::Reason || closed_ || disabled == firstButtonDisabled_) return;
    firstButtonDisabled_ = disabled;
    states_[0] = disabled ? ButtonState::Disabled : ButtonState::Normal;
    paintButton(0);
}

int MessageBoxWindow::defaultButton() const {
    if (bteMsgType_ == MsgType::Reason) return 2;
    if (bteMsgType_ == MsgType::TwoButtons && !blnYesDefault_) return 1;
    return 0;
}

void MessageBoxWindow::onTick() {
    if (closed_) return;
    --remaining_;
    if (remaining_ >= 0) {
        paintCountdown();
        return;
    }
    expire();
}

void MessageBoxWindow::expire() {
    if (closed_) return;
    tmrDelay_->stop();
    answer(defaultButton());
}

void MessageBoxWindow::answer(int button) {
    if (closed_ || button < 0 || button >= ButtonCount(bteMsgType_)) return;
    if (states_[static_cast<std::size_t>(button)] == ButtonState::Disabled) return;
    BusyScope scope(busy_);
    if (button == 0) {
        if (bteMsgType_ == MsgType::Reason && !acceptReason()) return;
        finish(true);
        return;
    }
    // Only the reason box speaks for the leave procedure; other questions
    // must not leave their answer where it reads it.
    if (bteMsgType_ == MsgType::Reason)
        context_.leave.bteMsgResult = static_cast<std::uint8_t>(button);
    finish(false);
}

bool MessageBoxWindow::acceptReason() {
    QString reason = txtNote_->toPlainText().trimmed();
    if (reason.isEmpty()) {
        reason = QStringLiteral("null");
        txtNote_->setPlainText(reason);
    }
    if (ReasonDisplayWidth(reason) > kMaxReasonWidth) {
        // The warning runs its own loop; this box may be answered or closed meanwhile.
        context_.alerts.warning(kReasonCaption, kReasonTooLong, this);
        return false;
    }
    context_.leave.bteMsgResult = 0;
    context_.leave.strLeaveReason = reason.toStdString();
    return true;
}

void MessageBoxWindow::finish(bool result) {
    closed_ = true;
    if (tmrDelay_) tmrDelay_->stop();
    if (auto answered = answered_) answered(result);
}

int MessageBoxWindow::buttonAt(QPoint point) const {
    for (int button = 0; button < ButtonCount(bteMsgType_); ++button) {
        const QRect place = ButtonRect(bteMsgType_, button);
        const bool inside = point.x() > place.left() && point.x() < place.left() + place.width() &&
                            point.y() > place.top() && point.y() < place.top() + place.height();
        if (inside) return button;
    }
    return -1;
}

void MessageBoxWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

void MessageBoxWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    const int hovered = buttonAt(event->position().toPoint());
    for (int button = 0; button < ButtonCount(bteMsgType_); ++button) {
        ButtonState& state = states_[static_cast<std::size_t>(button)];
        const ButtonState wanted =
            button == hovered && state != ButtonState::Disabled
                ? ButtonState::Hover
                : (state == ButtonState::Hover ? ButtonState::Normal : state);
        if (wanted == state) continue;
        state = wanted;
        paintButton(button);
    }
}

void MessageBoxWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    int rowTop = kMsgBoxHeight - kRowBottomGap;
    if (bteMsgType_ != MsgType::Reason) rowTop -= kLowRowLift;
    if (event->position().y() >= rowTop) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

// Enter presses the first button that can be pressed; Escape answers as the
// last button does, where there is a choice at all.
void MessageBoxWindow::keyPressEvent(QKeyEvent* event) {
    const int count = ButtonCount(bteMsgType_);
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (count == 0) break;
            answer(firstEnabledButton());
            return;
        case Qt::Key_Escape:
            if (count < 2) break;
            answer(count - 1);
            return;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void MessageBoxWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_) {
        dragging_ = false;
        return;
    }
    const int button = buttonAt(event->position().toPoint());
    if (button < 0 || states_[static_cast<std::size_t>(button)] != ButtonState::Hover) return;
    answer(button);
}

}  // namespace krvo
