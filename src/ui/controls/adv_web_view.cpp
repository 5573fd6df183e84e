#include "controls/adv_web_view.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTextDocument>
#include <QThreadPool>
#include <memory>
#include <utility>
#include <vector>

#include "core/local_file.h"
#include "services/page_text.h"
#include "services/safe_page.h"

namespace krvo {
namespace {

// A small compressed file can claim to unpack to gigabytes; pictures larger
// than this many pixels are refused before they are unpacked.
constexpr qint64 kMaxPicturePixels = 4096 * 4096;
constexpr int kMaxRedirects = 5;
// Far beyond what any web server sends.
constexpr qsizetype kMaxHeaders = 100;
constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

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

// The size a picture's header names, when it is within pixelsLeft, which it
// then takes from; nothing otherwise. A picture that does not tell its size
// before it is unpacked is not unpacked at all.
std::optional<QSize> claimPixels(const QByteArray& bytes, qint64& pixelsLeft) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : -1;
    if (pixels < 0 || pixels > std::min(pixelsLeft, kMaxPicturePixels)) return std::nullopt;
    pixelsLeft -= pixels;
    return size;
}

// The picture, or a null one when it does not come out at the size claimed.
QImage unpackPicture(const QByteArray& bytes, QSize size) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    return image.size() == size ? image : QImage();
}

QVariant pictureResource(QImage image) {
    if (image.isNull()) return refusedResource(QTextDocument::ImageResource);
    return QVariant::fromValue(QPixmap::fromImage(std::move(image)));
}

QVariant decodePicture(const QByteArray& bytes, qint64& pixelsLeft) {
    const std::optional<QSize> size = claimPixels(bytes, pixelsLeft);
    return pictureResource(size ? unpackPicture(bytes, *size) : QImage());
}

QVariant resourceValueWithin(int type, const QByteArray& body, const QString& contentType,
                             qint64& pixelsLeft) {
    switch (type) {
        case QTextDocument::ImageResource:
            return decodePicture(body, pixelsLeft);
        case QTextDocument::HtmlResource:
            return DecodePageText(body, contentType);
        case QTextDocument::StyleSheetResource:
            return SafeStyleSheet(DecodePageText(body, contentType));
        default:
            return body;
    }
}

// The bytes and media type of a data: address ("data:image/png;base64,...").
std::optional<std::pair<QByteArray, QString>> unpackDataAddress(QByteArrayView address) {
    const QByteArrayView text = address.sliced(std::min(address.indexOf(':') + 1, address.size()));
    const qsizetype comma = text.indexOf(',');
    if (comma < 0) return std::nullopt;
    const QByteArray header =
        QByteArray::fromPercentEncoding(text.first(comma).toByteArray()).trimmed();
    QByteArray body = QByteArray::fromPercentEncoding(text.sliced(comma + 1).toByteArray());
    if (header.toLower().endsWith(";base64")) {
        auto decoded = QByteArray::fromBase64Encoding(body);
        if (!decoded) return std::nullopt;
        body = std::move(decoded.decoded);
    }
    const qsizetype semicolon = header.indexOf(';');
    return std::pair{std::move(body),
                     QString::fromLatin1(header.left(semicolon < 0 ? header.size() : semicolon))};
}

// Headers are read whole before they can be seen (the deadline bounds that);
// a reply whose headers are past any server's is not taken. Qt's reader drops
// every header of a reply that has too many, so one without any is not taken
// either: every web server names at least what it sends.
bool headersRefused(const QNetworkReply& reply) {
    const auto& headers = reply.rawHeaderPairs();
    qsizetype bytes = 0;
    for (const auto& [name, value] : headers) bytes += name.size() + value.size();
    return headers.isEmpty() || headers.size() > kMaxHeaders || bytes > kMaxHeaderBytes;
}

}  // namespace

// A page ready for the document: its text cut to what lays out quickly, and
// its data: pictures unpacked within the page's budget.
struct PreparedPage {
    QUrl address;
    QString html;
    std::vector<std::pair<QUrl, QImage>> pictures;
    qint64 pixelsLeft = AdvertisementView::kPagePixelBudget;
};

