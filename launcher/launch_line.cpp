#include "launcher/launch_line.h"

#include <string>

#include "state/command_line.h"

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

QString ExitReason(int status, bool crashed) {
    if (crashed) return "牌桌程序意外结束了。";
    switch (status) {
        case 0:
            return "你离开了牌桌。";
        case 1:
            return "牌桌程序无法启动（命令行有误，或没有可用的显示器）。";
        case 2:
            return "20 秒内没有按“可以开始”，你已离开牌桌。";
        case 3:
            return "自动出牌的次数到了上限，算你逃跑，你已离开牌桌。";
        case 4:
            return "大家同意你离开，本桌已解散。";
        case 5:
            return "服务器说你不能继续玩下去了。";
        case 6:
            return "与房间服务器的连接断开了，你已离开牌桌。";
        case 7:
            return "无法连接到房间服务器，请检查地址和端口，稍后再试。";
        default:
            return QString("牌桌程序意外结束了（状态 %1）。").arg(status);
    }
}

}  // namespace krvo::launcher
