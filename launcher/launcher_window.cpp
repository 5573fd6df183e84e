#include "launcher/launcher_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace krvo::launcher {
namespace {

// The table's felt, as the table client paints it.
const QColor kTableBlue(8, 105, 165);
const QColor kTableBlueLight(44, 138, 196);
constexpr int kClientStopWaitMs = 3000;
const char* const kLoopback = "127.0.0.1";
const char* const kEveryNetwork = "0.0.0.0";

// The banner over the pages: the felt, the program's icon, the name and a
// fan of three cards, all drawn here so that it scales with the font.
class Banner final : public QWidget {
public:
    explicit Banner(QWidget* parent) : QWidget(parent) {
        setMinimumHeight(fontMetrics().height() * 5);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(QString(24, QChar(0x724c))), minimumHeight()};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient felt(0, 0, 0, height());
        felt.setColorAt(0, kTableBlueLight);
        felt.setColorAt(1, kTableBlue);
        painter.fillRect(rect(), felt);
        const int margin = height() / 8;
        const int iconSize = height() - 2 * margin;
        const QIcon icon = window()->windowIcon();
        int textLeft = margin;
        if (!icon.isNull()) {
            icon.paint(&painter, QRect(margin, margin, iconSize, iconSize));
            textLeft += iconSize + margin;
        }
        QFont title = font();
        title.setPointSizeF(font().pointSizeF() * 1.9);
        title.setBold(true);
        painter.setFont(title);
        painter.setPen(Qt::white);
        const QRect titleBox(textLeft, margin, width() - textLeft, height() / 2 - margin / 2);
        painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignBottom, "krvo 牌桌");
        painter.setFont(font());
        painter.setPen(QColor(220, 236, 248));
        const QRect subBox(textLeft, height() / 2 + margin / 4, width() - textLeft,
                           height() / 2 - margin);
        painter.drawText(subBox, Qt::AlignLeft | Qt::AlignTop, "四人一桌的纸牌游戏");
        drawFan(painter, QPointF(width() - height() * 0.9, height() * 1.05), height() * 0.55);
    }

private:
    // Three cards turned about a point below the banner's edge.
    static void drawFan(QPainter& painter, QPointF pivot, qreal cardHeight) {
        const qreal cardWidth = cardHeight * 0.7;
        const struct {
            qreal angle;
            const char* rank;
            QColor colour;
        } cards[] = {
            {-18, "3", Qt::black}, {0, "A", QColor(200, 20, 30)}, {18, "A", QColor(200, 20, 30)}};
        for (const auto& card : cards) {
            painter.save();
            painter.translate(pivot);
            painter.rotate(card.angle);
            const QRectF face(-cardWidth / 2, -cardHeight * 1.45, cardWidth, cardHeight);
            painter.setPen(QPen(QColor(60, 60, 60), 1));
            painter.setBrush(QColor(252, 252, 248));
            painter.drawRoundedRect(face, cardWidth / 9, cardWidth / 9);
            QFont rank = painter.font();
            rank.setBold(true);
            rank.setPixelSize(static_cast<int>(cardHeight * 0.3));
            painter.setFont(rank);
            painter.setPen(card.colour);
            painter.drawText(face.adjusted(cardWidth / 10, cardHeight / 20, 0, 0),
                             Qt::AlignLeft | Qt::AlignTop, card.rank);
            // A heart or a spade in the middle.
            QPainterPath mark;
            const QPointF c = face.center() + QPointF(0, cardHeight * 0.08);
            const qreal r = cardWidth / 6;
            if (card.colour == Qt::black) {
                mark.moveTo(c + QPointF(0, -r * 1.4));
                mark.cubicTo(c + QPointF(r * 2, 0), c + QPointF(r, r * 1.4),
                             c + QPointF(0, r * 0.5));
                mark.cubicTo(c + QPointF(-r, r * 1.4), c + QPointF(-r * 2, 0),
                             c + QPointF(0, -r * 1.4));
            } else {
                mark.moveTo(c + QPointF(0, r * 1.4));
                mark.cubicTo(c + QPointF(r * 2.2, -r * 0.2), c + QPointF(r, -r * 1.6),
                             c + QPointF(0, -r * 0.5));
                mark.cubicTo(c + QPointF(-r, -r * 1.6), c + QPointF(-r * 2.2, -r * 0.2),
                             c + QPointF(0, r * 1.4));
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(card.colour);
            painter.drawPath(mark);
            painter.restore();
        }
    }
};

