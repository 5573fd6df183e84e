#pragma once
// Recording doubles for everything the room handling calls: the user list,
// the chat, the settings dialog, the table scene, the round flow, sounds and
// message boxes. Each keeps its calls as readable lines in one shared log, so
// a test can check both what happened and in which order.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"
#include "ports/message_boxes.h"
#include "ports/room_controls.h"
#include "ports/sound_player.h"
#include "ports/table_flow.h"
#include "ports/table_scene.h"
#include "core/user_row.h"

namespace krvo::testing {

using CallLog = std::vector<std::string>;

// Keeps rows as the list control does (docs: the user list formats) and, after
// a full load, reports the names in list order as the control's event does.
// Without a log it records nothing, for tables that only need the list kept.
class RecordingUserList final : public UserListOps {
public:
    RecordingUserList() = default;
    explicit RecordingUserList(CallLog& log) : log_(&log) {}

    std::string findUser(std::string_view name) override {
        const auto it = rows.find(std::string(name));
        return it == rows.end() ? std::string() : it->second;
    }
    void addUser(std::string_view row) override {
        record("list.add ", row);
        keep(row);
    }
    void removeUser(std::string_view name) override {
        record("list.remove ", name);
        rows.erase(std::string(name));
    }
    void clearUsers() override {
        record("list.clear", "");
        rows.clear();
    }
    void loadUsers(std::string_view body) override {
        record("list.load ", body);
        rows.clear();
        std::vector<std::string> names;
        for (std::size_t start = 0; start < body.size();) {
            std::size_t end = body.find('\n', start);
            if (end == std::string_view::npos) end = body.size();
            std::string_view line = body.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const std::optional<std::string> name = nameOf(line);
            if (name && !rows.contains(*name)) names.push_back(*name);
            keep(line);
            start = end + 1;
        }
        if (onLoaded) onLoaded(JoinFields(names));
    }
    void updateUser(std::string_view row) override {
        record("list.update ", row);
        const std::optional<std::string> name = nameOf(row);
        if (name && rows.contains(*name)) rows[*name] = std::string(row);
    }
    void setOwnName(std::string_view name) override { record("list.own ", name); }

    // Name to row.
    std::map<std::string, std::string> rows;
    std::function<void(std::string_view names)> onLoaded;

private:
    static std::optional<std::string> nameOf(std::string_view row) {
        std::vector<std::string> fields = SplitFields(row);
        if (fields.size() != kUserRowFields) return std::nullopt;
        return std::move(fields[0]);
    }
    void keep(std::string_view row) {
        if (const std::optional<std::string> name = nameOf(row)) rows[*name] = std::string(row);
    }
    void record(std::string_view what, std::string_view text) {
        if (log_) log_->push_back(std::string(what) + std::string(text));
    }

    CallLog* log_ = nullptr;
};

// Without a log it records nothing.
class RecordingChat final : public ChatOps {
public:
    RecordingChat() = default;
    explicit RecordingChat(CallLog& log) : log_(&log) {}

    void showSystemLine(std::string_view text) override { record("chat.system ", text); }
    void showChatText(std::string_view text) override { record("chat.text ", text); }
    void showChatMessage(const std::array<std::string, 8>& texts) override {
        if (log_) record("chat.message ", JoinFields(texts));
    }
    void updateRecipient(std::string_view name, bool add) override {
        record(add ? "chat.add " : "chat.del ", name);
    }
    void clearRecipients() override { record("chat.clear", ""); }
    void setCurrentRecipient(std::string_view name) override { record("chat.target ", name); }
    void setOwnName(std::string_view name) override { record("chat.own ", name); }

private:
    void record(std::string_view what, std::string_view text) {
        if (log_) log_->push_back(std::string(what) + std::string(text));
    }

    CallLog* log_ = nullptr;
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
