#include "services/qt_system_alerts.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <iostream>

namespace krvo {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::unique_ptr<QMessageBox> MakeSystemBox(QMessageBox::Icon icon, std::string_view caption,
                                           std::string_view text, QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(icon, fromUtf8(caption), fromUtf8(text),
                                             QMessageBox::Ok, owner);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    // Captioned here, not only through the translations: a system without Qt's
    // Chinese texts must not show an English button in a Chinese program.
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->setText(QString::fromUtf8("确定"));
    return box;
}

QtSystemAlerts::QtSystemAlerts() : QtSystemAlerts(RunBox{}) {}

QtSystemAlerts::QtSystemAlerts(RunBox run) : run_(std::move(run)) {
    catchUpCheck_.setSingleShot(true);
    catchUpCheck_.setInterval(kCatchUpCheckMs);
    QObject::connect(&catchUpCheck_, &QTimer::timeout, &catchUpCheck_, [this] {
        if (programEnding()) {
            notices_.clear();
            return;
        }
        showNextNotice();
    });
}

void QtSystemAlerts::warning(std::string_view caption, std::string_view text, QWidget* owner) {
    const QString platform = QGuiApplication::platformName();
    const bool nobodySees =
        platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    if (!run_ && nobodySees) {
        std::cerr << caption << ": " << text << std::endl;
        return;
    }
    if (showing_) {
        if (waiting_.size() < kMostWaiting) {
            waiting_.push_back({std::string(caption), std::string(text), owner});
        } else {
            std::cerr << caption << ": " << text << std::endl;
        }
        return;
    }
    showing_ = true;
    show(caption, text, owner);
    while (!waiting_.empty() && !(ending_ && ending_())) {
        const Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        show(next.caption, next.text, next.owner);
    }
    waiting_.clear();
    showing_ = false;
}

void QtSystemAlerts::show(std::string_view caption, std::string_view text, QWidget* owner) {
    std::unique_ptr<QMessageBox> box = MakeSystemBox(QMessageBox::Warning, caption, text, owner);
    // The box runs its own loop, in which the owner may be discarded and take
    // its child box along.
    const QPointer<QMessageBox> alive(box.get());
    if (run_) {
        run_(*box);
    } else {
        box->exec();
    }
    if (!alive) (void)box.release();
}

QtSystemAlerts::~QtSystemAlerts() {
    // A notice nobody closed, on its own (no owner) or over a window that
    // outlives us, goes with us: its close would call back into us.
    if (notice_) {
        notice_->disconnect();
        delete notice_.data();
    }
}

void QtSystemAlerts::notify(std::string_view caption, std::string_view text, QWidget* owner) {
    if (programEnding()) return;
    if (!owner && noticeOwner_) owner = noticeOwner_();
    Waiting notice{std::string(caption), std::string(text), owner};
    if (behind()) {
        notices_.clear();
        notices_.push_back(std::move(notice));
        if (QMessageBox* const shown = notice_) {
            // Closed without telling noticeClosed: what shows next is decided here.
            notice_ = nullptr;
            shown->disconnect();
            shown->hide();
            shown->deleteLater();
        }
        return showNextNotice();
    }
    if (!notice_ && notices_.empty()) return showNotice(notice);
    if (notices_.size() < kMostWaiting) {
        notices_.push_back(std::move(notice));
    } else {
        std::cerr << caption << ": " << text << std::endl;
    }
}

void QtSystemAlerts::showNotice(const Waiting& notice) {
    QMessageBox* box =
        MakeSystemBox(QMessageBox::Warning, notice.caption, notice.text, notice.owner).release();
    // Owned by its window when it has one, else by the close below (and by
    // our destructor when nobody closes it).
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // It tells and waits: typing in the chat goes on into the chat.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    QObject::connect(box, &QDialog::finished, box, [this] { noticeClosed(); });
    notice_ = box;
    box->show();
}

void QtSystemAlerts::noticeClosed() {
    notice_ = nullptr;
    if (programEnding()) {
        notices_.clear();
        return;
    }
    showNextNotice();
}

void QtSystemAlerts::showNextNotice() {
    if (notice_ || notices_.empty()) return;
    if (behind()) {
        notices_.erase(notices_.begin(), notices_.end() - 1);
        if (!catchUpCheck_.isActive()) catchUpCheck_.start();
        return;
    }
    const Waiting next = std::move(notices_.front());
    notices_.pop_front();
    showNotice(next);
}

bool InstallQtChineseTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace krvo
