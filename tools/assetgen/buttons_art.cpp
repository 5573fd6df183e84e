// The buttons on the table: tool buttons (copied plainly), play buttons and
// decision buttons (AND mask, then OR face).

#include "art.h"
#include "manifest.h"
#include "painting.h"

namespace krvo::assets {
namespace {

struct ButtonLook {
    QColor top, bottom, border, text, shadow;
};

ButtonLook playLook(bool hover) {
    if (hover) {
        return {QColor(255, 226, 110), QColor(236, 150, 20), QColor(120, 60, 0), QColor(90, 30, 0),
                QColor(255, 246, 200)};
    }
    return {QColor(250, 250, 244), QColor(196, 206, 220), QColor(40, 60, 90), QColor(20, 40, 80),
            QColor(255, 255, 255)};
}

QImage captionedButton(int width, int height, qreal radius, const QString& caption,
                       const ButtonLook& look, int textSize, int scale) {
    QImage canvas = NewCanvas(width, height, scale);
    QPainter painter(&canvas);
    Smooth(painter);
    DrawButtonBody(painter, QRectF(0, 0, width, height), radius, look.top, look.bottom,
                   look.border);
    if (!caption.isEmpty()) {
        DrawCentredText(painter, QRectF(0, 0, width, height - 1), caption, SansFont(textSize, true),
                        look.text, look.shadow);
    }
    return canvas;
}

}  // namespace

QImage DrawToolButtons(const AssetEntry& entry) {
    static const char* kCaptions[] = {"排序", "上轮"};
    QImage strip = NewPicture(176, 24, kTableColour, entry.scale);
    for (int state = 1; state <= 2; ++state) {
        for (int button = 0; button < 2; ++button) {
            const bool hover = state == 2;
            ButtonLook look =
                hover ? playLook(true)
                      : ButtonLook{QColor(60, 140, 200), QColor(14, 70, 120), QColor(2, 36, 70),
                                   QColor(255, 255, 255), QColor(0, 30, 60)};
            QImage canvas = captionedButton(44, 24, 6, kCaptions[button], look, 13, entry.scale);
            PlaceImage(strip, Flatten(canvas, kTableColour), (button + (state - 1) * 2) * 44, 0);
        }
    }
    return strip;
}

QImage DrawPlayButtons(const AssetEntry& entry) {
    static const char* kCaptions[] = {"出 牌", "不 出", "提 示"};
    QImage strip = NewPicture(427, 28, kMaskBlack, entry.scale);
    for (int state = 1; state <= 2; ++state) {
        for (int button = 0; button < 3; ++button) {
            QImage canvas = captionedButton(61, 28, 8, kCaptions[button], playLook(state == 2), 15,
                                            entry.scale);
            MaskedLook look = SplitMask(canvas, kTableColour);
            PlaceLook(strip, look, (button + (state - 1) * 3) * 61, 366);
        }
    }
    return strip;
}

QImage DrawDecisionButtons(const AssetEntry& entry) {
    QImage strip = NewPicture(270, 20, kMaskBlack, entry.scale);
    for (int state = 1; state <= 2; ++state) {
        const bool hover = state == 2;
        QImage canvas = NewCanvas(90, 20, entry.scale);
        QPainter painter(&canvas);
        Smooth(painter);
        // Light body: the program prints a dark caption from x = 29 with a white shadow.
        DrawButtonBody(painter, QRectF(0, 0, 90, 20), 9,
                       hover ? QColor(255, 236, 150) : QColor(246, 246, 240),
                       hover ? QColor(248, 190, 60) : QColor(200, 210, 222),
                       hover ? QColor(130, 70, 0) : QColor(50, 70, 100));
        painter.setPen(QPen(QColor(120, 80, 0), 0.8));
        painter.setBrush(hover ? QColor(230, 30, 40) : QColor(200, 40, 50));
        painter.drawEllipse(QPointF(15, 10), 6.5, 6.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 220, 80));
        painter.drawPath(StarPath(4.8, 2).translated(15, 10.3));
        painter.end();
        PlaceLook(strip, SplitMask(canvas, kTableColour), (state - 1) * 90, 180);
    }
    return strip;
}

}  // namespace krvo::assets
