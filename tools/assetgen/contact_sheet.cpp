#include "contact_sheet.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

#include "painting.h"

namespace krvo::assets {
namespace {

const QColor kSheetBack(52, 56, 64);
constexpr int kGap = 10;
constexpr int kLabelHeight = 14;

struct Tile {
    QString label;
    QImage picture;  // null when the file is missing or unreadable
    QSize size;
};

struct Group {
    QString title;
    std::vector<Tile> tiles;
};

QString directoryOf(const std::string& name) {
    const auto cut = name.rfind('\\');
    return cut == std::string::npos ? QString() : QString::fromStdString(name.substr(0, cut));
}

std::vector<Group> collect(const OutputDirs& dirs, QStringList& others) {
    std::vector<Group> groups;
    const QFontMetrics metrics(SansFont(10));
    for (const AssetEntry& entry : Manifest()) {
        // The sheet shows the client's files as they are laid out: the twins
        // only repeat them, and the desktop icon is not the client's.
        if (entry.scale != 1 || entry.root == Root::Icons) continue;
        const QString path = OutputPath(entry, dirs);
        if (!IsPicture(entry)) {
            others << QString::fromStdString(entry.name) +
                          (QFileInfo::exists(path) ? "" : " (missing)");
            continue;
        }
        const QString title = directoryOf(entry.name);
        if (groups.empty() || groups.back().title != title) groups.push_back({title, {}});
        Tile tile{QFileInfo(path).fileName(), QImage(path), {}};
        const QSize picture =
            tile.picture.isNull() ? QSize(entry.width, entry.height) : tile.picture.size();
        tile.size = QSize(std::max(picture.width(), metrics.horizontalAdvance(tile.label)),
                          picture.height() + kLabelHeight);
        groups.back().tiles.push_back(tile);
    }
    return groups;
}

// Lays the tiles out in rows; with a painter, also draws them. Returns the height used.
int layout(const std::vector<Group>& groups, const QStringList& others, int width,
           QPainter* painter) {
    int y = kGap;
    for (const Group& group : groups) {
        if (painter) {
            painter->setFont(SansFont(13, true));
            painter->setPen(QColor(250, 220, 120));
            painter->drawText(QRect(kGap, y, width, 18), Qt::AlignVCenter, group.title + "\\");
        }
        y += 22;
        int x = kGap, rowHeight = 0;
        for (const Tile& tile : group.tiles) {
            if (x + tile.size.width() > width - kGap && x > kGap) {
                x = kGap;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            if (painter) {
                if (tile.picture.isNull()) {
                    painter->fillRect(
                        QRect(x, y, tile.size.width(), tile.size.height() - kLabelHeight),
                        QColor(200, 0, 0));
                } else {
                    painter->drawImage(x, y, tile.picture);
                }
                painter->setFont(SansFont(10));
                painter->setPen(QColor(220, 224, 232));
                painter->drawText(QRect(x, y + tile.size.height() - kLabelHeight,
                                        tile.size.width() + kGap, kLabelHeight),
                                  Qt::AlignLeft | Qt::AlignBottom, tile.label);
            }
            x += tile.size.width() + kGap;
            rowHeight = std::max(rowHeight, tile.size.height());
        }
        y += rowHeight + kGap;
    }
    if (painter) {
        painter->setFont(SansFont(11));
        painter->setPen(QColor(200, 230, 200));
        painter->drawText(QRect(kGap, y, width - 2 * kGap, 60), Qt::TextWordWrap,
                          "Other files: " + others.join(",  "));
    }
    return y + 60;
}

}  // namespace

QImage RenderContactSheet(const OutputDirs& dirs, int width) {
    QStringList others;
    const std::vector<Group> groups = collect(dirs, others);
    const int height = layout(groups, others, width, nullptr);
    QImage sheet = NewPicture(width, height, kSheetBack, 1);
    QPainter painter(&sheet);
    Smooth(painter);
    layout(groups, others, width, &painter);
    return sheet;
}

}  // namespace krvo::assets
