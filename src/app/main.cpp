// The table program's entry point: check the lobby's command line, then show
// the table and connect to the room server.

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "app/table_app.h"
#include "chrome/game_main_window.h"
#include "services/fonts.h"
#include "services/qt_system_alerts.h"
#include "qt/qt_clock.h"
#include "state/command_line.h"

namespace {

constexpr std::string_view kNoDisplayText = "无法打开显示器，牌桌无法显示，程序结束。";

// Told to run where nothing is shown (tests, the fuzz and benchmark programs).
bool askedForNoDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM").toLower();
    return platform.startsWith("offscreen") || platform.startsWith("minimal");
}

// A start-up error box needs a display somebody can see; without one (the
// offscreen and minimal platforms, or no display at all) nobody could close it.
bool canShowBox() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM").toLower();
    if (askedForNoDisplay()) return false;
    if (platform.isEmpty() || platform.startsWith("xcb")) {
        return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    }
    return true;
}

// Qt ends the process with an abort when no platform of its list can start,
// as with a DISPLAY that no server answers. The application tries the
// platforms Qt would pick, then offscreen, where it shows nothing.
void allowStartWithoutDisplay() {
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    if (platforms.isEmpty()) {
        QByteArrayList order;
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
            qgetenv("XDG_SESSION_TYPE") == "wayland") {
            order << "wayland";
        }
        if (qEnvironmentVariableIsSet("DISPLAY")) order << "xcb";
        platforms = order.join(';');
    }
    qputenv("QT_QPA_PLATFORM", platforms + ";offscreen");
}

int refuseStart(krvo::LaunchError error, char** argv) {
    const std::string_view text = krvo::LaunchErrorText(error);
    std::cerr << text << std::endl;
    if (!canShowBox()) return EXIT_FAILURE;
    allowStartWithoutDisplay();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return EXIT_FAILURE;
    krvo::InstallFontSubstitutions();
    krvo::InstallQtChineseTexts();
    krvo::MakeSystemBox(QMessageBox::Critical, krvo::kStartErrorTitle, text, nullptr)->exec();
    return EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
    const krvo::LaunchResult launch = krvo::ParseLaunch(krvo::JoinArguments(argc, argv));
    if (launch.error != krvo::LaunchError::None) return refuseStart(launch.error, argv);

    const bool headless = askedForNoDisplay();
    if (!headless) allowStartWithoutDisplay();
    // Qt must not take the lobby's fields for its own options.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!headless && QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::cerr << kNoDisplayText << std::endl;
        return EXIT_FAILURE;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    krvo::InstallFontSubstitutions();
    krvo::InstallQtChineseTexts();

    krvo::QtClock clock;
    krvo::QtSystemAlerts alerts;
    krvo::TableApp table(launch.params, QCoreApplication::applicationDirPath().toStdString(), clock,
                         krvo::PumpQtEvents, alerts);
    alerts.setEnding([&table] { return table.ended(); });
    alerts.setNoticeOwner([&table] { return table.mainWindow(); });
    table.start();
    if (table.finished()) return table.exitStatus();
    // The status the table left with: 0 for the player's own close, or the
    // reason's own status when the client left the table by itself.
    return QApplication::exec();
}
