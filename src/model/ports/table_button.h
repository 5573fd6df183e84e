#pragma once
// A push button standing on the table surface (the start button): the
// handlers show it, caption it and hear its clicks; the widgets place it.

#include <functional>
#include <string>
#include <string_view>

namespace krvo {

class TableButton {
public:
    virtual ~TableButton() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void setCaption(std::string_view caption) = 0;
    // The caption as shown; "" once the button is gone with its window.
    virtual std::string caption() const = 0;
    // Replaces what a click does; an empty function ignores clicks.
    virtual void setOnClick(std::function<void()> onClick) = 0;
};

}  // namespace krvo
