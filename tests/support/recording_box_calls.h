#pragma once
// A MessageBoxService that keeps every argument of every box, for tests that
// check the exact wording, buttons and countdown of what the user is shown.
// Boxes answer at once with `answer`; `onShow` runs inside the box, as the
// events of its nested loop would.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/message_boxes.h"

namespace krvo::testing {

class RecordingBoxCalls final : public MessageBoxService {
public:
    struct Call {
        std::int32_t group = 0;
        MsgType type = MsgType::Notice;
        std::string note;
        std::string caption;
        std::int32_t seconds = 0;
        std::string yesCaption;
        std::string noCaption;
        bool yesDefault = false;

        bool operator==(const Call&) const = default;
    };

    bool showMessageBox(std::int32_t group, MsgType type, std::string_view note,
                        std::string_view caption, std::int32_t seconds, std::string_view yes,
                        std::string_view no, bool yesDefault) override {
        calls.push_back({group, type, std::string(note), std::string(caption), seconds,
                         std::string(yes), std::string(no), yesDefault});
        if (onShow) onShow();
        return type != MsgType::Notice && answer;
    }
    void closeMessageBoxes(std::int32_t group) override { closedGroups.push_back(group); }
    void closeAllBoxes() override {}
    LeaveAnswer& leaveAnswer() override { return leave; }
    bool lastBoxAnswered() const override { return true; }

    std::vector<Call> calls;
    std::vector<std::int32_t> closedGroups;
    bool answer = true;
    std::function<void()> onShow;
    LeaveAnswer leave;
};

}  // namespace krvo::testing
