#pragma once
// The help window: the rules page shipped beside the program, shown in a
// window of the program's own, so that help opens on a machine without a
// web browser too. Back and forward walk the pages visited, Escape closes.
// Pages and pictures come from disk only, with the advertisement pane's
// limits; web addresses linked from a page go to the desktop's browser.

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QPushButton;

namespace krvo {

// The page view: reads what the page needs from disk, and nothing else.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the window the help belongs to; the help stays above it and is
    // placed over its middle.
    explicit HelpWindow(QWidget* owner);

    // Shows page (a file address) unless it is already shown, and brings the
    // window to the front.
    void showPage(const QUrl& page);

    HelpBrowser& browser() { return *browser_; }
    QPushButton& backButton() { return *back_; }
    QPushButton& forwardButton() { return *forward_; }

private:
    void pageChanged();
    void placeOverOwner();

    HelpBrowser* browser_;
    QPushButton* back_;
    QPushButton* forward_;
    QPushButton* home_;
    QPushButton* close_;
    bool placed_ = false;
};

}  // namespace krvo
