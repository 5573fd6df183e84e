// Bomb animation frames. The table paints them with a colour key, and JPEG
// changes colours near anything it has to encode, so a frame is planned in the
// encoder's own units: 8 x 8 luminance blocks and 16 x 16 colour blocks
// (Qt writes 4:2:0). A block that holds nothing of the figure is left exactly
// at the key colour and decodes exactly so. Colour (fire, gold) is confined to
// whole 16 x 16 blocks that are ringed by grey ones, so colour cannot bleed
// into key blocks through chroma upsampling; grey keeps the chroma neutral.
// Grey stays well away from the key, so no near-key fringe appears either.
// The plan is laid out in layout pixels, but its blocks are the encoder's, in
// file pixels: at twice the resolution a block covers half as many layout
// pixels, and the figure follows its circles twice as closely.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QRegion>
#include <QtMath>

#include <algorithm>
#include <random>
#include <vector>

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

constexpr int kLumaBlock = 8;
constexpr int kColourBlock = 16;

struct Circle {
    QPointF centre;
    qreal radius = 0;
};

// A block belongs to a circle when its middle does: the figure's outline then
// follows the circle as closely as whole blocks can.
bool covers(const Circle& circle, const QRect& block, qreal slack) {
    if (circle.radius <= 0) return false;
    const QPointF middle = QRectF(block).center();
    return QLineF(circle.centre, middle).length() <= circle.radius + slack;
}

bool touches(const Circle& circle, const QRect& block) {
    if (circle.radius <= 0) return false;
    const qreal cx = qBound<qreal>(block.left(), circle.centre.x(), block.right() + 1);
    const qreal cy = qBound<qreal>(block.top(), circle.centre.y(), block.bottom() + 1);
    const qreal dx = circle.centre.x() - cx, dy = circle.centre.y() - cy;
    return dx * dx + dy * dy <= circle.radius * circle.radius;
}

// Which blocks may hold colour and which may hold grey.
class FramePlan {
public:
    FramePlan(int width, int height, int scale)
        : width_(width),
          height_(height),
          lumaBlock_(kLumaBlock / scale),
          colourBlock_(kColourBlock / scale) {}

    void addColour(const Circle& circle) {
        for (int y = 0; y < height_; y += colourBlock_) {
            for (int x = 0; x < width_; x += colourBlock_) {
                const QRect block(x, y, colourBlock_, colourBlock_);
                if (!touches(circle, block)) continue;
                colour_ += block;
                grey_ += block.adjusted(-lumaBlock_, -lumaBlock_, lumaBlock_, lumaBlock_);
            }
        }
    }

    void addGrey(const Circle& circle) {
        for (int y = 0; y < height_; y += lumaBlock_) {
            for (int x = 0; x < width_; x += lumaBlock_) {
                const QRect block(x, y, lumaBlock_, lumaBlock_);
                if (covers(circle, block, 1)) grey_ += block;
            }
        }
    }

    const QRegion& colour() const { return colour_; }
    QRegion grey() const { return grey_ & QRect(0, 0, width_, height_); }

private:
    int width_;
    int height_;
    int lumaBlock_;
    int colourBlock_;
    QRegion colour_;
    QRegion grey_;
};

// A neutral grey smoke texture: light inside the puffs, darker between them.
// The area is in layout pixels; the grain is one per file pixel.
void paintSmoke(QImage& frame, const QRegion& area, const std::vector<Circle>& puffs, int inner,
                int outer, unsigned seed) {
    const int scale = qRound(frame.devicePixelRatio());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-6, 6);
    for (const QRect& rect : area) {
        for (int y = rect.top() * scale; y < (rect.bottom() + 1) * scale; ++y) {
            for (int x = rect.left() * scale; x < (rect.right() + 1) * scale; ++x) {
                const QPointF at((x + 0.5) / scale, (y + 0.5) / scale);
                qreal best = 0;
                for (const Circle& puff : puffs) {
                    const qreal d = QLineF(puff.centre, at).length();
                    best = qMax(best, 1 - d / qMax<qreal>(puff.radius, 1));
                }
                const int level = qBound(
                    0, outer + int((inner - outer) * qMin<qreal>(1, best * 1.6)) + grain(random),
                    255);
                frame.setPixel(x, y, qRgb(level, level, level));
            }
        }
    }
}

// Keeps every circle at least one block away from the frame's edges, so the
// frame is never cut off where the table shows it.
void keepInside(std::vector<Circle>& circles, int width, int height) {
    const qreal margin = kLumaBlock + 2;
    for (Circle& c : circles) {
        const qreal room = std::min({c.centre.x() - margin, width - margin - c.centre.x(),
                                     c.centre.y() - margin, height - margin - c.centre.y()});
        c.radius = std::min(c.radius, std::max<qreal>(room, 0));
    }
}

QImage encodeReady(const QImage& frame) {
    return frame.convertToFormat(QImage::Format_RGB32);
}

std::vector<Circle> ringOfPuffs(QPointF centre, int count, qreal distance, qreal radius,
                                qreal turn) {
    std::vector<Circle> puffs;
    for (int i = 0; i < count; ++i) {
        const qreal a = turn + i * 2 * M_PI / count;
        const qreal wobble = 1 + 0.18 * qSin(i * 2.7);
        puffs.push_back(
            {centre + QPointF(distance * wobble * qCos(a), 0.8 * distance * wobble * qSin(a)),
             radius * (1 + 0.2 * qCos(i * 1.9))});
    }
    return puffs;
}

