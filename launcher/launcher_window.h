#pragma once
// The launcher's one window: a banner drawn in the table's blue and three
// pages, one per way to play. It starts the server and the client as the
// page asks, tells the player why the client ended, and stops what it started
// when it closes.

#include <QDialog>
#include <QProcess>
#include <QSettings>

#include "launcher/hosted_server.h"
#include "launcher/launch_line.h"
#include "launcher/launcher_fields.h"
#include "launcher/program_paths.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace krvo::launcher {

class LauncherWindow final : public QDialog {
    Q_OBJECT

public:
    LauncherWindow(Programs programs, QSettings& settings, QWidget* parent = nullptr);
    ~LauncherWindow() override;

    // The line under the pages: errors, progress and the client's exit reason.
    QString statusText() const;
    HostedServer& hostedServer() { return hosted_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* buildComputersPage();
    QWidget* buildHostPage();
    QWidget* buildJoinPage();
    void loadFields();
    void saveFields();
    void setStatus(const QString& text, bool error = false);
    void updateButtons();

    void playAgainstComputers();
    void toggleHosting();
    void sitAtHostedTable();
    void joinTable();
    bool startClient(const ClientLaunch& launch);
    void clientEnded(int status, QProcess::ExitStatus exitStatus);
    void hostedPeopleChanged();
    void showTableAddress();

    Programs programs_;
    QSettings& settings_;
    QTabWidget* pages_ = nullptr;
    QLabel* status_ = nullptr;

    QLineEdit* playName_ = nullptr;
    QComboBox* playLevel_ = nullptr;
    QPushButton* playButton_ = nullptr;

    QComboBox* hostAddress_ = nullptr;
    QSpinBox* hostPort_ = nullptr;
    QSpinBox* hostPeople_ = nullptr;
    QComboBox* hostLevel_ = nullptr;
    QLineEdit* hostPassword_ = nullptr;
    QPushButton* hostButton_ = nullptr;
    QPushButton* hostSitButton_ = nullptr;
    QLabel* hostAddressText_ = nullptr;
    QListWidget* hostPeopleList_ = nullptr;

    QLineEdit* joinName_ = nullptr;
    QLineEdit* joinHost_ = nullptr;
    QSpinBox* joinPort_ = nullptr;
    QLineEdit* joinPassword_ = nullptr;
    QPushButton* joinButton_ = nullptr;

    // The computers' table lives as long as its client; the friends' table
    // until the host closes it.
    HostedServer computers_;
    HostedServer hosted_;
    QProcess client_;
    bool clientForComputers_ = false;
};

}  // namespace krvo::launcher
