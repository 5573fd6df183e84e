#include "services/web_addresses.h"

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "core/ini_file.h"

namespace krvo {
namespace {

// Where the build copies the shipped pages, below the program's directory.
constexpr std::string_view kShippedHelpBase = "docs/help/";
constexpr std::string_view kShippedAdvBase = "docs/adv/";
// Two addresses and perhaps some comments; it is read before the window shows.
constexpr std::size_t kSettingsFileBytes = 64 * 1024;

QString withTrailingSlash(QString text) {
    if (!text.endsWith(QLatin1Char('/'))) text += QLatin1Char('/');
    return text;
}

QUrl baseAddress(const IniFile& ini, std::string_view key, std::string_view appPath,
                 std::string_view shipped) {
    const QString programDir = QString::fromUtf8(appPath.data(), qsizetype(appPath.size()));
    const std::optional<std::string> setting = ini.value("Web", key);
    const QString text = setting ? QString::fromStdString(*setting).trimmed() : QString();
    if (text.isEmpty()) {
        return QUrl::fromLocalFile(programDir +
                                   QString::fromUtf8(shipped.data(), qsizetype(shipped.size())));
    }
    const QUrl address(text);
    // A one-letter scheme would be a drive letter, not an address.
    if (address.isValid() && address.scheme().size() > 1) {
        QUrl base = address;
        base.setPath(withTrailingSlash(base.path()));
        return base;
    }
    const QString directory = text.startsWith(QLatin1Char('/')) ? text : programDir + text;
    return QUrl::fromLocalFile(withTrailingSlash(directory));
}

}  // namespace

WebAddresses LoadWebAddresses(std::string_view appPath) {
    const IniFile ini =
        IniFile::load(std::filesystem::path(std::string(appPath)) / "krvo.ini", kSettingsFileBytes);
    const QUrl helpBase = baseAddress(ini, "HelpBase", appPath, kShippedHelpBase);
    const QUrl advBase = baseAddress(ini, "AdvBase", appPath, kShippedAdvBase);
    return {helpBase.resolved(QUrl(QStringLiteral("KRVO.htm"))),
            advBase.resolved(QUrl(QStringLiteral("KRVO/ga.htm")))};
}

}  // namespace krvo
