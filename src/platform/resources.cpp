#include "platform/resources.h"

#include <QDir>
#include <QFileInfo>

namespace krvo {
namespace {

// The entry of directory whose name equals component ignoring case, if any.
QString matchIgnoringCase(const QDir& directory, const QString& component) {
    if (directory.exists(component)) return component;
    const QStringList entries =
        directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0) return entry;
    }
    return {};
}

}  // namespace

QString FindResourceFile(std::string_view base, std::string_view relativeName) {
    QString relative =
        QString::fromUtf8(relativeName.data(), static_cast<int>(relativeName.size()));
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList components = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (components.isEmpty()) return {};
    QString path = QString::fromUtf8(base.data(), static_cast<int>(base.size()));
    if (path.isEmpty()) path = QStringLiteral("./");
    for (const QString& component : components) {
        if (component == QLatin1String("..")) return {};  // names never climb out of the base
        if (component == QLatin1String(".")) continue;
        const QString found = matchIgnoringCase(QDir(path), component);
        if (found.isEmpty()) return {};
        if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
        path += found;
    }
    return QFileInfo(path).isFile() ? path : QString();
}

QImage LoadPicture(std::string_view base, std::string_view relativeName) {
    const QString file = FindResourceFile(base, relativeName);
    if (file.isEmpty()) return {};
    return QImage(file);
}

}  // namespace krvo
