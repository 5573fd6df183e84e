#pragma once
// The few messages that use the system's own message box: the input checks of
// the settings dialog and the reason box's length warning, which the person
// must close before going on, and the props demonstration, which only tells.
// An interface so that tests and displays nobody can see do not block on them.

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
    // The same box without a loop of its own: it returns at once, and the
    // table, its buttons and the chat go on working while the box is up.
    virtual void notify(std::string_view caption, std::string_view text, QWidget* owner) = 0;
};

}  // namespace krvo
