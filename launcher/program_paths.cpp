#include "launcher/program_paths.h"

#include <QDir>
#include <QFileInfo>

namespace krvo::launcher {
namespace {

QString FirstExecutable(const QString& dir, std::initializer_list<const char*> candidates) {
    for (const char* candidate : candidates) {
        const QFileInfo file(QDir(dir).filePath(candidate));
        if (file.isFile() && file.isExecutable()) return file.canonicalFilePath();
    }
    return {};
}

}  // namespace

Programs FindPrograms(const QString& launcherDir) {
    return {FirstExecutable(launcherDir, {"krvo", "../platform/krvo/krvo"}),
            FirstExecutable(launcherDir, {"krvo-server", "../bin/krvo-server"})};
}

}  // namespace krvo::launcher
