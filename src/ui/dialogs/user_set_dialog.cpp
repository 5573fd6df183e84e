#include "dialogs/user_set_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace krvo {
namespace {

constexpr const char* kBoxCaptions[kUserSettingsCount] = {
    "允许旁观者看我的牌", "启用音效", "显示用户进出消息", "强退时给出提示", "出牌不对时给出提示"};
constexpr const char* kButtonCaptions[3] = {"默认值(&D)", "确定(&Y)", "取消(&C)"};

}  // namespace

UserSetDialog::UserSetDialog(UserSettings& settings, std::filesystem::path path, RoomActions& room,
                             SystemAlerts& alerts, QWidget* parent)
    : QDialog(parent), settings_(settings), path_(std::move(path)), room_(room), alerts_(alerts) {
    setObjectName(QStringLiteral("frmUserSet"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(QString::fromUtf8("用户设置"));
    buildControls();
    showCurrentSettings();
}

void UserSetDialog::buildControls() {
    const char* groupCaptions[2] = {"基本设置", "提示设置"};
    QVBoxLayout* groupLayouts[2] = {};
    for (int g = 0; g < 2; ++g) {
        group_[g] = new QGroupBox(QString::fromUtf8(groupCaptions[g]), this);
        groupLayouts[g] = new QVBoxLayout(group_[g]);
    }
    for (int i = 0; i < kUserSettingsCount; ++i) {
        // Boxes 0-2 are the basic settings, 3 and 4 the prompts.
        QGroupBox* owner = group_[i < 3 ? 0 : 1];
        chkUser_[i] = new QCheckBox(QString::fromUtf8(kBoxCaptions[i]), owner);
        chkUser_[i]->setObjectName(QStringLiteral("chkUser%1").arg(i));
        groupLayouts[i < 3 ? 0 : 1]->addWidget(chkUser_[i]);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 3; ++i) {
        cmdUser_[i] = new QPushButton(QString::fromUtf8(kButtonCaptions[i]), this);
        cmdUser_[i]->setObjectName(QStringLiteral("cmdUser%1").arg(i));
        buttons->addWidget(cmdUser_[i]);
    }
    // Enter confirms what the boxes show. Were it to fall to the defaults
    // button, it would tick every box, the onlookers' view of the cards included.
    cmdUser_[1]->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group_[0]);
    layout->addWidget(group_[1]);
    layout->addLayout(buttons);

    connect(cmdUser_[0], &QPushButton::clicked, this, [this] { restoreDefaults(); });
    connect(cmdUser_[1], &QPushButton::clicked, this, [this] { confirm(); });
    connect(cmdUser_[2], &QPushButton::clicked, this, [this] { unload(); });
}

void UserSetDialog::showCurrentSettings() {
    bteAllowWatchCardsAtOpening_ = settings_.bteAllowWatchCards;
    for (int i = 0; i < kUserSettingsCount; ++i) {
        chkUser_[i]->setChecked(*UserSettingAt(settings_, i) != 0);
    }
}

QCheckBox* UserSetDialog::checkBox(int index) const {
    return index >= 0 && index < kUserSettingsCount ? chkUser_[index] : nullptr;
}

QPushButton* UserSetDialog::button(int index) const {
    return index >= 0 && index < 3 ? cmdUser_[index] : nullptr;
}

QGroupBox* UserSetDialog::group(int index) const {
    return index == 0 || index == 1 ? group_[index] : nullptr;
}

// Checks every box without touching the flags or the file: nothing changes
// unless the user confirms.
void UserSetDialog::restoreDefaults() {
    for (QCheckBox* box : chkUser_) box->setChecked(true);
}

void UserSetDialog::confirm() {
    if (unloaded_) return;
    for (int i = 0; i < kUserSettingsCount; ++i) {
        *UserSettingAt(settings_, i) = chkUser_[i]->isChecked() ? 1 : 0;
    }
    const bool saved = SaveUserSettings(path_, settings_);
    if (settings_.bteAllowWatchCards != bteAllowWatchCardsAtOpening_) {
        room_.sendWatchCardsPreference(settings_.bteAllowWatchCards);
    }
    unload();
    // The flags apply to this run either way; the person should know that the
    // next start will not have them. A notice, not a warning: nothing waits on it.
    if (!saved) {
        alerts_.notify("系统提示", "设置无法保存（磁盘已满或不可写），本次运行中仍然有效。",
                       parentWidget());
    }
}

void UserSetDialog::reject() {
    unload();
}

void UserSetDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!unloaded_) unload();
}

void UserSetDialog::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    hide();
    emit ended();
}

}  // namespace krvo
