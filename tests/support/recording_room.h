#pragma once
// Recording doubles for everything the room handling calls: the user list,
// the chat, the settings dialog, the table scene, the round flow, sounds and
// message boxes. Each keeps its calls as readable lines in one shared log, so
// a test can check both what happened and in which order.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/table_flow.h"
#include "ports/table_scene.h"

namespace krvo::testing {

using CallLog = std::vector<std::string>;

class RecordingUserList final : public UserListOps {
public:
    explicit RecordingUserList(CallLog& log) : log_(log) {}
    std::string findUser(std::string_view name) override {
        const auto it = rows.find(std::string(name));
        return it == rows.end() ? std::string() : it->second;
    }
    void addUser(std::string_view row) override {
        log_.push_back("list.add " + std::string(row));
        const auto fields = SplitFields(row);
        if (!fields.empty()) rows[fields[0]] = std::string(row);
    }
    void removeUser(std::string_view name) override {
        log_.push_back("list.remove " + std::string(name));
        rows.erase(std::string(name));
    }
    void clearUsers() override {
        log_.push_back("list.clear");
        rows.clear();
    }
    void loadUsers(std::string_view body) override {
        log_.push_back("list.load " + std::string(body));
    }
    void updateUser(std::string_view row) override {
        log_.push_back("list.update " + std::string(row));
    }
    void setOwnName(std::string_view name) override {
        log_.push_back("list.own " + std::string(name));
    }

    std::map<std::string, std::string> rows;

private:
    CallLog& log_;
};

class RecordingChat final : public ChatOps {
public:
    explicit RecordingChat(CallLog& log) : log_(log) {}
    void showSystemLine(std::string_view text) override {
        log_.push_back("chat.system " + std::string(text));
    }
    void showChatText(std::string_view text) override {
        log_.push_back("chat.text " + std::string(text));
    }
    void showChatMessage(const std::array<std::string, 8>& texts) override {
        log_.push_back("chat.message " + JoinFields(texts));
    }
    void updateRecipient(std::string_view name, bool add) override {
        log_.push_back(std::string(add ? "chat.add " : "chat.del ") + std::string(name));
    }
    void clearRecipients() override { log_.push_back("chat.clear"); }
    void setCurrentRecipient(std::string_view name) override {
        log_.push_back("chat.target " + std::string(name));
    }
    void setOwnName(std::string_view name) override {
        log_.push_back("chat.own " + std::string(name));
    }

private:
    CallLog& log_;
};

class RecordingDialogs final : public SettingsDialogOpener {
public:
    explicit RecordingDialogs(CallLog& log) : log_(log) {}
    bool openTableSettings(bool owner, std::string_view settings) override {
        log_.push_back(std::string(owner ? "dialog.owner " : "dialog.guest ") +
                       std::string(settings));
        return accept;
    }
    bool accept = true;

private:
    CallLog& log_;
};

class RecordingScene final : public TableScene {
public:
    explicit RecordingScene(CallLog& log) : log_(log) {}
    void invalidateSeat(std::uint8_t chair) override {
        log_.push_back("paint.seat " + std::to_string(chair));
    }
    void invalidateOfflineMark(std::uint8_t chair) override {
        log_.push_back("paint.offline " + std::to_string(chair));
    }
    void invalidateReadyMark(std::uint8_t chair) override {
        log_.push_back("paint.ready " + std::to_string(chair));
    }
    void layoutTable() override { log_.push_back("paint.layout"); }
    void invalidateTable() override { log_.push_back("paint.table"); }

