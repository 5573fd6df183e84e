#include "controls/adv_web_view.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QTextDocument>
#include <memory>
#include <utility>

#include "core/local_file.h"
#include "services/page_text.h"

namespace krvo {
namespace {

// A small compressed file can claim to unpack to gigabytes; pictures larger
// than this many pixels are refused before they are unpacked.
constexpr qint64 kMaxPicturePixels = 4096 * 4096;
constexpr int kMaxRedirects = 5;

bool isRemote(const QUrl& address) {
    return address.scheme() == QLatin1String("http") || address.scheme() == QLatin1String("https");
}

// Only a regular file within the page limit: a FIFO put in the page's place
// must not block the window.
std::optional<QByteArray> readLocalFile(const QUrl& address) {
    if (!address.isLocalFile()) return std::nullopt;
    const std::optional<std::string> text =
        ReadLocalFile(address.toLocalFile().toStdString(),
                      static_cast<std::size_t>(AdvertisementView::kMaxBodyBytes));
    if (!text) return std::nullopt;
    return QByteArray(text->data(), static_cast<qsizetype>(text->size()));
}

// What the document gets for a resource it may not have. It is not empty, so
// that the document does not go and read the file by itself.
QVariant refusedResource(int type) {
    if (type == QTextDocument::ImageResource) return QVariant::fromValue(QPixmap());
    return QVariant(QString());
}

QVariant decodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels) {
        return refusedResource(QTextDocument::ImageResource);
    }
    const QImage image = reader.read();
    if (image.isNull()) return refusedResource(QTextDocument::ImageResource);
    return QVariant::fromValue(QPixmap::fromImage(image));
}

QVariant resourceValue(int type, const QByteArray& body, const QString& contentType) {
    switch (type) {
        case QTextDocument::ImageResource:
            return decodePicture(body);
        case QTextDocument::HtmlResource:
        case QTextDocument::StyleSheetResource:
            return DecodePageText(body, contentType);
        default:
            return body;
    }
}

}  // namespace

QVariant LocalPageResource(int type, const QUrl& address) {
    const auto bytes = readLocalFile(address);
    return bytes ? resourceValue(type, *bytes, QString()) : refusedResource(type);
}

AdvertisementView::AdvertisementView(QWidget* parent)
    : QTextBrowser(parent), network_(new QNetworkAccessManager(this)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The pane shows one page; whatever it links to belongs in a real browser.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &AdvertisementView::openLink);
}

void AdvertisementView::setTransferTimeout(std::chrono::milliseconds timeout) {
    timeout_ = timeout;
}

void AdvertisementView::navigate(const QUrl& address) {
    cancelFetches();
    resources_.clear();
    page_ = address;
    remotePage_ = isRemote(address);
    if (address.isLocalFile()) {
        if (const auto bytes = readLocalFile(address)) {
            showPage({*bytes, QString(), address});
        } else {
            showNothing();
            emit pageFailed();
        }
        return;
    }
    // The old page goes at once: its links would otherwise resolve against the
    // new address.
    showNothing();
    if (!remotePage_) {
        emit pageFailed();
        return;
    }
    fetch(address, [this](std::optional<Fetched> page) {
        if (page) {
            showPage(*page);
        } else {
            emit pageFailed();
        }
    });
}

void AdvertisementView::doSetSource(const QUrl& name, QTextDocument::ResourceType) {
    navigate(name);
}

QVariant AdvertisementView::loadResource(int type, const QUrl& name) {
    // Pages come through navigate() only.
    if (type == QTextDocument::HtmlResource) return refusedResource(type);
    const QUrl address = page_.resolved(name);
    if (address.isLocalFile()) {
        // A site's page does not get to show this computer's files.
        if (remotePage_) return refusedResource(type);
        return LocalPageResource(type, address);
    }
    // data: addresses are unpacked by the document itself.
    if (!isRemote(address)) return QVariant();
    if (const auto known = resources_.constFind(address); known != resources_.constEnd()) {
        return *known;
    }
    if (!pending_.contains(address) && resources_.size() + pending_.size() < kMaxRemoteResources) {
        pending_.insert(address);
        fetch(address, [this, type, address](std::optional<Fetched> fetched) {
            resourceArrived(type, address, fetched);
        });
    }
    // Nothing yet; the document asks again once the resource is here.
    return QVariant();
}

void AdvertisementView::fetch(const QUrl& address, FetchDone done) {
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(timeout_.count()));
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply* reply = network_->get(request);
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    const auto refuse = [reply, tooLarge] {
        *tooLarge = true;
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, refuse] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxBodyBytes) refuse();
    });
    connect(reply, &QNetworkReply::readyRead, this, [reply, body, refuse] {
        body->append(reply->read(kMaxBodyBytes + 1 - body->size()));
        if (body->size() > kMaxBodyBytes) refuse();
    });
    connect(reply, &QNetworkReply::finished, this, [reply, body, tooLarge, done = std::move(done)] {
        reply->deleteLater();
        if (*tooLarge || reply->error() != QNetworkReply::NoError) {
            done(std::nullopt);
            return;
        }
        body->append(reply->read(kMaxBodyBytes + 1 - body->size()));
        if (body->size() > kMaxBodyBytes) {
            done(std::nullopt);
            return;
        }
        done(Fetched{std::move(*body), reply->header(QNetworkRequest::ContentTypeHeader).toString(),
                     reply->url()});
    });
}

void AdvertisementView::cancelFetches() {
    const auto replies = network_->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        // Disconnected first, so that the abort reports nothing to an old page.
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    pending_.clear();
}

void AdvertisementView::showPage(const Fetched& page) {
    page_ = page.address;
    pageHtml_ = DecodePageText(page.body, page.contentType);
    // Relative names in the page (pictures, style sheets) resolve against it.
    document()->setBaseUrl(page_);
    setHtml(pageHtml_);
    emit pageShown();
}

void AdvertisementView::showNothing() {
    pageHtml_.clear();
    clear();
}

void AdvertisementView::resourceArrived(int type, const QUrl& address,
                                        const std::optional<Fetched>& fetched) {
    pending_.remove(address);
    resources_.insert(address, fetched ? resourceValue(type, fetched->body, fetched->contentType)
                                       : refusedResource(type));
    if (type == QTextDocument::StyleSheetResource) {
        // Style sheets are read when the page is parsed: parse it again.
        setHtml(pageHtml_);
    } else {
        // Pictures are looked up when the page is laid out: lay it out again.
        document()->markContentsDirty(0, document()->characterCount());
    }
}

void AdvertisementView::openLink(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = page_.resolved(link);
    const QString scheme = target.scheme();
    if (target.isLocalFile()) {
        if (remotePage_) return;
        if (openLocalPage) {
            openLocalPage(target);
        } else {
            QDesktopServices::openUrl(target);
        }
        return;
    }
    if (isRemote(target) || scheme == QLatin1String("mailto")) QDesktopServices::openUrl(target);
}

}  // namespace krvo
