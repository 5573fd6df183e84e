#include "launcher/launch_line.h"

#include <string>

#include "state/command_line.h"
#include "state/exit_reason.h"

namespace krvo::launcher {
namespace {

bool HasBlank(const QString& text) {
    for (const QChar c : text) {
        if (c.isSpace()) return true;
    }
    return false;
}

}  // namespace

QString CheckClientLaunch(const ClientLaunch& launch) {
    if (launch.name.trimmed().isEmpty()) return "请填写你的名字。";
    if (HasBlank(launch.name)) return "名字里不能有空格。";
    // The server's list of names is comma-separated, and a backtick would end
    // a field of the user row.
    if (launch.name.contains(',') || launch.name.contains('`')) return "名字里不能有逗号或 ` 号。";
    if (launch.host.trimmed().isEmpty()) return "请填写牌桌的地址。";
    if (HasBlank(launch.host)) return "地址里不能有空格。";
    if (launch.port < 1 || launch.port > 65535) return "端口应在 1 到 65535 之间。";
    return CheckTablePassword(launch.password);
}

QString CheckTablePassword(const QString& password) {
    if (password.trimmed() != password) return "密码的开头和结尾不能是空格。";
    return {};
}

QStringList ClientArguments(const ClientLaunch& launch) {
    // The two fields nothing reads are "-", so that none is empty: an empty
    // field would vanish when the client splits its command line.
    return {QString::fromUtf8(kLaunchToken.data(), static_cast<qsizetype>(kLaunchToken.size())),
            launch.host,
            QString::number(launch.port),
            QString::fromUtf8(kTableTitle),
            QString::fromUtf8(kLevelTitles),
            "-",
            "-",
            launch.name,
            "1"};
}

QProcessEnvironment ClientEnvironment(const ClientLaunch& launch, QProcessEnvironment base) {
    if (launch.password.isEmpty()) {
        base.remove(kTablePasswordVariable);
    } else {
        base.insert(kTablePasswordVariable, launch.password);
    }
    return base;
}

QString ClientExitText(int status, bool crashed) {
    if (crashed) return "牌桌程序意外结束了。";
    if (status == 0) return "你离开了牌桌。";
    if (status == 1) return "牌桌程序无法启动（命令行有误，或没有可用的显示器）。";
    for (const ExitReason reason :
         {ExitReason::StartCountdown, ExitReason::AutoPlayLimit, ExitReason::TableDissolved,
          ExitReason::CannotGoOn, ExitReason::ConnectionLost, ExitReason::ConnectFailed}) {
        if (ExitStatusOf(reason) == status) {
            const std::string_view text = ExitReasonText(reason);
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
    }
    return QString("牌桌程序意外结束了（状态 %1）。").arg(status);
}

}  // namespace krvo::launcher
