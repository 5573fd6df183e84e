#include "writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace krvo::assets {
namespace {

bool encodePicture(const AssetEntry& entry, const QImage& picture, const QString& path,
                   std::string& error) {
    QImageWriter writer(path);
    switch (entry.format) {
        case Format::Bmp:
            writer.setFormat("bmp");
            return writer.write(picture.convertToFormat(QImage::Format_RGB32)) ||
                   (error = writer.errorString().toStdString(), false);
        case Format::Jpeg:
            writer.setFormat("jpeg");
            writer.setQuality(100);
            return writer.write(picture.convertToFormat(QImage::Format_RGB32)) ||
                   (error = writer.errorString().toStdString(), false);
        case Format::Ico:
            writer.setFormat("ico");
            return writer.write(picture.convertToFormat(QImage::Format_ARGB32)) ||
                   (error = writer.errorString().toStdString(), false);
        case Format::Png:
            writer.setFormat("png");
            return writer.write(picture.convertToFormat(QImage::Format_ARGB32)) ||
                   (error = writer.errorString().toStdString(), false);
        default:
            error = "not a picture format";
            return false;
    }
}

bool writeBytes(const QByteArray& bytes, const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString().toStdString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace

QString OutputPath(const AssetEntry& entry, const OutputDirs& dirs) {
    const QString& root = entry.root == Root::App        ? dirs.app
                          : entry.root == Root::Platform ? dirs.platform
                                                         : dirs.icons;
    return QDir(root).filePath(QString::fromStdString(DiskName(entry)));
}

bool WriteAsset(const AssetEntry& entry, const OutputDirs& dirs, std::string& error) {
    const QString path = OutputPath(entry, dirs);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = "cannot create the directory";
        return false;
    }
    if (entry.bytes) {
        const QByteArray bytes = entry.bytes(entry);
        if (bytes.isEmpty()) {
            error = "nothing to write";
            return false;
        }
        return writeBytes(bytes, path, error);
    }
    const QImage picture = entry.picture(entry);
    if (picture.width() != entry.width || picture.height() != entry.height) {
        error = "drawn at " + std::to_string(picture.width()) + " x " +
                std::to_string(picture.height());
        return false;
    }
    return encodePicture(entry, picture, path, error);
}

std::vector<std::string> WriteAll(const OutputDirs& dirs) {
    std::vector<std::string> failures;
    for (const AssetEntry& entry : Manifest()) {
        std::string error;
        if (!WriteAsset(entry, dirs, error)) failures.push_back(entry.name + ": " + error);
    }
    return failures;
}

}  // namespace krvo::assets
