#include "painting.h"

#include <QLinearGradient>
#include <QtMath>

namespace krvo::assets {

QFont SansFont(int pixelSize, bool bold) {
    QFont font("WenQuanYi Zen Hei");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont SerifFont(int pixelSize, bool bold) {
    QFont font("AR PL UMing CN");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QImage NewCanvas(int width, int height, int scale) {
    QImage canvas(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(scale);
    canvas.fill(Qt::transparent);
    return canvas;
}

QImage NewPicture(int width, int height, const QColor& fill, int scale) {
    QImage picture(width * scale, height * scale, QImage::Format_RGB32);
    picture.setDevicePixelRatio(scale);
    picture.fill(fill);
    return picture;
}

qreal LayoutPosition(int device, int scale) {
    return (device + 0.5) / scale - 0.5;
}

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QImage Flatten(const QImage& canvas, const QColor& backdrop) {
    QImage out = NewPicture(canvas.width(), canvas.height(), backdrop, 1);
    out.setDevicePixelRatio(canvas.devicePixelRatio());
    QPainter painter(&out);
    painter.drawImage(0, 0, canvas);
    return out;
}

MaskedLook SplitMask(const QImage& canvas, const QColor& backdrop) {
    const QImage source = canvas.convertToFormat(QImage::Format_ARGB32);
    const QImage blended = Flatten(canvas, backdrop);
    MaskedLook look{NewPicture(canvas.width(), canvas.height(), kMaskBlack, 1),
                    NewPicture(canvas.width(), canvas.height(), kMaskWhite, 1)};
    look.image.setDevicePixelRatio(canvas.devicePixelRatio());
    look.mask.setDevicePixelRatio(canvas.devicePixelRatio());
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (qAlpha(source.pixel(x, y)) < 128) continue;
            look.image.setPixel(x, y, blended.pixel(x, y));
            look.mask.setPixel(x, y, kMaskBlack.rgb());
        }
    }
    return look;
}

QImage KeepInsideMask(const QImage& image, const QImage& mask) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height() && y < mask.height(); ++y) {
        for (int x = 0; x < out.width() && x < mask.width(); ++x) {
            if (qRed(mask.pixel(x, y)) != 0) out.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return out;
}

void PlaceImage(QImage& target, const QImage& source, int x, int y) {
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(x, y, source);
}

void PlaceLook(QImage& strip, const MaskedLook& look, int imageX, int maskX, int y) {
    PlaceImage(strip, look.image, imageX, y);
    PlaceImage(strip, look.mask, maskX, y);
}

void DrawButtonBody(QPainter& painter, const QRectF& rect, qreal radius, const QColor& top,
                    const QColor& bottom, const QColor& border) {
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, top.lighter(115));
    shade.setColorAt(0.45, top);
    shade.setColorAt(1, bottom);
    painter.setPen(QPen(border, 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
}

void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                     const QColor& colour, const QColor& shadow) {
    painter.setFont(font);
    if (shadow.alpha() > 0) {
        painter.setPen(shadow);
        painter.drawText(rect.translated(1, 1), Qt::AlignCenter, text);
    }
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter, text);
}

namespace {

QPainterPath heartPath() {
    QPainterPath path;
    path.moveTo(0, 0.5);
    path.cubicTo(-0.18, 0.3, -0.52, 0.08, -0.5, -0.2);
    path.cubicTo(-0.48, -0.52, -0.08, -0.56, 0, -0.24);
    path.cubicTo(0.08, -0.56, 0.48, -0.52, 0.5, -0.2);
    path.cubicTo(0.52, 0.08, 0.18, 0.3, 0, 0.5);
    return path;
}

QPainterPath spadePath() {
    QPainterPath path;
    path.moveTo(0, -0.5);
    path.cubicTo(-0.16, -0.28, -0.5, -0.1, -0.48, 0.12);
    path.cubicTo(-0.46, 0.36, -0.14, 0.38, -0.04, 0.2);
    path.cubicTo(-0.06, 0.34, -0.12, 0.44, -0.22, 0.5);
    path.lineTo(0.22, 0.5);
    path.cubicTo(0.12, 0.44, 0.06, 0.34, 0.04, 0.2);
    path.cubicTo(0.14, 0.38, 0.46, 0.36, 0.48, 0.12);
    path.cubicTo(0.5, -0.1, 0.16, -0.28, 0, -0.5);
    return path;
}

QPainterPath clubPath() {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(0, -0.24), 0.22, 0.22);
    path.addEllipse(QPointF(-0.25, 0.1), 0.22, 0.22);
    path.addEllipse(QPointF(0.25, 0.1), 0.22, 0.22);
    QPainterPath stem;
    stem.moveTo(-0.05, 0.0);
    stem.lineTo(0.05, 0.0);
    stem.cubicTo(0.06, 0.3, 0.12, 0.44, 0.22, 0.5);
    stem.lineTo(-0.22, 0.5);
    stem.cubicTo(-0.12, 0.44, -0.06, 0.3, -0.05, 0.0);
    path.addPath(stem);
    path.addEllipse(QPointF(0, 0.02), 0.12, 0.12);
    return path.simplified();
}

QPainterPath diamondPath() {
    QPainterPath path;
    path.moveTo(0, -0.5);
    path.quadTo(0.18, -0.2, 0.38, 0);
    path.quadTo(0.18, 0.2, 0, 0.5);
    path.quadTo(-0.18, 0.2, -0.38, 0);
    path.quadTo(-0.18, -0.2, 0, -0.5);
    return path;
}

}  // namespace

QPainterPath SuitPath(int suit) {
    switch (suit) {
        case 0:
            return heartPath();
        case 1:
            return spadePath();
        case 2:
            return clubPath();
        default:
            return diamondPath();
    }
}

QColor SuitColour(int suit) {
    return suit == 0 || suit == 3 ? QColor(206, 20, 32) : QColor(20, 20, 28);
}

void DrawSuit(QPainter& painter, int suit, const QPointF& centre, qreal height) {
    painter.save();
    painter.translate(centre);
    painter.scale(height, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SuitColour(suit));
    painter.drawPath(SuitPath(suit));
    painter.restore();
}

QPainterPath StarPath(qreal outer, qreal inner, int points) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        qreal radius = i % 2 == 0 ? outer : inner;
        qreal angle = -M_PI / 2 + i * M_PI / points;
        QPointF p(radius * qCos(angle), radius * qSin(angle));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    path.closeSubpath();
    return path;
}

QColor Mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

}  // namespace krvo::assets
