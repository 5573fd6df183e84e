#pragma once
// Recording doubles for everything the room handling calls: the user list,
// the chat, the settings dialog, the table scene, the round flow, sounds and
// message boxes. Each keeps its calls as readable lines in one shared log, so
// a test can check both what happened and in which order.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"
#include "game/table_flow.h"
#include "platform/sound_player.h"
#include "render/table_scene.h"
#include "room/message_boxes.h"
#include "room/room_controls.h"

namespace krvo::testing {

using CallLog = std::vector<std::string>;

class RecordingUserList final : public UserListOps {
public:
    explicit RecordingUserList(CallLog& log) : log_(log) {}
    std::string FindUser(std::string_view name) override {
        const auto it = rows.find(std::string(name));
        return it == rows.end() ? std::string() : it->second;
    }
    void AddUser(std::string_view row) override {
        log_.push_back("list.add " + std::string(row));
        const auto fields = SplitFields(row);
        if (!fields.empty()) rows[fields[0]] = std::string(row);
    }
    void RemoveUser(std::string_view name) override {
        log_.push_back("list.remove " + std::string(name));
        rows.erase(std::string(name));
    }
    void ClearUsers() override {
        log_.push_back("list.clear");
        rows.clear();
    }
    void LoadUsers(std::string_view body) override { log_.push_back("list.load " + std::string(body)); }
    void UpdateUser(std::string_view row) override { log_.push_back("list.update " + std::string(row)); }
    void SetOwnName(std::string_view name) override { log_.push_back("list.own " + std::string(name)); }

    std::map<std::string, std::string> rows;

private:
    CallLog& log_;
};

class RecordingChat final : public ChatOps {
public:
    explicit RecordingChat(CallLog& log) : log_(log) {}
    void ShowSystemLine(std::string_view text) override { log_.push_back("chat.system " + std::string(text)); }
    void ShowChatText(std::string_view text) override { log_.push_back("chat.text " + std::string(text)); }
    void ShowChatMessage(const std::array<std::string, 8>& texts) override {
        log_.push_back("chat.message " + JoinFields(texts));
    }
    void UpdateRecipient(std::string_view name, bool add) override {
        log_.push_back(std::string(add ? "chat.add " : "chat.del ") + std::string(name));
    }
    void ClearRecipients() override { log_.push_back("chat.clear"); }
    void SetCurrentRecipient(std::string_view name) override {
        log_.push_back("chat.target " + std::string(name));
    }
    void SetOwnName(std::string_view name) override { log_.push_back("chat.own " + std::string(name)); }

private:
    CallLog& log_;
};

class RecordingDialogs final : public SettingsDialogOpener {
public:
    explicit RecordingDialogs(CallLog& log) : log_(log) {}
    bool OpenGameSet(bool owner, std::string_view settings) override {
        log_.push_back(std::string(owner ? "dialog.owner " : "dialog.guest ") + std::string(settings));
        return accept;
    }
    bool accept = true;

private:
    CallLog& log_;
};

class RecordingScene final : public TableScene {
public:
    explicit RecordingScene(CallLog& log) : log_(log) {}
    void paintSeat(std::uint8_t chair) override { log_.push_back("paint.seat " + std::to_string(chair)); }
    void paintOfflineMark(std::uint8_t chair) override {
        log_.push_back("paint.offline " + std::to_string(chair));
    }
    void paintReadyMark(std::uint8_t chair) override {
        log_.push_back("paint.ready " + std::to_string(chair));
    }
    void layoutTable() override { log_.push_back("paint.layout"); }
    void paintTable() override { log_.push_back("paint.table"); }

private:
    CallLog& log_;
};

class RecordingFlow final : public TableFlow {
public:
    explicit RecordingFlow(CallLog& log) : log_(log) {}
    void StopClock() override { log_.push_back("flow.stopClock"); }
    void RefreshStartButton() override { log_.push_back("flow.startButton"); }
    void RefreshAction() override { log_.push_back("flow.action"); }

private:
    CallLog& log_;
};

class RecordingSound final : public SoundPlayer {
public:
    explicit RecordingSound(CallLog& log) : log_(log) {}
    void PlayGameSound(int index) override { log_.push_back("sound " + std::to_string(index)); }

private:
    CallLog& log_;
};

// Boxes answer at once with a configured first-button result; the reason box
// takes its outcome from `nextLeave`.
class RecordingBoxes final : public MessageBoxService {
public:
    explicit RecordingBoxes(CallLog& log) : log_(log) {}
    bool ShowMessageBox(std::int32_t group, MsgType type, std::string_view note,
                        std::string_view caption, std::int32_t seconds, std::string_view,
                        std::string_view, bool) override {
        log_.push_back("box." + std::to_string(static_cast<int>(type)) + " g" +
                       std::to_string(group) + " " + std::string(caption) + " " +
                       std::to_string(seconds) + " " + std::string(note));
        if (type == MsgType::Reason) answer_ = nextLeave;
        return answerYes;
    }
    void CloseMessageBoxes(std::int32_t group) override {
        log_.push_back("box.close g" + std::to_string(group));
    }
    void InitMsgObjects() override { log_.push_back("box.init"); }
    LeaveAnswer& leaveAnswer() override { return answer_; }

    bool answerYes = true;
    LeaveAnswer nextLeave;

private:
    CallLog& log_;
    LeaveAnswer answer_;
};

}  // namespace krvo::testing
