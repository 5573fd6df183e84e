#pragma once
// What the launcher hands the table client: the lobby's nine-field command
// line, the table password in the environment, and what the client's exit
// status means to the player.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace krvo::launcher {

// The title and level titles of our own tables, as `make run` gives them.
inline constexpr const char* kTableTitle = "krvo演示牌桌";
inline constexpr const char* kLevelTitles = "新手_0`学徒_100`熟手_300`好手_800`高手_2000`大师_5000";

struct ClientLaunch {
    QString name{};
    QString host{};
    int port = 0;
    QString password{};  // empty: the table has none
};

// Why the client could not be started with these fields, in Chinese; empty
// when they are fine. The client splits its command line at blanks, so no
// field may hold one.
QString CheckClientLaunch(const ClientLaunch& launch);
// Why a table password would not work; empty when it would (or is empty). The
// server refuses one with blanks at either end.
QString CheckTablePassword(const QString& password);

// The nine fields: token, host, port, title, level titles, two unused fields,
// the name and the score mode.
QStringList ClientArguments(const ClientLaunch& launch);
// The client's environment: the password set, or any inherited one removed.
QProcessEnvironment ClientEnvironment(const ClientLaunch& launch, QProcessEnvironment base);

// The client's exit status as the player is told it, in the client's own
// words for the reasons it leaves by itself; a crash is told apart.
QString ClientExitText(int status, bool crashed);

}  // namespace krvo::launcher
