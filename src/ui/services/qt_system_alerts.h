#pragma once
// The Qt side of the system alerts, and the system-style boxes.

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ports/system_alerts.h"

class QWidget;

namespace krvo {

// QMessageBox on a real display; on the offscreen and minimal platforms,
// where nobody could close a box, the text goes to standard error instead.
//
// One box at a time. A warning raised while a box is up (a burst of props
// notices from the network, each handled inside the loop of the box before
// it) waits and is shown when that box closes, instead of opening a box and
// a loop inside the last one without end. Past kMostWaiting the text goes to
// standard error.
//
// Notices are the same boxes without a loop: shown and left to the person,
// with the table working on under them. They too come one at a time; the
// next waiting one shows when the one on screen is closed. Once the program
// has fallen behind the packets, though, a newer notice replaces the one on
// screen and those waiting: shown in turn, a backlog's notices would keep the
// person clicking long after the table has moved on. The newest shows once
// the program has caught up.
class QtSystemAlerts final : public SystemAlerts {
public:
    // Shows a box and returns once it is closed; by default the box's own loop.
    using RunBox = std::function<void(QMessageBox&)>;
    static constexpr std::size_t kMostWaiting = 16;

    QtSystemAlerts();
    explicit QtSystemAlerts(RunBox run);
    ~QtSystemAlerts() override;
    QtSystemAlerts(const QtSystemAlerts&) = delete;
    QtSystemAlerts& operator=(const QtSystemAlerts&) = delete;

    void warning(std::string_view caption, std::string_view text, QWidget* owner) override;
    void notify(std::string_view caption, std::string_view text, QWidget* owner) override;
    // Once this holds (the program is ending), boxes still waiting are dropped.
    void setEnding(std::function<bool()> ending) { ending_ = std::move(ending); }
    // The window a notice belongs to when its raiser names none (the handlers
    // cannot): the main window, so that the notice stands centred over it.
    void setNoticeOwner(std::function<QWidget*()> owner) { noticeOwner_ = std::move(owner); }
    // Whether the program has fallen behind the packets waiting for it.
    void setFallenBehind(std::function<bool()> behind) { fallenBehind_ = std::move(behind); }
    // How often a notice held back by a backlog looks whether it may show.
    static constexpr int kCatchUpCheckMs = 100;
    // The notice on screen, if any.
    QMessageBox* noticeShown() const { return notice_; }

private:
    struct Waiting {
        std::string caption;
        std::string text;
        QPointer<QWidget> owner;
    };
    void show(std::string_view caption, std::string_view text, QWidget* owner);
    void showNotice(const Waiting& notice);
    void noticeClosed();
    // Shows the next waiting notice, or behind a backlog keeps only the
    // newest until the program has caught up.
    void showNextNotice();
    bool programEnding() const { return ending_ && ending_(); }
    bool behind() const { return fallenBehind_ && fallenBehind_(); }

    RunBox run_;
    std::function<bool()> ending_;
    std::function<QWidget*()> noticeOwner_;
    std::function<bool()> fallenBehind_;
    std::deque<Waiting> waiting_;
    bool showing_ = false;
    std::deque<Waiting> notices_;
    QPointer<QMessageBox> notice_;
    QTimer catchUpCheck_;
};

// A system-style box with the one button "确定", owned by owner (centred over
// it when shown) and kept above the table's topmost windows.
std::unique_ptr<QMessageBox> MakeSystemBox(QMessageBox::Icon icon, std::string_view caption,
                                           std::string_view text, QWidget* owner);

// Loads Qt's own Chinese texts (the standard buttons, the edit boxes' context
// menus) when the system has them. Needs the application object; false when
// they are not installed, and the program goes on with Qt's English texts.
bool InstallQtChineseTexts();

}  // namespace krvo
