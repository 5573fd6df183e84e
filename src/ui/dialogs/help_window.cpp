#include "dialogs/help_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

#include "controls/adv_web_view.h"

namespace krvo {
namespace {

const QString kCaption = QStringLiteral("帮助");
constexpr QSize kStartSize(820, 640);

bool isWebAddress(const QUrl& address) {
    const QString scheme = address.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto");
}

QString missingPageText(const QUrl& address) {
    return QStringLiteral("<h2>帮助页面打不开</h2><p>找不到或读不了这个文件：</p><p>%1</p>")
        .arg(address.toLocalFile().toHtmlEscaped());
}

QPushButton* toolButton(const QString& caption, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Links are followed here, so that pages on disk never reach the desktop.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl base = document()->baseUrl().isEmpty() ? source() : document()->baseUrl();
    const QUrl address = base.resolved(name);
    // data: addresses are unpacked by the document itself.
    if (address.scheme() == QLatin1String("data")) return QVariant();
    // Nothing from the network: a web address gets the empty resource of a
    // file that cannot be read.
    if (!address.isLocalFile()) return LocalPageResource(type, QUrl());
    const QVariant value = LocalPageResource(type, address);
    if (type == QTextDocument::HtmlResource && value.toString().isEmpty()) {
        return missingPageText(address);
    }
    return value;
}

void HelpBrowser::followLink(const QUrl& link) {
    const QUrl target = source().resolved(link);
    if (target.isLocalFile()) {
        // Within the page too: the jump goes into the history, so back returns.
        setSource(target);
        return;
    }
    if (isWebAddress(target)) QDesktopServices::openUrl(target);
}

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window),
      browser_(new HelpBrowser(this)),
      back_(toolButton(QStringLiteral("后退"), QStringLiteral("回到上一页 (Alt+←)"), this)),
      forward_(toolButton(QStringLiteral("前进"), QStringLiteral("再到下一页 (Alt+→)"), this)),
      home_(toolButton(QStringLiteral("目录"), QStringLiteral("回到说明的开头"), this)),
      close_(toolButton(QStringLiteral("关闭"), QStringLiteral("关闭帮助 (Esc)"), this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(kCaption);
    back_->setEnabled(false);
    forward_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(home_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(buttons);
    column->addWidget(browser_, 1);

    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    setTabOrder(back_, forward_);
    setTabOrder(forward_, home_);
    setTabOrder(home_, close_);
    setTabOrder(close_, browser_);
    resize(kStartSize);
}

void HelpWindow::showPage(const QUrl& page) {
    const auto whole = QUrl::RemoveFragment;
    if (browser_->source().adjusted(whole) != page.adjusted(whole) || page.hasFragment()) {
        browser_->setSource(page);
    }
    if (!placed_) placeOverOwner();
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    browser_->setFocus();
}

void HelpWindow::pageChanged() {
    const QString title = browser_->documentTitle().trimmed();
    setWindowTitle(title.isEmpty() ? kCaption : kCaption + QStringLiteral(" - ") + title);
}

void HelpWindow::placeOverOwner() {
    placed_ = true;
    const QWidget* owner = parentWidget();
    if (owner == nullptr) return;
    const QRect area = owner->frameGeometry();
    const QSize size =
        this->size().boundedTo(area.size() - QSize(40, 40)).expandedTo(QSize(480, 360));
    resize(size);
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace krvo
