#include "launcher/hosted_server.h"

namespace krvo::launcher {
namespace {

constexpr int kStopWaitMs = 3000;

}  // namespace

QStringList ServerArguments(const ServerLaunch& launch) {
    QStringList arguments = {"--bind",   launch.bind,
                             "--port",   QString::number(launch.port),
                             "--humans", QString::number(launch.humans)};
    if (!launch.names.isEmpty()) arguments << "--names" << launch.names.join(',');
    if (!launch.password.isEmpty()) arguments << "--password" << launch.password;
    if (!launch.level.isEmpty()) arguments << "--level" << launch.level;
    if (launch.exitWhenEmpty) arguments << "--exit-when-empty";
    return arguments;
}

HostedServer::HostedServer(QObject* parent) : QObject(parent) {
    startTimer_.setSingleShot(true);
    connect(&startTimer_, &QTimer::timeout, this, [this] { fail("牌桌服务器没有响应，已停止。"); });
    connect(&process_, &QProcess::readyReadStandardOutput, this, &HostedServer::readOutput);
    connect(&process_, &QProcess::readyReadStandardError, this,
            [this] { errors_ += process_.readAllStandardError(); });
    connect(&process_, &QProcess::finished, this, &HostedServer::processEnded);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            fail(QString("无法启动牌桌服务器（%1）。").arg(launch_.program));
        }
    });
}

HostedServer::~HostedServer() {
    stop();
}

void HostedServer::start(const ServerLaunch& launch) {
    stop();
    launch_ = launch;
    pending_.clear();
    errors_.clear();
    port_ = 0;
    people_.clear();
    refused_ = 0;
    reported_ = false;
    if (launch.program.isEmpty()) {
        // Reported from the event loop, as every other outcome is.
        QTimer::singleShot(0, this, [this] { fail("找不到牌桌服务器程序 krvo-server。"); });
        return;
    }
    startTimer_.start(kServerStartMs);
    process_.start(launch.program, ServerArguments(launch));
}

void HostedServer::stop() {
    startTimer_.stop();
    if (process_.state() != QProcess::NotRunning) {
        // Told before it goes, so that its end is not taken for a failure.
        reported_ = true;
        process_.blockSignals(true);
        process_.terminate();
        if (!process_.waitForFinished(kStopWaitMs)) {
            process_.kill();
            process_.waitForFinished(kStopWaitMs);
        }
        process_.blockSignals(false);
    }
    if (port_ != 0 || !people_.isEmpty()) {
        port_ = 0;
        people_.clear();
        emit peopleChanged();
    }
}

void HostedServer::readOutput() {
    pending_ += process_.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
        handleLine(line);
    }
}

void HostedServer::handleLine(const QString& line) {
    if (line.startsWith("listening on ") && port_ == 0) {
        bool ok = false;
        const int port = line.section(':', -1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535) return fail("牌桌服务器报出的端口无法识别。");
        port_ = port;
        startTimer_.stop();
        reported_ = true;
        emit ready(port_);
    } else if (line.startsWith("joined ")) {
        const QString name = line.mid(7);
        if (!people_.contains(name)) people_.append(name);
        emit peopleChanged();
    } else if (line.startsWith("left ")) {
        people_.removeAll(line.mid(5));
        emit peopleChanged();
    } else if (line.startsWith("refused a login")) {
        ++refused_;
        emit peopleChanged();
    }
}

void HostedServer::processEnded() {
    readOutput();
    errors_ += process_.readAllStandardError();
    startTimer_.stop();
    if (!reported_) return fail(startError());
    port_ = 0;
    people_.clear();
    emit peopleChanged();
    emit ended();
}

// The server's own words are English; the player gets the reason in Chinese,
// with the server's line for whoever has to dig further.
QString HostedServer::startError() const {
    const QString said = QString::fromUtf8(errors_).trimmed().section('\n', -1);
    const QString where = QString("%1:%2").arg(launch_.bind).arg(launch_.port);
    if (said.contains("already in use")) {
        return QString("端口 %1 已被占用，请换一个端口。").arg(launch_.port);
    }
    if (said.contains("cannot listen")) {
        return QString("无法在 %1 上建桌（%2）。").arg(where, said);
    }
    if (said.isEmpty()) return "牌桌服务器没能启动。";
    return QString("牌桌服务器没能启动（%1）。").arg(said);
}

void HostedServer::fail(const QString& reason) {
    if (reported_) return;
    reported_ = true;
    startTimer_.stop();
    stop();
    emit failed(reason);
}

}  // namespace krvo::launcher
