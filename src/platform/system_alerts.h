#pragma once
// The few warnings that use the system's own message box (input checks of the
// settings dialog, the reason box's length warning). Modal; an interface so
// that tests and displays nobody can see do not block on them.

#include <QMessageBox>
#include <memory>
#include <string_view>

class QWidget;

namespace krvo {

class SystemAlerts {
public:
    virtual ~SystemAlerts() = default;
    // A modal warning box (warning icon) with one button. owner is the window
    // that raised it, or null: the box belongs to it and stands over it.
    virtual void warning(std::string_view caption, std::string_view text, QWidget* owner) = 0;
};

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
