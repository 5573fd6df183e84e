#include "controls/adv_web_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

#include "chrome/game_main_window.h"
#include "core/clock.h"
#include "dialogs/help_window.h"
#include "services/safe_page.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

constexpr int kWaitMs = 10000;
// Taller than anything the text of the test pages needs, so the document's
// height tells whether a picture was used.
constexpr int kPictureHeight = 300;

QByteArray pngOfSize(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray pngOfHeight(int height) {
    return pngOfSize(20, height);
}

// "红A牌桌" in GBK.
const QByteArray kGbkTitle(
    "\xBA\xEC"
    "A\xC5\xC6\xD7\xC0");

void answer(QTcpSocket* socket, const QByteArray& contentType, const QByteArray& body) {
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + contentType + "\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

// A web server for one test: every request waits until the test answers it,
// unless serve answers it at once.
class TinyHttpServer {
public:
    using Serve = std::function<void(const QByteArray& path, QTcpSocket*)>;

    explicit TinyHttpServer(Serve serve = {}) : serve_(std::move(serve)) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                    QByteArray& request = partial_[socket];
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n")) return;
                    const QByteArray path = request.split(' ').value(1);
                    request.clear();
                    if (serve_) {
                        serve_(path, socket);
                    } else {
                        held_[path] = socket;
                    }
                });
            }
        });
    }

    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    // The connection that asked for path, or null when no such request comes.
    QTcpSocket* request(const QByteArray& path) {
        (void)QTest::qWaitFor([&] { return held_.contains(path); }, kWaitMs);
        return held_.value(path);
    }

private:
    Serve serve_;
    QTcpServer server_;  // owns the connections
    QHash<QTcpSocket*, QByteArray> partial_;
    QHash<QByteArray, QTcpSocket*> held_;
};

// Stands in for the desktop's browser.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

class AdvertisementViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(directory_.isValid());
        view_.resize(400, 300);
        view_.show();
    }

    QUrl writeFile(const QString& name, const QByteArray& bytes) {
        QDir(directory_.path()).mkpath(QFileInfo(name).path());
        QFile file(directory_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return QUrl::fromLocalFile(file.fileName());
    }

    QString text() const { return view_.toPlainText().trimmed(); }
    qreal documentHeight() const { return view_.document()->size().height(); }

    static bool anErrorBoxIsOpen() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && qobject_cast<QDialog*>(widget)) return true;
        }
        return false;
    }

    QTemporaryDir directory_;
    ManualClock clock_;
    AdvertisementView view_{clock_};
    QSignalSpy shown_{&view_, &AdvertisementView::pageShown};
    QSignalSpy failed_{&view_, &AdvertisementView::pageFailed};
};

TEST_F(AdvertisementViewTest, ShowsALocalPageWithItsPicturesAndDeclaredCharset) {
    writeFile("pictures/tall.png", pngOfHeight(kPictureHeight));
    // These bytes are valid UTF-8 ("你好") and valid GBK ("浣犲ソ"): only the
    // page's own declaration can decide.
    const QUrl page =
        writeFile("ga.htm",
                  "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=gb2312\"></head><body><p>\xE4\xBD\xA0\xE5\xA5\xBD</p>"
                  "<p><img src=\"pictures/tall.png\"></p></body></html>");

    view_.navigate(page);

    ASSERT_TRUE(QTest::qWaitFor([&] { return shown_.size() == 1; }, kWaitMs));
    EXPECT_EQ(view_.document()->firstBlock().text(), QString::fromUtf8("浣犲ソ"));
    EXPECT_GE(documentHeight(), kPictureHeight);
    EXPECT_EQ(failed_.size(), 0);
}

TEST_F(AdvertisementViewTest, PagesThatCannotBeLoadedLeaveThePaneEmptyWithoutAnyBox) {
    const QUrl good = writeFile("good.htm", "<p>good</p>");
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    TinyHttpServer silent;  // never answers
    view_.setTransferDeadline(std::chrono::milliseconds(200));
    const QUrl unreachable[] = {
        QUrl::fromLocalFile(directory_.filePath("missing.htm")),
        QUrl::fromLocalFile(QStringLiteral("/proc/self/environ")),
        QUrl(QStringLiteral("http://127.0.0.1:%1/ga.htm").arg(closedPort)),
        silent.url("/slow.htm"),
    };

    for (const QUrl& address : unreachable) {
        SCOPED_TRACE(address.toString().toStdString());
        view_.navigate(good);
        ASSERT_EQ(text(), "good");
        const auto failuresBefore = failed_.size();

        view_.navigate(address);

        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                clock_.advance(50);
                return failed_.size() == failuresBefore + 1;
            },
            kWaitMs));
        EXPECT_EQ(text(), "");
        EXPECT_FALSE(anErrorBoxIsOpen());
    }
}

