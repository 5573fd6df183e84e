#include "state/exit_reason.h"

namespace krvo {

int ExitStatusOf(ExitReason reason) {
    switch (reason) {
        case ExitReason::Closed:
            return 0;
        case ExitReason::StartCountdown:
            return 2;
        case ExitReason::AutoPlayLimit:
            return 3;
        case ExitReason::TableDissolved:
            return 4;
        case ExitReason::CannotGoOn:
            return 5;
        case ExitReason::ConnectionLost:
            return 6;
        case ExitReason::ConnectFailed:
            return 7;
    }
    return 0;
}

std::string_view ExitReasonText(ExitReason reason) {
    switch (reason) {
        case ExitReason::Closed:
            return {};
        case ExitReason::StartCountdown:
            return "20 秒内没有按“可以开始”，你已离开牌桌。";
        case ExitReason::AutoPlayLimit:
            return "系统帮你自动出牌的次数已到上限，算你逃跑，你已离开牌桌。";
        case ExitReason::TableDissolved:
            return "大家都同意你离开，本桌解散，你已离开牌桌。";
        case ExitReason::CannotGoOn:
            return "服务器通知你不能继续玩下去，你已离开牌桌。";
        case ExitReason::ConnectionLost:
            return "与房间服务器的连接断开了，你已离开牌桌。";
        case ExitReason::ConnectFailed:
            return "无法连接到房间服务器，请稍后再试。";
    }
    return {};
}

bool ExplainedAtTheTable(ExitReason reason) {
    return reason == ExitReason::AutoPlayLimit || reason == ExitReason::TableDissolved ||
           reason == ExitReason::CannotGoOn;
}

}  // namespace krvo
