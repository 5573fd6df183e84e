#include "launcher/launcher_fields.h"

#include <QStandardPaths>

namespace krvo::launcher {
namespace {

int ReadInt(QSettings& settings, const char* key, int low, int high, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

QString ReadText(QSettings& settings, const char* key, const QString& fallback) {
    const QString value = settings.value(key).toString().trimmed();
    return value.isEmpty() ? fallback : value;
}

}  // namespace

LauncherFields LoadFields(QSettings& settings) {
    const LauncherFields defaults;
    LauncherFields fields;
    fields.page = ReadInt(settings, "page", 0, 2, defaults.page);
    fields.name = ReadText(settings, "name", defaults.name);
    fields.hostAddress = ReadText(settings, "host/address", defaults.hostAddress);
    fields.hostPort = ReadInt(settings, "host/port", 1, 65535, defaults.hostPort);
    fields.hostPeople = ReadInt(settings, "host/people", 1, 4, defaults.hostPeople);
    fields.level = ReadText(settings, "level", defaults.level);
    if (!ComputerLevels().contains(fields.level)) fields.level = defaults.level;
    fields.joinHost = ReadText(settings, "join/host", defaults.joinHost);
    fields.joinPort = ReadInt(settings, "join/port", 1, 65535, defaults.joinPort);
    return fields;
}

void SaveFields(QSettings& settings, const LauncherFields& fields) {
    settings.setValue("page", fields.page);
    settings.setValue("name", fields.name);
    settings.setValue("host/address", fields.hostAddress);
    settings.setValue("host/port", fields.hostPort);
    settings.setValue("host/people", fields.hostPeople);
    settings.setValue("level", fields.level);
    settings.setValue("join/host", fields.joinHost);
    settings.setValue("join/port", fields.joinPort);
    settings.sync();
}

QString DefaultSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/krvo/krvo-launcher.conf";
}

}  // namespace krvo::launcher