TEST_F(AdvertisementViewTest, ALateReplyForAnEarlierAddressDoesNotReplaceTheNewerPage) {
    TinyHttpServer server;
    view_.navigate(server.url("/old.htm"));
    QTcpSocket* old = server.request("/old.htm");
    ASSERT_NE(old, nullptr);

    view_.navigate(writeFile("new.htm", "<p>new</p>"));
    ASSERT_EQ(text(), "new");
    answer(old, "text/html", "<p>old</p>");

    // Whatever the old reply could do, it does within this time on the loopback.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < deadline) {
        QTest::qWait(10);
        ASSERT_EQ(text(), "new");
    }
    EXPECT_EQ(shown_.size(), 1);
    EXPECT_EQ(failed_.size(), 0);
}

TEST_F(AdvertisementViewTest, ReadsAnHttpPageInTheCharsetOfItsHeader) {
    TinyHttpServer server;
    view_.navigate(server.url("/KRVO/ga.htm"));
    QTcpSocket* page = server.request("/KRVO/ga.htm");
    ASSERT_NE(page, nullptr);

    // The header wins over a page that claims otherwise, as in browsers.
    answer(
        page, "text/html; charset=GBK",
        "<html><head><meta charset=\"utf-8\"></head><body><p>" + kGbkTitle + "</p></body></html>");

    ASSERT_TRUE(QTest::qWaitFor([&] { return shown_.size() == 1; }, kWaitMs));
    EXPECT_EQ(text(), QString::fromUtf8("红A牌桌"));
}

TEST_F(AdvertisementViewTest, PicturesOfAnHttpPageAppearWhenTheyArrive) {
    TinyHttpServer server;
    view_.navigate(server.url("/KRVO/ga.htm"));
    QTcpSocket* page = server.request("/KRVO/ga.htm");
    ASSERT_NE(page, nullptr);
    answer(page, "text/html", "<p>ad</p><img src=\"images/tall.png\">");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown_.size() == 1; }, kWaitMs));
    QTcpSocket* picture = server.request("/KRVO/images/tall.png");
    ASSERT_NE(picture, nullptr);
    EXPECT_LT(documentHeight(), kPictureHeight);

    answer(picture, "image/png", pngOfHeight(kPictureHeight));

    EXPECT_TRUE(QTest::qWaitFor([&] { return documentHeight() >= kPictureHeight; }, kWaitMs));
}

TEST_F(AdvertisementViewTest, GivesUpAPageLargerThanTheLimitWhileItArrives) {
    TinyHttpServer server;
    view_.navigate(server.url("/endless.htm"));
    QTcpSocket* page = server.request("/endless.htm");
    ASSERT_NE(page, nullptr);

    // No length in the header and no end: only counting what arrives stops it.
    page->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
    const QByteArray chunk = QByteArray("<p>filler text</p>\n").repeated(4096);
    QObject::connect(page, &QTcpSocket::bytesWritten, page, [page, chunk] {
        if (page->bytesToWrite() < chunk.size()) page->write(chunk);
    });
    page->write(chunk);

    ASSERT_TRUE(QTest::qWaitFor([&] { return failed_.size() == 1; }, kWaitMs));
    EXPECT_EQ(text(), "");
    EXPECT_EQ(shown_.size(), 0);
}

TEST_F(AdvertisementViewTest, LinksOpenInTheDesktopBrowserAndThePaneStays) {
    LinkRecorder browser;
    QDesktopServices::setUrlHandler("file", &browser, "open");
    const QUrl page = writeFile("ga.htm", "<p><a href=\"more/rules.htm\">rules</a></p>");
    view_.navigate(page);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));

    QTextCursor cursor(view_.document());
    cursor.setPosition(view_.document()->find("rules").selectionStart() + 2);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.cursorRect(cursor).center());
    QDesktopServices::unsetUrlHandler("file");

    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(directory_.filePath("more/rules.htm")));
    EXPECT_EQ(text(), "rules");
    EXPECT_EQ(shown_.size(), 1);
}

