#include "platform/system_alerts.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <iostream>

namespace krvo {

void QtSystemAlerts::warning(std::string_view caption, std::string_view text) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::cerr << caption << ": " << text << std::endl;
        return;
    }
    QMessageBox box(QMessageBox::Warning,
                    QString::fromUtf8(caption.data(), static_cast<int>(caption.size())),
                    QString::fromUtf8(text.data(), static_cast<int>(text.size())), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace krvo
