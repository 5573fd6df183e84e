#pragma once
// frmMsg: one skinned notice or question box. Frameless, always on top,
// 276 x 175 pixels, painted from Res\MsgForm.bmp and the button strip
// Res\MsgBut.bmp; a one-second countdown answers it when time runs out. The
// registry creates it, and the box tells the registry its answer.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/clock.h"
#include "ports/message_boxes.h"

class QTextEdit;

namespace krvo {

class SystemAlerts;

inline constexpr int kMsgBoxWidth = 276;
inline constexpr int kMsgBoxHeight = 175;
inline constexpr int kMsgButtonWidth = 50;
inline constexpr int kMsgButtonHeight = 24;
// Display units allowed in a leave reason: 50 Chinese characters.
inline constexpr int kMaxReasonWidth = 100;

enum class ButtonState : std::uint8_t { Normal = 1, Hover = 2, Disabled = 3 };

// Number of buttons a box of this type shows (0 to 3).
int ButtonCount(MsgType bteMsgType);
// The rectangle of button index in a box of this type; empty when there is none.
QRect ButtonRect(MsgType bteMsgType, int index);
// Each character counts 1, a character above U+00FF counts 2.
int ReasonDisplayWidth(const QString& reason);

// What a box needs from the program around it.
struct MessageBoxContext {
    Clock& clock;
    SystemAlerts& alerts;
    LeaveAnswer& leave;
    std::string strAppPath;  // the bitmaps are looked up under it
};

class MessageBoxWindow final : public QWidget {
public:
    explicit MessageBoxWindow(MessageBoxContext context);
    ~MessageBoxWindow() override;
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    // firstButtonDisabled applies to the reason box only (the leave limit).
    void configure(MsgType bteMsgType, std::string_view strNote, std::string_view strCaption,
                   std::string_view strYesCmdCaption, std::string_view strNoCmdCaption,
                   std::int32_t lngMaxDelayTime, bool blnYesDefault,
                   bool firstButtonDisabled = false);
    // answered(result): the box has been answered (true: first button) and
    // must be unloaded. It is not called when the box is unloaded unanswered.
    void setAnsweredCallback(std::function<void(bool)> answered) {
        answered_ = std::move(answered);
    }
    // Lays the box out, paints it, centres it on the screen and starts the countdown.
    void load();
    // Puts the box in the middle of area (its owner's frame), inside the
    // screen that holds the area's centre.
    void centreOn(const QRect& area);
    // Stops the countdown and hides the box; it answers nothing from then on.
    void unload();

    std::int32_t lngRoomObjectIdx = 0;
    std::int32_t lngMsgObjectIdx = -1;

    // AnswerBox: button 0 is refused while the reason is too long; a disabled
    // or missing button answers nothing.
    void answer(int button);
    // Answers as the countdown does when it runs out.
    void expire();
    // Notices with one button only say something; a newer one may replace them.
    bool asksNothing() const { return bteMsgType_ == MsgType::OneButton; }
    // The reason box's first button follows the leave limit while it is open.
    void setFirstButtonDisabled(bool disabled);

    MsgType bteMsgType() const { return bteMsgType_; }
    ButtonState buttonState(int button) const;
    std::int32_t remainingSeconds() const { return remaining_; }
    bool countdownRunning() const;
    QString reasonText() const;
    void setReasonText(const QString& text);
    QTextEdit* reasonEdit() const { return txtNote_; }
    const QImage& canvas() const { return canvas_; }
    // Where the countdown number is drawn (its 16 x 16 square).
    QRect countdownRect() const;
    bool closed() const { return closed_; }
    // True while the box's own code is running (it may be inside a nested
    // loop of a warning); the registry frees the box only when it is not.
    bool busy() const { return busy_ > 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void composeCanvas();
    void paintNote();
    void paintCountdown();
    void paintButton(int button);
    void placeReasonEdit();
    void onTick();
    void finish(bool result);
    bool acceptReason();
    int buttonAt(QPoint point) const;
    int defaultButton() const;
    int firstEnabledButton() const;
    int buttonFace(int button) const;
    QFont noteFont() const;

    MessageBoxContext context_;
    std::function<void(bool)> answered_;
    std::unique_ptr<Timer> tmrDelay_;
    QTextEdit* txtNote_ = nullptr;  // owned by this widget
    QImage canvas_;
    QImage background_;
    QImage buttonStrip_;

    MsgType bteMsgType_ = MsgType::Notice;
    QString strNote_;
    QString strCaption_;
    std::int32_t remaining_ = 0;
    bool blnYesDefault_ = true;
    bool firstButtonDisabled_ = false;
    std::array<ButtonState, 3> states_{ButtonState::Normal, ButtonState::Normal,
                                       ButtonState::Normal};
    int noteBottom_ = 0;
    bool closed_ = false;
    int busy_ = 0;
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace krvo