void clickText(QTextBrowser& view, const QString& text) {
    QTextCursor cursor(view.document());
    cursor.setPosition(view.document()->find(text).selectionStart() + 1);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cursorRect(cursor).center());
}

// The pane's link to the rules, and the help action, open pages on disk in the
// main window's own help window, one at a time; web addresses in the browser.
TEST_F(AdvertisementViewTest, PagesOnDiskOpenInTheProgramsHelpWindowAndWebAddressesInTheBrowser) {
    LinkRecorder browser;
    for (const char* scheme : {"file", "http", "https", "javascript", "smb"})
        QDesktopServices::setUrlHandler(scheme, &browser, "open");
    ManualClock clock;
    GameMainWindow window(clock, KRVO_TEST_APP_DIR "/");
    view_.openLocalPage = [&](const QUrl& page) { window.showHelpPage(page); };
    writeFile("help/tall.png", pngOfHeight(kPictureHeight));
    writeFile("help/rules.htm",
              "<title>Rules</title><p><a href=\"more.htm\">onward</a> "
              "<a href=\"http://example.org/x\">site</a> <a href=\"gone.htm\">gone</a></p>"
              "<img src=\"tall.png\">");
    writeFile("help/more.htm", "<p>more rules</p>");
    view_.navigate(writeFile("adv/ga.htm", "<p><a href=\"../help/rules.htm\">rules</a></p>"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    clickText(view_, "rules");
    window.showHelpPage(QUrl::fromLocalFile(directory_.filePath("help/rules.htm")));

    ASSERT_EQ(window.findChildren<HelpWindow*>().size(), 1);
    HelpWindow& help = *window.helpWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("帮助 - Rules"));
    EXPECT_GT(help.browser().document()->size().height(), kPictureHeight);
    clickText(help.browser(), "onward");
    EXPECT_EQ(help.browser().toPlainText(), "more rules");
    help.backButton().click();
    clickText(help.browser(), "site");
    EXPECT_TRUE(help.browser().toPlainText().contains("onward"));
    clickText(help.browser(), "gone");
    EXPECT_TRUE(help.browser().toPlainText().contains(QStringLiteral("帮助页面打不开")));
    window.showHelpPage(QUrl("https://example.org/help.htm"));
    window.showHelpPage(QUrl("javascript:alert(1)"));
    window.showHelpPage(QUrl("smb://host/share/help.htm"));
    QTest::keyClick(&help.browser(), Qt::Key_Escape);
    for (const char* scheme : {"file", "http", "https", "javascript", "smb"})
        QDesktopServices::unsetUrlHandler(scheme);

    EXPECT_FALSE(help.isVisible());
    const std::vector<QUrl> opened{QUrl("http://example.org/x"),
                                   QUrl("https://example.org/help.htm")};
    EXPECT_EQ(browser.opened, opened);
}

int frameDepth(QTextFrame* frame) {
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames()) deepest = std::max(deepest, frameDepth(child));
    return deepest + 1;
}

// However the end tags are mismatched or the tags hidden, the document never
// nests more tables than the bound.
TEST(SafePageTest, TablesNestNoDeeperThanTheBoundInTheDocument) {
    const PageBounds bounds;
    for (const char* level :
         {"<table><tr><td>", "<table><tr><td></ul>", "<table><td></tr>",
          "<ul><li><table><tr><td></ol>", "<p a\"b><table><td>", "<TABLE><TR><TD>"}) {
        SCOPED_TRACE(level);
        QTextDocument document;
        document.setHtml(SafePageHtml(QString::fromLatin1(level).repeated(200) + "x"));
        // The root frame is one level.
        EXPECT_LE(frameDepth(document.rootFrame()), bounds.tableDepth + 1);
        EXPECT_TRUE(document.toPlainText().contains('x'));
    }
}

// Processor time of the calling thread.
qint64 windowThreadMs() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

// Writes more each time the connection has taken what was written, for ever.
void keepWriting(QTcpSocket* socket, QByteArray head, QByteArray chunk) {
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket, chunk] {
        if (socket->bytesToWrite() < chunk.size()) socket->write(chunk);
    });
    socket->write(head + chunk);
}

// One byte every 100 ms, for ever.
void drip(QTcpSocket* socket) {
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n<p>");
    auto* timer = new QTimer(socket);
    QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
    timer->start(100);
}

