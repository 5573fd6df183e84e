#pragma once
// modGlobalMsgObject: creates the message boxes, keeps them in numbered slots
// that are reused once free, closes them by group and hands each answer back
// to the caller that is waiting for it.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/waits.h"
#include "dialogs/message_box_window.h"
#include "ports/message_boxes.h"

namespace krvo {

class SystemAlerts;

class MessageBoxRegistry final : public MessageBoxService {
public:
    // leaveLimitReached: whether the local player has used up the leave
    // requests of this round; the reason box then offers its first button disabled.
    MessageBoxRegistry(Clock& clock, Waiter& waiter, SystemAlerts& alerts,
                       const std::string& strAppPath, std::function<bool()> leaveLimitReached,
                       QWidget* owner = nullptr);
    ~MessageBoxRegistry() override;
    MessageBoxRegistry(const MessageBoxRegistry&) = delete;
    MessageBoxRegistry& operator=(const MessageBoxRegistry&) = delete;

    // Types 1 to 3 wait, handling events, until the box is answered or closed;
    // a box closed unanswered, or a program that ends meanwhile, gives false.
    bool showMessageBox(std::int32_t lngRoomObjectIdx, MsgType bteMsgType, std::string_view strNote,
                        std::string_view strCaption, std::int32_t lngMaxDelayTime,
                        std::string_view strYesCmdCaption, std::string_view strNoCmdCaption,
                        bool blnYesDefault) override;
    void closeMessageBoxes(std::int32_t lngRoomObjectIdx) override;
    // Closes every open box (answering nothing) and empties the slots.
    void closeAllBoxes() override;
    LeaveAnswer& leaveAnswer() override { return leave_; }
    bool lastBoxAnswered() const override { return lastAnswered_; }

    // The window that boxes belong to; may be set once it exists. A box is
    // centred on its owner and stays above it. While the person works in one
    // of the owner's own windows (the props market), the box belongs to that
    // one, so that it opens over it and closing it does not lower it.
    void setOwner(QWidget* owner) { owner_ = owner; }

    std::int32_t lngMaxMsgObjectIdx() const {
        return static_cast<std::int32_t>(MsgObjects.size()) - 1;
    }
    // The open box in slot, or null.
    MessageBoxWindow* openBox(std::int32_t slot) const;
    // intResult of slot: the answer of the box last answered there.
    bool slotResult(std::int32_t slot) const;
    int openBoxCount() const;

private:
    struct Outcome {
        bool closed = false;
        bool answered = false;  // closed by its buttons or countdown, not by the program
        bool result = false;
    };
    struct MsgObject {
        bool intResult = false;
        std::unique_ptr<MessageBoxWindow> objMsg;
        std::shared_ptr<Outcome> outcome;  // what the caller waiting for objMsg reads
    };

    std::int32_t freeSlot();
    void onAnswered(const MessageBoxWindow* box, bool result);
    void unloadSlot(MsgObject& entry);
    void showBox(MessageBoxWindow& box, bool modal);
    QWidget* boxOwner() const;
    // Frees unloaded boxes whose own code is no longer running.
    void releaseUnloaded();
    void refreshLeaveLimit();
    void giveWayIfBehind(MessageBoxWindow& box);

    Clock& clock_;
    Waiter& waiter_;
    SystemAlerts& alerts_;
    std::string strAppPath_;
    std::function<bool()> leaveLimitReached_;
    QPointer<QWidget> owner_;
    LeaveAnswer leave_;
    bool lastAnswered_ = false;
    std::vector<MsgObject> MsgObjects;
    std::vector<std::unique_ptr<MessageBoxWindow>> unloaded_;
};

}  // namespace krvo
