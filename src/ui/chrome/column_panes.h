#pragma once
// The right column's two panes of the main window's own making: the strip of
// buttons at its top (user settings, props market, help) and the bevelled pane
// that holds the advertisement view.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "chrome/frame_layout.h"
#include "services/resources.h"

namespace krvo {

// picUserButBk. A button acts on the release of the left button, when the
// pointer is in no zone of the window's frame. Reached by Tab, the pane shows
// one button lit; the arrows move to the next one and Enter or Space press it.
class UserButtonPane : public QWidget {
    Q_OBJECT
public:
    enum Button { kSettings = 0, kHelp = 1, kMarket = 2 };

    UserButtonPane(const std::string& appPath, QWidget* parent);

    std::function<bool()> frameZoneEmpty;
    int hoverButton() const { return hover_; }
    // The button the keyboard is on.
    int keyButton() const { return keyButton_; }
    const std::array<QPoint, kUserButtonCount>& places() const { return places_; }

signals:
    void clicked(int button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void hoverOver(int button);
    void setKeyButton(int button);

    PicturePair buttons_;  // settings and help, normal then hover
    PicturePair market_;   // the market button, normal then hover
    std::array<QPoint, kUserButtonCount> places_{};
    int hover_ = -1;
    int keyButton_ = kSettings;
};

// picAdvBack: three bevel lines around the view, which sits 4 pixels in from
// the sides and 3 from the top and bottom once the pane is at least 10 x 10.
class AdvertisementPane : public QWidget {
public:
    explicit AdvertisementPane(QWidget* parent);
    void setView(QWidget* view);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> view_;
};

}  // namespace krvo