QLabel* Note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// The computers' levels, named for players; the data is the server's name.
QComboBox* LevelBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    const QStringList captions = {"入门（出牌随意）", "普通（会记牌、认队友）", "高手（还会推算）"};
    const QStringList levels = ComputerLevels();
    for (qsizetype i = 0; i < levels.size(); ++i) box->addItem(captions[i], levels[i]);
    box->setCurrentIndex(1);
    return box;
}

QSpinBox* PortBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, 65535);
    box->setGroupSeparatorShown(false);
    return box;
}

// The addresses friends on this machine's networks can reach it by.
QStringList NetworkAddresses() {
    QStringList addresses;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
            addresses.append(address.toString());
        }
    }
    return addresses;
}

}  // namespace

LauncherWindow::LauncherWindow(Programs programs, QSettings& settings, QWidget* parent)
    : QDialog(parent), programs_(std::move(programs)), settings_(settings) {
    setWindowTitle("krvo 牌桌");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The window never gets smaller than its contents need, at any font size.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addWidget(new Banner(this));

    auto* body = new QVBoxLayout;
    const int margin = fontMetrics().height();
    body->setContentsMargins(margin, margin / 2, margin, margin);
    pages_ = new QTabWidget(this);
    pages_->addTab(buildComputersPage(), "与电脑对战");
    pages_->addTab(buildHostPage(), "邀请朋友 / 建桌");
    pages_->addTab(buildJoinPage(), "加入牌桌");
    body->addWidget(pages_);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setMinimumHeight(fontMetrics().lineSpacing() * 2);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->addWidget(status_);
    layout->addLayout(body);

    connect(pages_, &QTabWidget::currentChanged, this, &LauncherWindow::updateButtons);
    connect(&computers_, &HostedServer::ready, this, [this](int port) {
        clientForComputers_ = true;
        if (!startClient({playName_->text().trimmed(), kLoopback, port, {}})) computers_.stop();
    });
    connect(&computers_, &HostedServer::failed, this, [this](const QString& reason) {
        setStatus(reason, true);
        updateButtons();
    });
    connect(&hosted_, &HostedServer::ready, this, [this] {
        showTableAddress();
        hostedPeopleChanged();
        updateButtons();
    });
    connect(&hosted_, &HostedServer::failed, this, [this](const QString& reason) {
        setStatus(reason, true);
        updateButtons();
    });
    connect(&hosted_, &HostedServer::ended, this, [this] {
        setStatus("牌桌服务器意外结束了，牌桌已关闭。", true);
        hostAddressText_->clear();
        updateButtons();
    });
    connect(&hosted_, &HostedServer::peopleChanged, this, &LauncherWindow::hostedPeopleChanged);
    connect(&client_, &QProcess::finished, this, &LauncherWindow::clientEnded);
    connect(&client_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        setStatus(QString("无法启动牌桌程序（%1）。").arg(programs_.client), true);
        if (clientForComputers_) computers_.stop();
        updateButtons();
    });
    client_.setProcessChannelMode(QProcess::ForwardedChannels);

    loadFields();
    if (programs_.client.isEmpty() || programs_.server.isEmpty()) {
        setStatus("找不到牌桌程序 krvo 或牌桌服务器 krvo-server：它们应与启动器放在一起。", true);
    }
    updateButtons();
}

LauncherWindow::~LauncherWindow() {
    client_.disconnect(this);
    if (client_.state() != QProcess::NotRunning) {
        client_.terminate();
        if (!client_.waitForFinished(kClientStopWaitMs)) client_.kill();
        client_.waitForFinished(kClientStopWaitMs);
    }
}

