#pragma once
// A krvo-server the launcher started: its command line, the port it reports
// once it listens, who is at its table (from its standard output), and a
// clear reason when it cannot start. Whatever it started, it stops again.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace krvo::launcher {

struct ServerLaunch {
    QString program{};
    QString bind = "127.0.0.1";
    int port = 0;    // 0: the system picks a free one
    int humans = 1;  // chairs kept for people
    QStringList names{};
    QString password{};
    QString level = "normal";  // the computers' play: easy, normal or hard
    bool exitWhenEmpty = false;
};

QStringList ServerArguments(const ServerLaunch& launch);

// How long a server may take to report its port before it counts as failed.
inline constexpr int kServerStartMs = 15'000;

class HostedServer final : public QObject {
    Q_OBJECT

public:
    explicit HostedServer(QObject* parent = nullptr);
    ~HostedServer() override;

    // Starts the server; ready() or failed() follows, never both.
    void start(const ServerLaunch& launch);
    // Ends the server and waits for it; nothing is reported.
    void stop();
    bool running() const { return process_.state() != QProcess::NotRunning; }
    bool listening() const { return port_ != 0; }
    int port() const { return port_; }
    // The names at the table now, in the order they came.
    const QStringList& people() const { return people_; }
    int refusedLogins() const { return refused_; }

signals:
    void ready(int port);
    void failed(const QString& reason);
    void peopleChanged();
    // The server ended by itself after it was ready.
    void ended();

private:
    void readOutput();
    void handleLine(const QString& line);
    void processEnded();
    void fail(const QString& reason);
    QString startError() const;

    QProcess process_;
    QTimer startTimer_;
    ServerLaunch launch_;
    QByteArray pending_;
    QByteArray errors_;
    int port_ = 0;
    QStringList people_;
    int refused_ = 0;
    bool reported_ = false;  // ready or failed was emitted for this start
};

}  // namespace krvo::launcher
