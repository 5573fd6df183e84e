#pragma once
// The few warnings that use the system's own message box (input checks of the
// settings dialog, the reason box's length warning). Modal; an interface so
// that tests and displays nobody can see do not block on them.

#include <string_view>

namespace krvo {

class SystemAlerts {
public:
    virtual ~SystemAlerts() = default;
    // A modal warning box (warning icon) with one OK button.
    virtual void warning(std::string_view caption, std::string_view text) = 0;
};

// QMessageBox on a real display; on the offscreen and minimal platforms,
// where nobody could close a box, the text goes to standard error instead.
class QtSystemAlerts final : public SystemAlerts {
public:
    void warning(std::string_view caption, std::string_view text) override;
};

}  // namespace krvo
