#include "dialogs/message_box_registry.h"

#include <QApplication>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace krvo {
namespace {

// How long one step of a modal box's loop may block waiting for events.
constexpr std::int64_t kModalStepMs = 100;

}  // namespace

MessageBoxRegistry::MessageBoxRegistry(Clock& clock, Waiter& waiter, SystemAlerts& alerts,
                                       const std::string& strAppPath,
                                       std::function<bool()> leaveLimitReached, QWidget* owner)
    : clock_(clock),
      waiter_(waiter),
      alerts_(alerts),
      strAppPath_(strAppPath),
      leaveLimitReached_(std::move(leaveLimitReached)),
      owner_(owner) {}

MessageBoxRegistry::~MessageBoxRegistry() {
    for (MsgObject& entry : MsgObjects) {
        if (entry.objMsg) unloadSlot(entry);
    }
}

bool MessageBoxRegistry::showMessageBox(std::int32_t lngRoomObjectIdx, MsgType bteMsgType,
                                        std::string_view strNote, std::string_view strCaption,
                                        std::int32_t lngMaxDelayTime,
                                        std::string_view strYesCmdCaption,
                                        std::string_view strNoCmdCaption, bool blnYesDefault) {
    lastAnswered_ = false;
    // Nothing new is shown once the program is ending.
    if (waiter_.ending()) return false;
    releaseUnloaded();
    const std::int32_t slot = freeSlot();
    MsgObject& entry = MsgObjects[static_cast<std::size_t>(slot)];
    // A fresh box starts unanswered: a box closed by closeMessageBoxes must not
    // return the answer of whichever box used the slot before it.
    entry.intResult = false;
    auto outcome = std::make_shared<Outcome>();
    entry.outcome = outcome;
    entry.objMsg =
        std::make_unique<MessageBoxWindow>(MessageBoxContext{clock_, alerts_, leave_, strAppPath_});
    MessageBoxWindow* box = entry.objMsg.get();
    box->lngRoomObjectIdx = lngRoomObjectIdx;
    box->lngMsgObjectIdx = slot;
    const bool limitReached =
        bteMsgType == MsgType::Reason && leaveLimitReached_ && leaveLimitReached_();
    box->configure(bteMsgType, strNote, strCaption, strYesCmdCaption, strNoCmdCaption,
                   lngMaxDelayTime, blnYesDefault, limitReached);
    // Set after construction: the callback names the box itself, not its slot,
    // which another box may have taken by the time it fires.
    MessageBoxWindow* const self = box;
    box->setAnsweredCallback([this, self](bool result) { onAnswered(self, result); });
    box->load();

    const bool modal = ButtonCount(bteMsgType) > 0;
    showBox(*box, modal);
    if (!modal) return false;
    // Already behind, a notice gives way before its first step.
    giveWayIfBehind(*box);
    const bool waited = waiter_.waitUntil([&outcome] { return outcome->closed; }, kModalStepMs,
                                          [this, &outcome, self] {
                                              releaseUnloaded();
                                              refreshLeaveLimit();
                                              if (!outcome->closed) giveWayIfBehind(*self);
                                          });
    // Boxes opened and answered inside this one's loop have set it meanwhile.
    lastAnswered_ = waited && outcome->answered;
    return waited && outcome->result;
}

// Behind a backlog a notice nobody has to answer would only hold up the
// newer ones; it closes as its countdown would, and the program goes on.
// Questions still wait for their answer.
void MessageBoxRegistry::giveWayIfBehind(MessageBoxWindow& box) {
    if (box.asksNothing() && waiter_.fallenBehind()) box.expire();
}

std::int32_t MessageBoxRegistry::freeSlot() {
    const auto free = std::find_if(MsgObjects.begin(), MsgObjects.end(),
                                   [](const MsgObject& entry) { return !entry.objMsg; });
    if (free != MsgObjects.end()) return static_cast<std::int32_t>(free - MsgObjects.begin());
    MsgObjects.emplace_back();
    return lngMaxMsgObjectIdx();
}

QWidget* MessageBoxRegistry::boxOwner() const {
    if (!owner_) return nullptr;
    QWidget* const main = owner_->window();
    QWidget* const active = QApplication::activeWindow();
    const bool ownWindow = active != nullptr && active != main && active->isVisible() &&
                           active->parentWidget() != nullptr &&
                           active->parentWidget()->window() == main;
    return ownWindow ? active : main;
}

void MessageBoxRegistry::showBox(MessageBoxWindow& box, bool modal) {
    box.setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    box.winId();  // creates the native window so it can be given its owner
    if (QWidget* const owner = boxOwner()) {
        box.centreOn(owner->frameGeometry());
        if (box.windowHandle() != nullptr && owner->windowHandle() != nullptr) {
            box.windowHandle()->setTransientParent(owner->windowHandle());
        }
    }
    box.show();
    // A notice leaves the keyboard where it was (the chat, as a rule).
    if (modal) box.activateWindow();
}

void MessageBoxRegistry::onAnswered(const MessageBoxWindow* box, bool result) {
    for (MsgObject& entry : MsgObjects) {
        if (entry.objMsg.get() != box) continue;
        entry.intResult = result;
        if (entry.outcome) {
            entry.outcome->answered = true;
            entry.outcome->result = result;
        }
        unloadSlot(entry);
        return;
    }
}

void MessageBoxRegistry::unloadSlot(MsgObject& entry) {
    if (entry.outcome) entry.outcome->closed = true;
    entry.outcome.reset();
    if (!entry.objMsg) return;
    entry.objMsg->unload();
    // Not deleted here: this may run inside the box's own handler.
    unloaded_.push_back(std::move(entry.objMsg));
}

void MessageBoxRegistry::closeMessageBoxes(std::int32_t lngRoomObjectIdx) {
    for (MsgObject& entry : MsgObjects) {
        if (entry.objMsg && entry.objMsg->lngRoomObjectIdx == lngRoomObjectIdx) unloadSlot(entry);
    }
    releaseUnloaded();
}

void MessageBoxRegistry::closeAllBoxes() {
    for (MsgObject& entry : MsgObjects) unloadSlot(entry);
    MsgObjects.clear();
    releaseUnloaded();
}

// A packet handled while a reason box waits may use up the last leave request
// of the round, or start a new round; the box shows the limit as it now stands.
void MessageBoxRegistry::refreshLeaveLimit() {
    const bool reached = leaveLimitReached_ && leaveLimitReached_();
    for (MsgObject& entry : MsgObjects) {
        if (entry.objMsg) entry.objMsg->setFirstButtonDisabled(reached);
    }
}

void MessageBoxRegistry::releaseUnloaded() {
    std::erase_if(unloaded_, [](const std::unique_ptr<MessageBoxWindow>& box) {
        return !box || !box->busy();
    });
}

MessageBoxWindow* MessageBoxRegistry::openBox(std::int32_t slot) const {
    if (slot < 0 || slot > lngMaxMsgObjectIdx()) return nullptr;
    return MsgObjects[static_cast<std::size_t>(slot)].objMsg.get();
}

bool MessageBoxRegistry::slotResult(std::int32_t slot) const {
    if (slot < 0 || slot > lngMaxMsgObjectIdx()) return false;
    return MsgObjects[static_cast<std::size_t>(slot)].intResult;
}

int MessageBoxRegistry::openBoxCount() const {
    return static_cast<int>(
        std::count_if(MsgObjects.begin(), MsgObjects.end(),
                      [](const MsgObject& entry) { return entry.objMsg != nullptr; }));
}

}  // namespace krvo
