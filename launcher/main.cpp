// krvo-launcher: the window people start the game with. It plays against the
// computers on a local table, hosts a table for friends, or joins one; the
// table itself is the krvo client, started with the lobby's command line.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>

#include "launcher/launcher_fields.h"
#include "launcher/launcher_window.h"
#include "launcher/program_paths.h"

namespace {

// The program's icon: the installed theme's, or the one the build draws.
QIcon FindIcon(const QString& dir) {
    for (const char* candidate : {"../share/icons/hicolor/256x256/apps/krvo.png",
                                  "../icons/hicolor/256x256/apps/krvo.png"}) {
        const QString path = QDir(dir).filePath(candidate);
        if (QFileInfo::exists(path)) return QIcon(path);
    }
    return QIcon::fromTheme("krvo");
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("krvo-launcher");
    QApplication::setOrganizationName("krvo");
    QApplication::setDesktopFileName("krvo");
    const QString dir = QCoreApplication::applicationDirPath();
    QApplication::setWindowIcon(FindIcon(dir));
    // The fields live in the user's configuration directory, never beside the
    // program, which may not be writable.
    QSettings settings(krvo::launcher::DefaultSettingsPath(), QSettings::IniFormat);
    krvo::launcher::LauncherWindow window(krvo::launcher::FindPrograms(dir), settings);
    window.show();
    return QApplication::exec();
}
