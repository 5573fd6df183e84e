// krvo-assetgen: draws every picture and synthesises every sound of the client
// into the runtime layout and the program's icon into an icon directory, or
// renders a contact sheet of what is on disk.
//
//   krvo-assetgen <program dir> <platform dir> <icon dir>
//   krvo-assetgen --sheet <out.png> <program dir> <platform dir>

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

#include "contact_sheet.h"
#include "writer.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: krvo-assetgen <program dir> <platform dir> <icon dir>\n"
                 "       krvo-assetgen --sheet <out.png> <program dir> <platform dir>\n");
    return 2;
}

int writeSheet(const QString& out, const krvo::assets::OutputDirs& dirs) {
    const QImage sheet = krvo::assets::RenderContactSheet(dirs);
    if (!sheet.save(out, "png")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("contact sheet: %s (%d x %d)\n", qPrintable(out), sheet.width(), sheet.height());
    return 0;
}

int writeAll(const krvo::assets::OutputDirs& dirs) {
    const auto failures = krvo::assets::WriteAll(dirs);
    for (const auto& failure : failures) std::fprintf(stderr, "assetgen: %s\n", failure.c_str());
    return failures.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing text needs a GUI application, but never a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--sheet") == 0) {
        // The sheet shows the client's pictures only, so it needs no icon directory.
        return writeSheet(QString::fromLocal8Bit(argv[2]),
                          {QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]), {}});
    }
    if (argc != 4) return usage();
    return writeAll({QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                     QString::fromLocal8Bit(argv[3])});
}