QWidget* LauncherWindow::buildComputersPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    playName_ = new QLineEdit(page);
    playName_->setMaxLength(16);
    form->addRow("你的名字(&N)：", playName_);
    playLevel_ = LevelBox(page);
    form->addRow("电脑水平(&L)：", playLevel_);
    form->addRow(Note("本机开一张桌，三位电脑玩家陪你打。", page));
    playButton_ = new QPushButton("开始对战(&S)", page);
    connect(playButton_, &QPushButton::clicked, this, &LauncherWindow::playAgainstComputers);
    form->addRow(playButton_);
    return page;
}

QWidget* LauncherWindow::buildHostPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    hostAddress_ = new QComboBox(page);
    hostAddress_->addItem("127.0.0.1（只限本机）", kLoopback);
    hostAddress_->addItem("0.0.0.0（本机所有网络）", kEveryNetwork);
    for (const QString& address : NetworkAddresses()) hostAddress_->addItem(address, address);
    form->addRow("地址(&A)：", hostAddress_);
    hostPort_ = PortBox(page);
    form->addRow("端口(&P)：", hostPort_);
    hostPeople_ = new QSpinBox(page);
    hostPeople_->setRange(1, 4);
    hostPeople_->setSuffix(" 位（其余由电脑坐）");
    form->addRow("真人座位(&R)：", hostPeople_);
    hostLevel_ = LevelBox(page);
    form->addRow("电脑水平(&L)：", hostLevel_);
    // One choice, whichever page it is made on.
    connect(playLevel_, &QComboBox::activated, hostLevel_, &QComboBox::setCurrentIndex);
    connect(hostLevel_, &QComboBox::activated, playLevel_, &QComboBox::setCurrentIndex);
    hostPassword_ = new QLineEdit(page);
    hostPassword_->setPlaceholderText("不填则谁都能入座");
    form->addRow("牌桌密码(&W)：", hostPassword_);
    auto* buttons = new QHBoxLayout;
    hostButton_ = new QPushButton("建桌(&H)", page);
    hostSitButton_ = new QPushButton("我也入座(&I)", page);
    buttons->addWidget(hostButton_);
    buttons->addWidget(hostSitButton_);
    form->addRow(buttons);
    // Room for two lines of addresses from the start: the window keeps the
    // size it opened with, and a late line would squeeze the list below it.
    hostAddressText_ = Note({}, page);
    hostAddressText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hostAddressText_->setMinimumHeight(fontMetrics().lineSpacing() * 2);
    hostAddressText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow(hostAddressText_);
    hostPeopleList_ = new QListWidget(page);
    hostPeopleList_->setFocusPolicy(Qt::NoFocus);
    hostPeopleList_->setFixedHeight(fontMetrics().lineSpacing() * 5);
    // The style's own frame loses its top and bottom lines at some font sizes.
    hostPeopleList_->setStyleSheet("QListWidget { border: 1px solid #a8a8a8; background: white; }");
    form->addRow("已入座：", hostPeopleList_);
    connect(hostButton_, &QPushButton::clicked, this, &LauncherWindow::toggleHosting);
    connect(hostSitButton_, &QPushButton::clicked, this, &LauncherWindow::sitAtHostedTable);
    return page;
}

QWidget* LauncherWindow::buildJoinPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    joinName_ = new QLineEdit(page);
    joinName_->setMaxLength(16);
    form->addRow("你的名字(&N)：", joinName_);
    joinHost_ = new QLineEdit(page);
    form->addRow("牌桌地址(&A)：", joinHost_);
    joinPort_ = PortBox(page);
    form->addRow("端口(&P)：", joinPort_);
    joinPassword_ = new QLineEdit(page);
    joinPassword_->setEchoMode(QLineEdit::Password);
    joinPassword_->setPlaceholderText("牌桌没有密码就不填");
    form->addRow("牌桌密码(&W)：", joinPassword_);
    form->addRow(Note("名字只在牌桌程序里用；座位上的名字由建桌的一方安排。", page));
    joinButton_ = new QPushButton("入座(&J)", page);
    connect(joinButton_, &QPushButton::clicked, this, &LauncherWindow::joinTable);
    form->addRow(joinButton_);
    // The two name fields are one: the name is the player's, whichever page.
    connect(playName_, &QLineEdit::textEdited, joinName_, &QLineEdit::setText);
    connect(joinName_, &QLineEdit::textEdited, playName_, &QLineEdit::setText);
    return page;
}