static PreparedPage preparePage(const QByteArray& body, const QString& contentType,
                                const QUrl& address) {
    PreparedPage page{address, {}, {}};
    QStringList pictures;
    page.html = SafePageHtml(DecodePageText(body, contentType), {}, &pictures);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const auto data = unpackDataAddress(pictures[i].toUtf8());
        const std::optional<QSize> size =
            data ? claimPixels(data->first, page.pixelsLeft) : std::nullopt;
        page.pictures.emplace_back(QUrl(QStringLiteral("inline:%1").arg(i)),
                                   size ? unpackPicture(data->first, *size) : QImage());
    }
    return page;
}

QVariant LocalPageResource(int type, const QUrl& address) {
    const auto bytes = readLocalFile(address);
    qint64 pixelsLeft = kMaxPicturePixels;
    return bytes ? resourceValueWithin(type, *bytes, QString(), pixelsLeft) : refusedResource(type);
}

AdvertisementView::AdvertisementView(Clock& clock, QWidget* parent)
    : QTextBrowser(parent), clock_(clock), network_(new QNetworkAccessManager(this)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The pane shows one page; whatever it links to belongs in a real browser.
    setOpenLinks(false);
    setAccessibleName(QStringLiteral("公告栏"));
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &AdvertisementView::refresh);
    connect(this, &QTextBrowser::anchorClicked, this, &AdvertisementView::openLink);
}

void AdvertisementView::setTransferDeadline(std::chrono::milliseconds deadline) {
    deadline_ = deadline;
}

QVariant AdvertisementView::resourceValue(int type, const QByteArray& body,
                                          const QString& contentType) {
    return resourceValueWithin(type, body, contentType, pixelsLeft_);
}

// A data: picture is unpacked, as the others are, off the window's thread:
// till then the document has an empty picture, and the unpacked one is added
// to the document over it.
QVariant AdvertisementView::dataResource(int type, const QUrl& address) {
    if (const auto known = resources_.constFind(address); known != resources_.constEnd()) {
        return *known;
    }
    if (pending_.contains(address)) return refusedResource(type);
    const auto data = unpackDataAddress(address.toEncoded());
    if (type == QTextDocument::ImageResource && data && unpackLater(address, data->first)) {
        pending_.insert(address);
        return refusedResource(type);
    }
    const QVariant value =
        data ? resourceValue(type, data->first, data->second) : refusedResource(type);
    resources_.insert(address, value);
    return value;
}

bool AdvertisementView::unpackLater(const QUrl& address, const QByteArray& bytes) {
    const std::optional<QSize> size = claimPixels(bytes, pixelsLeft_);
    if (!size) return false;
    // Unpacking a large picture takes longer than the room may wait. The
    // result finds the pane through the application object, which outlives
    // both the pane and the pool's threads.
    const QPointer<AdvertisementView> view(this);
    const quint64 generation = generation_;
    QThreadPool::globalInstance()->start([view, generation, address, bytes, size = *size] {
        QImage image = unpackPicture(bytes, size);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [view, generation, address, image = std::move(image)]() mutable {
                if (view && view->generation_ == generation) {
                    view->pictureUnpacked(address, std::move(image));
                }
            },
            Qt::QueuedConnection);
    });
    return true;
}

void AdvertisementView::pictureUnpacked(const QUrl& address, QImage image) {
    pending_.remove(address);
    const QVariant value = pictureResource(std::move(image));
    resources_.insert(address, value);
    // Over what the document keeps of the picture asked for before.
    document()->addResource(QTextDocument::ImageResource, address, value);
    refreshSoon(false);
}

// Pictures and sheets that arrive together are laid out together: one layout
// each would hold the window as long as all of them.
void AdvertisementView::refreshSoon(bool reparse) {
    reparse_ = reparse_ || reparse;
    refresh_.start();
}

void AdvertisementView::refresh() {
    if (std::exchange(reparse_, false)) {
        // Style sheets are read when the page is parsed: parse it again.
        setHtml(pageHtml_);
    } else {
        // Pictures are looked up when the page is laid out: lay it out again.
        document()->markContentsDirty(0, document()->characterCount());
    }
}