QByteArray imagesPage(const QByteArray& source, int count) {
    QByteArray page = "<p>ad</p>";
    for (int i = 0; i < count; ++i) {
        page += "<img src=\"" + QByteArray(source).replace("%1", QByteArray::number(i)) + "\">";
    }
    return page;
}

// Pages a hostile server could send, each served in full up to the size limit
// (or for ever), while the room's packets must still be answered: the event
// loop never stalls for more than 100 ms, and the pictures of a page together
// never unpack to more than its budget, here one 4096 x 4096 picture.
TEST_F(AdvertisementViewTest, HostilePagesNeitherHoldTheWindowNorFillTheMemory) {
    constexpr int kSide = 4096;
    const QByteArray bigPicture = pngOfSize(kSide, kSide);
    const QByteArray dataPicture = "data:image/png;base64," + bigPicture.toBase64();
    struct Case {
        const char* name;
        std::function<void(QTcpSocket*)> serve;  // answers the page
        bool shown;                              // else given up
        const char* text;                        // what the pane starts with
    };
    const Case cases[] = {
        {"tables 200 deep",
         [](QTcpSocket* s) {
             answer(s, "text/html",
                    QByteArray("<table><tr><td>").repeated(200) + "deep" +
                        QByteArray("</td></tr></table>").repeated(200));
         },
         true, "deep"},
        {"a word of 1 MB",
         [](QTcpSocket* s) { answer(s, "text/html", "w" + QByteArray(1 << 20, 'w')); }, true,
         "wwww"},
        {"64 big pictures",
         [](QTcpSocket* s) { answer(s, "text/html", imagesPage("/p%1.png", 64)); }, true, "ad"},
        {"data: pictures",
         [&](QTcpSocket* s) {
             answer(s, "text/html", imagesPage(dataPicture + "#%1", 14).left(2000000));
         },
         true, "ad"},
        {"a drip", drip, false, ""},
        {"endless header lines",
         [](QTcpSocket* s) { keepWriting(s, "HTTP/1.1 200 OK\r\n", "X-Pad: 0123456789\r\n"); },
         false, ""},
        {"a page behind 1000 header lines",
         [](QTcpSocket* s) {
             QByteArray lines;
             for (int i = 0; i < 1000; ++i) lines += "X-Pad-" + QByteArray::number(i) + ": 0\r\n";
             s->write("HTTP/1.1 200 OK\r\n" + lines + "Connection: close\r\n\r\n<p>page</p>");
             s->disconnectFromHost();
         },
         false, ""},
        {"an endless header line",
         [](QTcpSocket* s) {
             keepWriting(s, "HTTP/1.1 200 OK\r\nX-Pad: ", QByteArray(16384, 'a'));
         },
         false, ""},
    };
    view_.setTransferDeadline(std::chrono::milliseconds(1000));
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TinyHttpServer server([&](const QByteArray& path, QTcpSocket* socket) {
            if (path == "/ga.htm") {
                test.serve(socket);
            } else {
                answer(socket, "image/png", bigPicture);
            }
        });
        const auto shownBefore = shown_.size();
        const auto failedBefore = failed_.size();
        // The room's packets wait for the loop: the longest it was kept busy
        // between two turns is the longest a reply to the room would have
        // been held. Counted in the window thread's own processor time, so
        // that other programs on a loaded machine do not count.
        qint64 lastTurn = windowThreadMs();
        qint64 longestStall = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = windowThreadMs();
            longestStall = std::max(longestStall, now - std::exchange(lastTurn, now));
            clock_.advance(10);
        });
        ticker.start(10);

        view_.navigate(server.url("/ga.htm"));
        const bool ended = QTest::qWaitFor(
            [&] { return shown_.size() > shownBefore || failed_.size() > failedBefore; }, kWaitMs);
        // Long enough for every picture to arrive and be laid out.
        QTest::qWait(1500);
        ticker.stop();

        ASSERT_TRUE(ended);
        EXPECT_EQ(shown_.size() > shownBefore, test.shown);
        EXPECT_TRUE(text().startsWith(QString::fromLatin1(test.text)));
        EXPECT_LT(longestStall, 100);
        const qint64 pixels = AdvertisementView::kPagePixelBudget - view_.pixelsLeft();
        EXPECT_LE(pixels, qint64(kSide) * kSide);
        // Each picture used makes the document a side taller (the first two).
        EXPECT_LT(documentHeight(), 3 * kSide);
    }
}

}  // namespace
}  // namespace krvo

#include "test_adv_web_view.moc"