void LauncherWindow::loadFields() {
    const LauncherFields fields = LoadFields(settings_);
    playName_->setText(fields.name);
    joinName_->setText(fields.name);
    const int address = hostAddress_->findData(fields.hostAddress);
    if (address >= 0) {
        hostAddress_->setCurrentIndex(address);
    } else if (!QHostAddress(fields.hostAddress).isNull()) {
        // An address this machine had last time; kept, the server will say if it is gone.
        hostAddress_->addItem(fields.hostAddress, fields.hostAddress);
        hostAddress_->setCurrentIndex(hostAddress_->count() - 1);
    }
    hostPort_->setValue(fields.hostPort);
    hostPeople_->setValue(fields.hostPeople);
    playLevel_->setCurrentIndex(playLevel_->findData(fields.level));
    hostLevel_->setCurrentIndex(hostLevel_->findData(fields.level));
    joinHost_->setText(fields.joinHost);
    joinPort_->setValue(fields.joinPort);
    pages_->setCurrentIndex(fields.page);
}

void LauncherWindow::saveFields() {
    LauncherFields fields;
    fields.page = pages_->currentIndex();
    fields.name = playName_->text().trimmed();
    fields.hostAddress = hostAddress_->currentData().toString();
    fields.hostPort = hostPort_->value();
    fields.hostPeople = hostPeople_->value();
    fields.level = playLevel_->currentData().toString();
    fields.joinHost = joinHost_->text().trimmed();
    fields.joinPort = joinPort_->value();
    SaveFields(settings_, fields);
}

QString LauncherWindow::statusText() const {
    return status_->text();
}

void LauncherWindow::setStatus(const QString& text, bool error) {
    status_->setText(text);
    status_->setStyleSheet(error ? "color: #b00000;" : QString());
}

void LauncherWindow::updateButtons() {
    const bool programs = !programs_.client.isEmpty() && !programs_.server.isEmpty();
    const bool playing = client_.state() != QProcess::NotRunning || computers_.running();
    const bool hosting = hosted_.running();
    playButton_->setEnabled(programs && !playing);
    joinButton_->setEnabled(programs && !playing);
    hostButton_->setEnabled(programs);
    hostButton_->setText(hosting ? "关闭牌桌(&H)" : "建桌(&H)");
    hostSitButton_->setEnabled(programs && hosted_.listening() && !playing);
    for (QWidget* field :
         {static_cast<QWidget*>(hostAddress_), static_cast<QWidget*>(hostPort_),
          static_cast<QWidget*>(hostPeople_), static_cast<QWidget*>(hostPassword_)}) {
        field->setEnabled(!hosting);
    }
    // Enter starts what the page in front offers.
    const int page = pages_->currentIndex();
    playButton_->setDefault(page == 0);
    hostButton_->setDefault(page == 1);
    joinButton_->setDefault(page == 2);
}

void LauncherWindow::playAgainstComputers() {
    const ClientLaunch launch{playName_->text().trimmed(), kLoopback, 1, {}};
    if (const QString problem = CheckClientLaunch(launch); !problem.isEmpty()) {
        return setStatus(problem, true);
    }
    saveFields();
    setStatus("正在开桌……");
    ServerLaunch server;
    server.program = programs_.server;
    server.names = {launch.name};
    server.level = playLevel_->currentData().toString();
    server.exitWhenEmpty = true;
    computers_.start(server);
    updateButtons();
}

void LauncherWindow::toggleHosting() {
    if (hosted_.running()) {
        hosted_.stop();
        hostAddressText_->clear();
        setStatus("牌桌已关闭。");
        return updateButtons();
    }
    if (const QString problem = CheckTablePassword(hostPassword_->text()); !problem.isEmpty()) {
        return setStatus(problem, true);
    }
    saveFields();
    ServerLaunch server;
    server.program = programs_.server;
    server.bind = hostAddress_->currentData().toString();
    server.port = hostPort_->value();
    server.humans = hostPeople_->value();
    server.password = hostPassword_->text();
    server.level = hostLevel_->currentData().toString();
    setStatus("正在建桌……");
    hosted_.start(server);
    updateButtons();
}