    void invalidateSeatHand(std::uint8_t chair) override { chairCall("paint.hand", chair); }
    void invalidateOwnHand() override { log_.push_back("paint.ownHand"); }
    void invalidateToggledCard(std::size_t index) override {
        log_.push_back("paint.toggled " + std::to_string(index));
    }
    void invalidateTableCentre(TrickView which) override {
        log_.push_back(which == TrickView::Current ? "paint.centre" : "paint.centre previous");
    }
    void invalidateSeatPlay(std::uint8_t chair) override { chairCall("paint.play", chair); }
    void eraseSeatPlay(std::uint8_t chair) override { chairCall("erase.play", chair); }
    void invalidateDeclarationMarks(std::uint8_t chair) override {
        chairCall("paint.marks", chair);
    }
    void invalidatePlaceMark(std::uint8_t chair) override { chairCall("paint.place", chair); }
    void invalidateFirstPlayerMark(std::uint8_t chair) override {
        chairCall("paint.firstPlayer", chair);
    }
    void invalidateToolButtons() override { log_.push_back("paint.toolButtons"); }
    void invalidatePlayButtons() override { log_.push_back("paint.playButtons"); }
    void erasePlayButtons() override { log_.push_back("erase.playButtons"); }
    void invalidateDecisionButtons() override { log_.push_back("paint.decisionButtons"); }
    void eraseDecisionButtons() override { log_.push_back("erase.decisionButtons"); }
    void invalidateWaitingNotice() override { log_.push_back("paint.waiting"); }
    void invalidateDeclarationPanel() override { log_.push_back("paint.declarationPanel"); }
    void invalidateScorePanel() override { log_.push_back("paint.scorePanel"); }
    void invalidateRoundResult(const std::array<std::int32_t, 4>& scores) override {
        std::string line = "paint.result";
        for (const std::int32_t score : scores) line += " " + std::to_string(score);
        log_.push_back(line);
    }
    void playBombAnimation(std::uint8_t chair, std::uint8_t kind) override {
        log_.push_back("bomb " + std::to_string(chair) + " " + std::to_string(kind));
        if (auto hook = onBomb) hook(chair, kind);
    }
    void invalidateClock(std::uint8_t chair, std::int32_t ticks) override {
        log_.push_back("paint.clock " + std::to_string(chair) + " " + std::to_string(ticks));
    }
    void eraseClock(std::uint8_t chair) override { chairCall("erase.clock", chair); }

    // Runs inside the animation, where other handlers may run.
    std::function<void(std::uint8_t chair, std::uint8_t kind)> onBomb;

private:
    void chairCall(const char* what, std::uint8_t chair) {
        log_.push_back(std::string(what) + " " + std::to_string(chair));
    }

    CallLog& log_;
};

class RecordingFlow final : public TableFlow {
public:
    explicit RecordingFlow(CallLog& log) : log_(log) {}
    void stopClock() override { log_.push_back("flow.stopClock"); }
    void refreshStartButton() override { log_.push_back("flow.startButton"); }
    void refreshAction() override { log_.push_back("flow.action"); }

private:
    CallLog& log_;
};

class RecordingSound final : public SoundPlayer {
public:
    explicit RecordingSound(CallLog& log) : log_(log) {}
    void playGameSound(int index) override { log_.push_back("sound " + std::to_string(index)); }

private:
    CallLog& log_;
};

// Boxes answer at once with a configured first-button result; the reason box
// takes its outcome from `nextLeave`.
class RecordingBoxes final : public MessageBoxService {
public:
    explicit RecordingBoxes(CallLog& log) : log_(log) {}
    bool showMessageBox(std::int32_t group, MsgType type, std::string_view note,
                        std::string_view caption, std::int32_t seconds, std::string_view,
                        std::string_view, bool) override {
        log_.push_back("box." + std::to_string(static_cast<int>(type)) + " g" +
                       std::to_string(group) + " " + std::string(caption) + " " +
                       std::to_string(seconds) + " " + std::string(note));
        if (type == MsgType::Reason) answer_ = nextLeave;
        return answerYes;
    }
    void closeMessageBoxes(std::int32_t group) override {
        log_.push_back("box.close g" + std::to_string(group));
    }
    void closeAllBoxes() override { log_.push_back("box.init"); }
    LeaveAnswer& leaveAnswer() override { return answer_; }
    bool lastBoxAnswered() const override { return true; }

    bool answerYes = true;
    LeaveAnswer nextLeave;

private:
    CallLog& log_;
    LeaveAnswer answer_;
};

}  // namespace krvo::testing
