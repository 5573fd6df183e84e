#include "controls/qt_table_button.h"

#include <QWidget>

namespace krvo {

QtTableButton::QtTableButton(QWidget& parent, const QString& objectName)
    : button_(new QPushButton(&parent)) {
    button_->setObjectName(objectName);
    button_->hide();
    QObject::connect(button_.data(), &QPushButton::clicked, button_.data(), [this] {
        // A copy: the click may end the flow that set it.
        if (std::function<void()> onClick = onClick_) onClick();
    });
}

QtTableButton::~QtTableButton() {
    // The surface may live on; a click must not reach an owner that is gone.
    delete button_.data();
}

void QtTableButton::setVisible(bool visible) {
    if (!button_) return;
    // A button reached by Tab that goes away hands the focus back to the
    // table it stands on, not on to whatever follows it in the window.
    QWidget* table = button_->parentWidget();
    if (!visible && button_->hasFocus() && table && table->focusPolicy() != Qt::NoFocus) {
        table->setFocus(Qt::OtherFocusReason);
    }
    button_->setVisible(visible);
}

void QtTableButton::setCaption(std::string_view caption) {
    if (button_)
        button_->setText(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

std::string QtTableButton::caption() const {
    return button_ ? button_->text().toStdString() : std::string();
}

}  // namespace krvo