void LauncherWindow::showTableAddress() {
    const QString bind = hostAddress_->currentData().toString();
    const QString password = hostPassword_->text().isEmpty()
                                 ? QString("不用密码")
                                 : QString("密码 %1").arg(hostPassword_->text());
    QString text;
    if (bind == kLoopback) {
        text =
            QString(
                "牌桌只对本机开放（端口 %1，%2）：别的电脑上的朋友进不来，要请朋友请选别的地址。")
                .arg(hostPort_->value())
                .arg(password);
    } else {
        const QStringList addresses =
            bind == kEveryNetwork ? NetworkAddresses() : QStringList{bind};
        text = QString("告诉朋友：地址 %1，端口 %2，%3。")
                   .arg(addresses.isEmpty() ? QString("（本机没有联网）") : addresses.join(" 或 "))
                   .arg(hostPort_->value())
                   .arg(password);
    }
    hostAddressText_->setText(text);
    setStatus("牌桌开好了：朋友入座后会列在“已入座”里。");
}

void LauncherWindow::hostedPeopleChanged() {
    hostPeopleList_->clear();
    hostPeopleList_->addItems(hosted_.people());
    if (hosted_.refusedLogins() > 0) {
        setStatus(QString("有 %1 次因密码不对被拒绝入座。").arg(hosted_.refusedLogins()));
    }
}

void LauncherWindow::sitAtHostedTable() {
    const QString bind = hostAddress_->currentData().toString();
    const ClientLaunch launch{playName_->text().trimmed(), bind == kEveryNetwork ? kLoopback : bind,
                              hosted_.port(), hostPassword_->text()};
    if (const QString problem = CheckClientLaunch(launch); !problem.isEmpty()) {
        return setStatus(problem, true);
    }
    clientForComputers_ = false;
    startClient(launch);
}

void LauncherWindow::joinTable() {
    const ClientLaunch launch{joinName_->text().trimmed(), joinHost_->text().trimmed(),
                              joinPort_->value(), joinPassword_->text()};
    if (const QString problem = CheckClientLaunch(launch); !problem.isEmpty()) {
        return setStatus(problem, true);
    }
    saveFields();
    clientForComputers_ = false;
    startClient(launch);
}

bool LauncherWindow::startClient(const ClientLaunch& launch) {
    if (programs_.client.isEmpty()) {
        setStatus("找不到牌桌程序 krvo。", true);
        return false;
    }
    client_.setProcessEnvironment(
        ClientEnvironment(launch, QProcessEnvironment::systemEnvironment()));
    client_.start(programs_.client, ClientArguments(launch));
    setStatus(QString("牌桌程序已启动：%1:%2").arg(launch.host).arg(launch.port));
    updateButtons();
    return true;
}

void LauncherWindow::clientEnded(int status, QProcess::ExitStatus exitStatus) {
    if (clientForComputers_) computers_.stop();
    clientForComputers_ = false;
    setStatus(ClientExitText(status, exitStatus == QProcess::CrashExit),
              exitStatus == QProcess::CrashExit || (status != 0 && status != 2 && status != 4));
    updateButtons();
}

void LauncherWindow::reject() {
    close();
}

void LauncherWindow::closeEvent(QCloseEvent* event) {
    if (client_.state() != QProcess::NotRunning) {
        const auto answer = QMessageBox::question(this, "krvo 牌桌",
                                                  "关闭启动器会结束正在进行的牌局。确定关闭吗？");
        if (answer != QMessageBox::Yes) return event->ignore();
    }
    saveFields();
    client_.disconnect(this);
    if (client_.state() != QProcess::NotRunning) {
        client_.terminate();
        if (!client_.waitForFinished(kClientStopWaitMs)) client_.kill();
        client_.waitForFinished(kClientStopWaitMs);
    }
    computers_.stop();
    hosted_.stop();
    event->accept();
}

}  // namespace krvo::launcher
