#pragma once
// SystemAlerts that records each warning and notice instead of showing a box.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/system_alerts.h"

namespace krvo::testing {

class RecordingAlerts final : public SystemAlerts {
public:
    struct Warning {
        std::string caption;
        std::string text;
        QWidget* owner = nullptr;
    };

    void warning(std::string_view caption, std::string_view text, QWidget* owner) override {
        warnings.push_back({std::string(caption), std::string(text), owner});
        if (onWarning) onWarning();
    }
    void notify(std::string_view caption, std::string_view text, QWidget* owner) override {
        notices.push_back({std::string(caption), std::string(text), owner});
    }

    std::vector<Warning> warnings;
    std::vector<Warning> notices;  // shown without a loop: nothing runs inside them
    // Runs inside the warning, as the events of a modal box's loop would.
    std::function<void()> onWarning;
};

}  // namespace krvo::testing