// Colour fades to neutral grey by kColourReach of the radius, so whatever the
// colour blocks cut off is grey like the smoke around it.
constexpr qreal kColourReach = 0.85;

void paintFireball(QPainter& painter, const Circle& fire, qreal heat) {
    QRadialGradient ball(fire.centre, fire.radius);
    ball.setColorAt(0, Mix(QColor(255, 170, 60), QColor(255, 255, 230), heat));
    ball.setColorAt(0.3, Mix(QColor(230, 90, 20), QColor(255, 220, 90), heat));
    ball.setColorAt(0.6, Mix(QColor(150, 50, 30), QColor(250, 120, 20), heat));
    ball.setColorAt(kColourReach, QColor(110, 110, 110, 160));
    ball.setColorAt(1, QColor(110, 110, 110, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ball);
    painter.drawEllipse(fire.centre, fire.radius, fire.radius);
}

}  // namespace

QImage DrawExplosionFrame(const AssetEntry& entry) {
    static const qreal kFire[] = {14, 26, 36, 44, 46, 40, 30, 18, 0};
    static const qreal kSmoke[] = {0, 10, 20, 30, 38, 44, 48, 50, 50};
    const int step = qBound(1, entry.index, 9) - 1;
    const QPointF centre(90, 64);
    const int width = LayoutWidth(entry), height = LayoutHeight(entry);
    QImage frame = NewPicture(width, height, QColor(0, 0, 0), entry.scale);

    const Circle fire{centre, kFire[step]};
    std::vector<Circle> puffs =
        ringOfPuffs(centre, 7, kSmoke[step], 8 + kSmoke[step] * 0.45, step * 0.3);
    if (step >= 6) puffs.push_back({centre, 18 + step * 2.0});
    keepInside(puffs, width, height);
    FramePlan plan(width, height, entry.scale);
    plan.addColour({fire.centre, fire.radius * kColourReach});
    if (step > 0) {
        for (const Circle& puff : puffs) plan.addGrey(puff);
    }
    const int inner = 150 - step * 10;
    std::vector<Circle> shading = puffs;
    shading.push_back({centre, fire.radius * 1.5});
    paintSmoke(frame, plan.grey(), shading, inner, 62, 11 + step);

    QPainter painter(&frame);
    Smooth(painter);
    painter.setClipRegion(plan.colour());
    paintFireball(painter, fire, 1 - step / 8.0);
    painter.setClipRegion(plan.grey());
    // Sparks only where grey is already allowed, so they add no new blocks.
    painter.setPen(QPen(QColor(236, 236, 236), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12 && step >= 1 && step <= 6; ++i) {
        const qreal a = i * 2 * M_PI / 12 + 0.4;
        const qreal d = kSmoke[step] + 6;
        painter.drawPoint(centre + QPointF(d * qCos(a), 0.8 * d * qSin(a)));
    }
    painter.end();
    return encodeReady(frame);
}

QImage DrawLightBurstFrame(const AssetEntry& entry) {
    static const qreal kGlow[] = {10, 18, 26, 32, 36, 38, 38, 37, 35, 32, 28, 24, 19, 14, 9};
    const int step = qBound(1, entry.index, 15) - 1;
    const QPointF centre(44, 40);
    const int width = LayoutWidth(entry), height = LayoutHeight(entry);
    QImage frame = NewPicture(width, height, QColor(255, 255, 255), entry.scale);

    std::vector<Circle> bounds = {{centre, kGlow[step]}};
    keepInside(bounds, width, height);
    const Circle glow = bounds.front();
    const Circle star{centre, glow.radius * 0.55};
    FramePlan plan(width, height, entry.scale);
    plan.addColour(star);
    plan.addGrey(glow);
    const std::vector<Circle> halo = {{centre, glow.radius + 4}};
    paintSmoke(frame, plan.grey(), halo, 226, 204, 5 + step);

    QPainter painter(&frame);
    Smooth(painter);
    painter.setClipRegion(plan.grey());
    painter.setPen(QPen(QColor(234, 234, 234), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4 + step * 0.2;
        painter.drawLine(centre + QPointF(8 * qCos(a), 8 * qSin(a)),
                         centre + QPointF(glow.radius * qCos(a), glow.radius * qSin(a)));
    }
    painter.setClipRegion(plan.colour());
    QRadialGradient light(centre, star.radius);
    light.setColorAt(0, QColor(255, 250, 200));
    light.setColorAt(0.6, QColor(255, 214, 80, 200));
    light.setColorAt(1, QColor(224, 224, 224, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(centre, star.radius, star.radius);
    painter.setPen(QPen(QColor(200, 120, 0), 1));
    painter.setBrush(QColor(255, 200, 30));
    painter.save();
    painter.translate(centre);
    painter.rotate(step * 12);
    painter.drawPath(StarPath(star.radius, star.radius * 0.42));
    painter.restore();
    painter.end();
    return encodeReady(frame);
}

}  // namespace krvo::assets
