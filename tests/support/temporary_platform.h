#pragma once
// A platform directory of the test's own, laid out as the lobby lays out the
// real one: the program directory below it holds the client and reaches the
// built pictures, pages and shared resources through links. What the program
// writes beside itself (the preferences) stays here, and what a person wrote
// into the built directory during `make run` is never read.

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <system_error>

namespace krvo::testing {

class TemporaryPlatform {
public:
    // builtAppDir: the built program directory. clientName: the client there,
    // for tests that start it as a process; it then lies here itself, since a
    // linked-to program finds its directory through the link's target.
    explicit TemporaryPlatform(const QString& builtAppDir, const QString& clientName = {}) {
        const QDir builtApp(builtAppDir);
        QDir builtPlatform = builtApp;
        valid_ = root_.isValid() && builtPlatform.cdUp() && QDir(root_.path()).mkdir(kAppName);
        if (!valid_) return;
        if (!clientName.isEmpty()) {
            client_ = appDir() + "/" + clientName;
            const std::string from = builtApp.filePath(clientName).toStdString();
            std::error_code error;
            std::filesystem::create_hard_link(from, client_.toStdString(), error);
            if (error) valid_ = std::filesystem::copy_file(from, client_.toStdString(), error);
        }
        valid_ = valid_ && mirror(builtApp, appDir(), {clientName, "UserSet.ini"}) &&
                 mirror(builtPlatform, root_.path(), {builtApp.dirName()});
    }

    bool isValid() const { return valid_; }
    QString platformDir() const { return root_.path(); }
    QString appDir() const { return root_.path() + "/" + kAppName; }
    QString client() const { return client_; }

private:
    static constexpr const char* kAppName = "krvo";

    static bool mirror(const QDir& from, const QString& to, const QStringList& except) {
        const auto entries = from.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : entries) {
            if (except.contains(entry.fileName())) continue;
            std::error_code error;
            std::filesystem::create_symlink(entry.absoluteFilePath().toStdString(),
                                            (to + "/" + entry.fileName()).toStdString(), error);
            if (error) return false;
        }
        return true;
    }

    QTemporaryDir root_;
    QString client_;
    bool valid_ = false;
};

}  // namespace krvo::testing
