#pragma once
// The table's own notices and questions. Every box belongs to a group (all
// callers use group 0) and has a countdown that answers it by itself.

#include <cstdint>
#include <string>
#include <string_view>

namespace krvo {

enum class MsgType : std::uint8_t { Notice = 0, OneButton = 1, TwoButtons = 2, Reason = 3 };

// The outcome of the last reason box: 0 ask to leave (with strLeaveReason),
// 1 quit anyway, 2 cancelled or not answered.
struct LeaveAnswer {
    std::uint8_t bteMsgResult = 2;
    std::string strLeaveReason;
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Notices return at once (false); the other types run a nested event loop
    // until answered and return true when answered with the first button.
    virtual bool showMessageBox(std::int32_t lngRoomObjectIdx, MsgType bteMsgType,
                                std::string_view strNote, std::string_view strCaption,
                                std::int32_t lngMaxDelayTime, std::string_view strYesCmdCaption,
                                std::string_view strNoCmdCaption, bool blnYesDefault) = 0;
    // Unloads every open box of the group; answers nothing.
    virtual void closeMessageBoxes(std::int32_t lngRoomObjectIdx) = 0;
    virtual void closeAllBoxes() = 0;
    virtual LeaveAnswer& leaveAnswer() = 0;
    // Whether the box the last showMessageBox call returned from was answered,
    // by the player or by its countdown. A box the program closed (a table
    // reset, an agreement) was not: nobody spoke, so nothing may be sent.
    virtual bool lastBoxAnswered() const = 0;
};

}  // namespace krvo
