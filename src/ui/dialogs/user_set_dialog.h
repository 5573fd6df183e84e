#pragma once
// The preferences dialog (frmUserSet): five check boxes over the user's
// settings. Confirming saves them to the file and tells the room when the
// onlookers' view of the user's cards changed. A change the file cannot take
// (a full or read-only disk) still holds for this run, and the person is told.

#include <QDialog>
#include <cstdint>
#include <filesystem>

#include "ports/room_actions.h"
#include "ports/system_alerts.h"
#include "state/user_settings.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace krvo {

class UserSetDialog final : public QDialog {
    Q_OBJECT
public:
    // settings must outlive the dialog; it is changed only on confirm.
    // alerts tells the person when the file could not be written.
    UserSetDialog(UserSettings& settings, std::filesystem::path path, RoomActions& room,
                  SystemAlerts& alerts, QWidget* parent = nullptr);

    QCheckBox* checkBox(int index) const;
    QPushButton* button(int index) const;
    QGroupBox* group(int index) const;
    // True once the dialog has closed; it is not shown again.
    bool unloaded() const { return unloaded_; }

signals:
    // Emitted once when the dialog closes by any way; the owner deletes it
    // (deleteLater) on it.
    void ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void showCurrentSettings();
    void restoreDefaults();
    void confirm();
    void unload();

    UserSettings& settings_;
    std::filesystem::path path_;
    RoomActions& room_;
    SystemAlerts& alerts_;
    std::uint8_t bteAllowWatchCardsAtOpening_ = 0;
    bool unloaded_ = false;

    QGroupBox* group_[2] = {nullptr, nullptr};
    QCheckBox* chkUser_[kUserSettingsCount] = {};
    QPushButton* cmdUser_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace krvo
