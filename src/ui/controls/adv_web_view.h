#pragma once
// The advertisement pane's web view (VexAdvWeb). A whole browser engine would
// cost more memory than the rest of the program, so this is a text browser that
// renders plain HTML and simple CSS: pages and pictures come over http(s)
// through one network manager, without ever blocking the window, or straight
// from disk for file addresses. A page that cannot be had leaves the pane
// empty; nothing is ever shown to the user about it. Links never open inside
// the pane: web addresses go to the desktop's browser, pages on disk (the
// shipped help) to the program's own window when one is given.
//
// The pane is laid out on the window's thread, between the room's packets, so
// a hostile page must not be able to hold it: a site's page is decoded and cut
// to what lays out quickly (services/safe_page.h) on a worker thread, where its
// pictures are unpacked too; every transfer has one deadline from its start
// that no trickle of bytes can put off; and the pictures of a page share one
// budget of pixels, checked against their headers before any is unpacked.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

#include "core/clock.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace krvo {

// A page's resource at a file address (its text, a picture or a style sheet),
// with the pane's limits: a regular file within kMaxBodyBytes, a picture
// within its pixel bound. What cannot be had comes back as an empty picture
// or text, so that the document does not go and read the file by itself.
QVariant LocalPageResource(int type, const QUrl& address);

struct PreparedPage;

class AdvertisementView : public QTextBrowser {
    Q_OBJECT
public:
    // A page or picture larger than this is refused, so a hostile site cannot
    // make the pane eat memory.
    static constexpr qint64 kMaxBodyBytes = 2 * 1024 * 1024;
    // Pictures from one page that are fetched at most.
    static constexpr int kMaxRemoteResources = 64;
    // Pixels of all the pictures of one page together, data: pictures
    // included: 64 MB unpacked.
    static constexpr qint64 kPagePixelBudget = 16 * 1024 * 1024;

    // clock times the transfers.
    explicit AdvertisementView(Clock& clock, QWidget* parent = nullptr);

    // Shows the page at address (http, https or file). Whatever was still
    // loading for an earlier address is dropped.
    void navigate(const QUrl& address);

    // How long a request may take from its start to its last byte, headers
    // and redirects included, before it is given up (15 s unless set).
    void setTransferDeadline(std::chrono::milliseconds deadline);

    // Pixels the pictures of the shown page may still unpack to.
    qint64 pixelsLeft() const { return pixelsLeft_; }

    // Where a link to a page on disk opens; unset, the desktop's opener.
    std::function<void(const QUrl&)> openLocalPage;

    QVariant loadResource(int type, const QUrl& name) override;

signals:
    // The page's text is in the pane (its pictures may still be on their way).
    void pageShown();
    // The page could not be loaded; the pane is empty.
    void pageFailed();

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    struct Fetched {
        QByteArray body;
        QString contentType;  // the Content-Type header, empty for files
        QUrl address;         // after redirects: the base for relative names
    };
    using FetchDone = std::function<void(std::optional<Fetched>)>;

    void fetch(const QUrl& address, FetchDone done);
    void cancelFetches();
    void prepareLater(Fetched page);
    void showPrepared(PreparedPage page);
    void showNothing();
    void resourceArrived(int type, const QUrl& address, const std::optional<Fetched>& fetched);
    void openLink(const QUrl& link);
    QVariant resourceValue(int type, const QByteArray& body, const QString& contentType);
    QVariant dataResource(int type, const QUrl& address);
    // Starts unpacking a picture within the page's budget; false when it is
    // refused.
    bool unpackLater(const QUrl& address, const QByteArray& bytes);
    void pictureUnpacked(const QUrl& address, QImage image);
    void refreshSoon(bool reparse);
    void refresh();

    Clock& clock_;
    QNetworkAccessManager* network_;
    std::chrono::milliseconds deadline_{15000};
    qint64 pixelsLeft_ = kPagePixelBudget;
    // Counts the pages navigated to: what was started for an earlier one
    // finds a newer count when it is done.
    quint64 generation_ = 0;
    QTimer refresh_;
    bool reparse_ = false;
    QUrl page_;         // the page shown or being loaded
    QString pageHtml_;  // kept to lay the page out again when a style sheet arrives
    bool remotePage_ = false;
    // What the page's pictures and sheets turned out to be: each is unpacked
    // and counted against the budget once.
    QHash<QUrl, QVariant> resources_;
    QSet<QUrl> pending_;
};

}  // namespace krvo
