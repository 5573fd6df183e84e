#pragma once
// TableButton as a QPushButton on a parent widget (the table surface).

#include <QPointer>
#include <QPushButton>
#include <functional>
#include <string>
#include <string_view>

#include "ports/table_button.h"

class QWidget;

namespace krvo {

class QtTableButton final : public TableButton {
public:
    // The button is made a hidden child of parent and named objectName.
    QtTableButton(QWidget& parent, const QString& objectName);
    ~QtTableButton() override;
    QtTableButton(const QtTableButton&) = delete;
    QtTableButton& operator=(const QtTableButton&) = delete;

    void setVisible(bool visible) override;
    void setCaption(std::string_view caption) override;
    std::string caption() const override;
    void setOnClick(std::function<void()> onClick) override { onClick_ = std::move(onClick); }

    // The widget, or null once its parent took it down.
    QPushButton* widget() const { return button_.data(); }

private:
    QPointer<QPushButton> button_;
    std::function<void()> onClick_;
};

}  // namespace krvo
