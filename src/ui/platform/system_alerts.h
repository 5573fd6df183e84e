#pragma once
// The Qt side of the system alerts, and the system-style boxes.

#include <QMessageBox>
#include <memory>
#include <string_view>

#include "ports/system_alerts.h"

class QWidget;

namespace krvo {

// QMessageBox on a real display; on the offscreen and minimal platforms,
// where nobody could close a box, the text goes to standard error instead.
class QtSystemAlerts final : public SystemAlerts {
public:
    void warning(std::string_view caption, std::string_view text, QWidget* owner) override;
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
