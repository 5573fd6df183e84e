#pragma once
// What the launcher remembers between runs: the fields of its three pages.
// Passwords are not kept: a config file is no place for them.

#include <QSettings>
#include <QString>
#include <QStringList>

namespace krvo::launcher {

inline constexpr int kDefaultTablePort = 16800;

struct LauncherFields {
    int page = 0;  // 0 computers, 1 host, 2 join
    QString name = "玩家";
    QString hostAddress = "127.0.0.1";
    int hostPort = kDefaultTablePort;
    int hostPeople = 4;  // chairs kept for people; computers take the rest
    QString level = "normal";  // how the computers play: easy, normal or hard
    QString joinHost = "127.0.0.1";
    int joinPort = kDefaultTablePort;
};

// The computers' levels as the server names them, weakest first.
inline QStringList ComputerLevels() {
    return {"easy", "normal", "hard"};
}

// Reads what was saved; a missing or unusable value keeps its default.
LauncherFields LoadFields(QSettings& settings);
void SaveFields(QSettings& settings, const LauncherFields& fields);

// The user's own settings file (XDG: ~/.config/krvo/krvo-launcher.conf).
QString DefaultSettingsPath();

}  // namespace krvo::launcher
