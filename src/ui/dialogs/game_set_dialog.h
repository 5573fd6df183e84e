#pragma once
// The table settings dialog (frmGameSet). The table owner fixes the stake and
// the runaway penalty within the server's limits; the other players see the
// owner's choice and agree or refuse. Refusing, or cancelling as owner, leaves
// the table. Without an answer the first button presses itself after 21 s.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "services/qt_system_alerts.h"
#include "ports/room_actions.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace krvo {

class GameSetDialog final : public QDialog {
    Q_OBJECT
public:
    GameSetDialog(Clock& clock, RoomActions& room, SystemAlerts& alerts, std::string strGameTitle,
                  QWidget* parent = nullptr);
    ~GameSetDialog() override;

    // False unless the settings text has exactly six fields; the caller then
    // discards the dialog and leaves the table. On true the countdown runs and
    // the caller shows the dialog.
    bool loadSettings(bool blnDeskMaster, std::string_view strAllGameSetInfo);

    bool blnDeskMaster() const { return blnDeskMaster_; }
    bool countdownRunning() const;
    // True once an answer has gone out and the dialog has closed itself.
    bool unloaded() const { return unloaded_; }

    QLineEdit* amountBox(int index) const;
    QPushButton* button(int index) const;
    QLabel* label(int index) const;
    QGroupBox* famGameSet() const { return famGameSet_; }

signals:
    // Emitted once, after the answer went out and the dialog hid itself; the
    // owner deletes the dialog (deleteLater) on it.
    void ended();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape and the window's close button would leave the server without an
    // answer; only the two buttons and the countdown end the dialog.
    void reject() override {}

private:
    void buildControls();
    void placeControls();
    void setBoxesEditable(bool editable);
    void countdownTick();
    void confirmSettings();
    void declineSettings();
    // The warning text for the owner's values; empty when they pass.
    std::string checkOwnerValues() const;
    std::string buildOwnerSettings() const;
    void unload();

    Clock& clock_;
    RoomActions& room_;
    SystemAlerts& alerts_;
    std::string strGameTitle_;
    std::unique_ptr<Timer> tmrDelay_;

    bool blnDeskMaster_ = false;
    bool unloaded_ = false;
    std::int32_t stakeMaximum_ = 0;
    std::int32_t stakeMinimum_ = 0;
    std::int32_t penaltyMaximum_ = 0;
    std::int32_t penaltyMinimum_ = 0;
    std::string strBaseCaption_;
    int delayCount_ = 0;

    QGroupBox* famGameSet_ = nullptr;
    QLineEdit* txtUser_[2] = {nullptr, nullptr};
    QLabel* label_[2] = {nullptr, nullptr};
    QPushButton* cmdUser_[2] = {nullptr, nullptr};
};

}  // namespace krvo
