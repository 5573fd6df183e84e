#pragma once
// The few warnings that use the system's own message box (input checks of the
// settings dialog, the reason box's length warning, the props demonstration).
// Modal; an interface so that tests and displays nobody can see do not block
// on them.

#include <string_view>

class QWidget;

namespace krvo {

class SystemAlerts {
public:
    virtual ~SystemAlerts() = default;
    // A modal warning box (warning icon) with one button. owner is the window
    // that raised it, or null: the box belongs to it and stands over it. Only
    // the widgets name their window; the handlers pass null.
    virtual void warning(std::string_view caption, std::string_view text, QWidget* owner) = 0;
};

}  // namespace krvo