void AdvertisementView::navigate(const QUrl& address) {
    cancelFetches();
    refresh_.stop();
    reparse_ = false;
    resources_.clear();
    pixelsLeft_ = kPagePixelBudget;
    // Whatever is still being unpacked or read for an earlier page is dropped.
    ++generation_;
    page_ = address;
    remotePage_ = isRemote(address);
    if (address.isLocalFile()) {
        // The program's own pages: small enough to be read at once.
        if (const auto bytes = readLocalFile(address)) {
            showPrepared(preparePage(*bytes, QString(), address));
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
            prepareLater(std::move(*page));
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
    // The page's own data: pictures, unpacked with the page.
    if (address.scheme() == QLatin1String("inline")) {
        return resources_.value(address, refusedResource(type));
    }
    if (address.scheme() == QLatin1String("data")) return dataResource(type, address);
    if (address.isLocalFile()) {
        // A site's page does not get to show this computer's files.
        if (remotePage_) return refusedResource(type);
        if (const auto known = resources_.constFind(address); known != resources_.constEnd()) {
            return *known;
        }
        const auto bytes = readLocalFile(address);
        const QVariant value =
            bytes ? resourceValue(type, *bytes, QString()) : refusedResource(type);
        resources_.insert(address, value);
        return value;
    }
    if (!isRemote(address)) return refusedResource(type);
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
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply* reply = network_->get(request);
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    const auto refuse = [reply, tooLarge] {
        *tooLarge = true;
        reply->abort();
    };
    // The whole transfer has one deadline from its start: a server that
    // trickles a byte now and then, in the headers or the body, cannot put
    // it off. The timer lives as long as the reply's connections.
    std::shared_ptr<Timer> deadline = clock_.createTimer(refuse);
    deadline->start(deadline_.count(), true);
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, refuse] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxBodyBytes) refuse();
        if (headersRefused(*reply)) refuse();
    });
    connect(reply, &QNetworkReply::readyRead, this, [reply, body, refuse] {
        body->append(reply->read(kMaxBodyBytes + 1 - body->size()));
        if (body->size() > kMaxBodyBytes) refuse();
    });
    connect(
        reply, &QNetworkReply::finished, this,
        [reply, body, tooLarge, deadline, done = std::move(done)] {
            deadline->stop();
            reply->deleteLater();
            if (*tooLarge || reply->error() != QNetworkReply::NoError || headersRefused(*reply)) {
                done(std::nullopt);
                return;
            }
            body->append(reply->read(kMaxBodyBytes + 1 - body->size()));
            if (body->size() > kMaxBodyBytes) {
                done(std::nullopt);
                return;
            }
            done(Fetched{std::move(*body),
                         reply->header(QNetworkRequest::ContentTypeHeader).toString(),
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

// A site's page is read, cut and its data: pictures unpacked off the window's
// thread: two megabytes of it take a while.
void AdvertisementView::prepareLater(Fetched page) {
    const QPointer<AdvertisementView> view(this);
    const quint64 generation = generation_;
    QThreadPool::globalInstance()->start([view, generation, page = std::move(page)] {
        auto prepared =
            std::make_shared<PreparedPage>(preparePage(page.body, page.contentType, page.address));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [view, generation, prepared] {
                if (view && view->generation_ == generation)
                    view->showPrepared(std::move(*prepared));
            },
            Qt::QueuedConnection);
    });
}

void AdvertisementView::showPrepared(PreparedPage page) {
    for (auto& [name, image] : page.pictures) {
        resources_.insert(name, pictureResource(std::move(image)));
    }
    pixelsLeft_ = page.pixelsLeft;
    page_ = page.address;
    pageHtml_ = std::move(page.html);
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
    if (type == QTextDocument::ImageResource && fetched) {
        if (!unpackLater(address, fetched->body)) pictureUnpacked(address, QImage());
        return;
    }
    pending_.remove(address);
    resources_.insert(address, fetched ? resourceValue(type, fetched->body, fetched->contentType)
                                       : refusedResource(type));
    refreshSoon(type == QTextDocument::StyleSheetResource);
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
