#include "controls/chat_control.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/packet.h"
#include "services/frame_pacer.h"

namespace krvo {

namespace {

constexpr int kMinPoints = 6;
constexpr int kMaxPoints = 32;
constexpr int kDefaultPoints = 10;
constexpr int kMaxFamilyLength = 32;
constexpr int kMaxTimeLength = 16;
constexpr int kMaxInputLength = 256;
constexpr QRgb kSystemColour = 0xB00000;
constexpr QRgb kChatTextColour = 0x000080;
constexpr QRgb kNameColour = 0x00686A;
constexpr QRgb kTimeColour = 0x808080;
constexpr QRgb kPlainColour = 0x000000;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One network text stays one line: anything that would break or reshape the
// line (control characters, line and paragraph separators) becomes a blank.
QString oneLine(std::string_view text) {
    QString line = fromUtf8(text);
    for (QChar& c : line) {
        const char16_t code = c.unicode();
        if (code < 0x20 || code == 0x7F || code == 0x85 || code == 0x2028 || code == 0x2029) {
            c = QLatin1Char(' ');
        }
    }
    return line;
}

QString styleLetters(const ChatStyle& style) {
    QString letters;
    if (style.bold) letters += QLatin1Char('B');
    if (style.italic) letters += QLatin1Char('I');
    if (style.underline) letters += QLatin1Char('U');
    return letters.isEmpty() ? QStringLiteral("0") : letters;
}

QTextCharFormat charFormat(const ChatStyle& style) {
    QTextCharFormat format;
    format.setFontFamilies({style.family});
    format.setFontPointSize(style.points);
    format.setForeground(QColor::fromRgb(style.rgb));
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    return format;
}

}  // namespace

ChatStyle ParseChatStyle(std::string_view family, std::string_view size, std::string_view colour,
                         std::string_view style) {
    ChatStyle parsed;
    parsed.family = oneLine(family).trimmed().left(kMaxFamilyLength);
    if (parsed.family.isEmpty()) parsed.family = QStringLiteral("宋体");

    const std::int32_t points = LeadingInt32(size);
    parsed.points = points == 0 ? kDefaultPoints : std::clamp<int>(points, kMinPoints, kMaxPoints);

    const double rgb = LeadingNumber(colour);
    parsed.rgb = std::isfinite(rgb) ? static_cast<QRgb>(std::clamp(rgb, 0.0, double(0xFFFFFF))) : 0;

    for (const char letter : style) {
        const char upper = static_cast<char>(letter & ~0x20);
        parsed.bold = parsed.bold || upper == 'B';
        parsed.italic = parsed.italic || upper == 'I';
        parsed.underline = parsed.underline || upper == 'U';
    }
    return parsed;
}

ChatControl::ChatControl(QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(this)),
      lines_(new QPlainTextEdit(this)),
      recipients_(new QComboBox(this)),
      input_(new QLineEdit(this)),
      send_(new QPushButton(QStringLiteral("发送"), this)),
      lineTimer_(new QTimer(this)),
      now_([] { return QTime::currentTime(); }) {
    title_->setTextFormat(Qt::PlainText);
    title_->setAutoFillBackground(true);
    title_->setContentsMargins(6, 3, 6, 3);
    QPalette band = title_->palette();
    band.setColor(QPalette::Window, QColor(0, 138, 140));
    band.setColor(QPalette::WindowText, Qt::white);
    title_->setPalette(band);

    lines_->setReadOnly(true);
    lines_->setUndoRedoEnabled(false);
    lines_->setMaximumBlockCount(kMaxChatLines);
    lines_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    lineTimer_->setSingleShot(true);
    lineTimer_->setInterval(FramePacer::kDefaultFrameMs);
    lineTimer_->callOnTimeout(this, [this] { showPendingLines(); });
    input_->setMaxLength(kMaxInputLength);
    recipients_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    recipients_->addItem(fromUtf8(kAllRecipients));
    sendStyle_ = ParseChatStyle("宋体", "10", "0", "0");

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 4, 4, 4);
    bottom->addWidget(new QLabel(QStringLiteral("对"), this));
    bottom->addWidget(recipients_);
    bottom->addWidget(input_, 1);
    bottom->addWidget(send_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title_);
    layout->addWidget(lines_, 1);
    layout->addLayout(bottom);

    connect(send_, &QPushButton::clicked, this, [this] { sendInput(); });
    connect(input_, &QLineEdit::returnPressed, this, [this] { sendInput(); });
}

ChatControl::~ChatControl() = default;

void ChatControl::setTitle(std::string_view title) {
    title_->setText(fromUtf8(title));
}

void ChatControl::initialise() {
    pending_.clear();
    lineTimer_->stop();
    lines_->clear();
    hasLines_ = false;
    clearRecipients();
    input_->clear();
}

void ChatControl::setSendStyle(std::string_view family, int points, QRgb rgb,
                               std::string_view styleLetters) {
    sendStyle_ = ParseChatStyle(family, std::to_string(points), std::to_string(rgb & 0xFFFFFF),
                                styleLetters);
}

ChatStyle ChatControl::plainStyle(QRgb rgb, bool bold) const {
    ChatStyle style;
    style.family = lines_->font().family();
    style.points = kDefaultPoints;
    style.rgb = rgb;
    style.bold = bold;
    return style;
}

QTextCharFormat ChatControl::formatFor(const ChatStyle& style) {
    constexpr std::size_t kMostFormats = 32;
    const auto known = std::find_if(formats_.begin(), formats_.end(),
                                    [&](const auto& entry) { return entry.first == style; });
    if (known != formats_.end()) return known->second;
    // The view's own styles come first and stay; a flood of ever new ones
    // takes turns in the last place.
    if (formats_.size() >= kMostFormats) formats_.pop_back();
    return formats_.emplace_back(style, charFormat(style)).second;
}

void ChatControl::appendLine(std::initializer_list<Segment> segments) {
    Line& line = pending_.emplace_back();
    line.reserve(segments.size());
    for (const Segment& segment : segments) {
        line.push_back({segment.text, formatFor(segment.style)});
    }
    // The view keeps no more: older lines would be laid out only to go.
    if (pending_.size() > static_cast<std::size_t>(kMaxChatLines)) pending_.pop_front();
    if (!lineTimer_->isActive()) lineTimer_->start();
}

void ChatControl::showPendingLines() const {
    if (pending_.empty()) return;
    lineTimer_->stop();
    QTextCursor cursor(lines_->document());
    // One edit: the document lays out and reports its new size once (and
    // does not lay the last line out again only to place the cursor after it).
    cursor.beginEditBlock();
    dropOldestFor(cursor, pending_.size());
    cursor.movePosition(QTextCursor::End);
    for (const Line& line : std::exchange(pending_, {})) {
        if (hasLines_) cursor.insertBlock();
        for (const Piece& piece : line) cursor.insertText(piece.text, piece.format);
        hasLines_ = true;
    }
    cursor.endEditBlock();
    QScrollBar* bar = lines_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// The view drops lines beyond its maximum by walking over them block by
// block, laying out each one it leaves, only for it to go: a flood would pay
// for laying out every line twice. Those lines go here in one cut instead;
// one is left for the view to drop, which also returns the memory of the text
// cut out.
void ChatControl::dropOldestFor(QTextCursor& cursor, std::size_t incoming) const {
    if (!hasLines_) return;
    QTextDocument* document = lines_->document();
    const auto blocks = static_cast<std::size_t>(document->blockCount());
    const std::size_t after = blocks + incoming;
    const auto most = static_cast<std::size_t>(kMaxChatLines);
    if (after <= most + 1) return;
    const std::size_t cut = std::min(after - most - 1, blocks - 1);
    const QTextBlock firstKept = document->findBlockByNumber(static_cast<int>(cut));
    const QTextCharFormat keptFormat = firstKept.charFormat();
    cursor.setPosition(0);
    cursor.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.setBlockCharFormat(keptFormat);
}

void ChatControl::showSystemLine(std::string_view text) {
    appendLine({{QStringLiteral("【系统】"), plainStyle(kSystemColour, true)},
                {oneLine(text), plainStyle(kSystemColour)}});
}

void ChatControl::showChatText(std::string_view text) {
    appendLine({{oneLine(text), plainStyle(kChatTextColour)}});
}

void ChatControl::showChatMessage(std::span<const std::string> texts) {
    if (texts.size() < 8) return;
    const ChatStyle style = ParseChatStyle(texts[3], texts[4], texts[5], texts[6]);
    const QString time = oneLine(texts[7]).trimmed().left(kMaxTimeLength);
    const QString stamp = showTimes_ && !time.isEmpty() ? QStringLiteral("[%1] ").arg(time) : "";
    appendLine({{stamp, plainStyle(kTimeColour)},
                {oneLine(texts[0]), plainStyle(kNameColour, true)},
                {QStringLiteral(" 对 "), plainStyle(kPlainColour)},
                {oneLine(texts[1]), plainStyle(kNameColour, true)},
                {QStringLiteral(" 说："), plainStyle(kPlainColour)},
                {oneLine(texts[2]), style}});
}

void ChatControl::updateRecipient(std::string_view name, std::string_view action) {
    const QString text = fromUtf8(name);
    if (name.empty() || name == kAllRecipients) return;
    const int at = recipients_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (action == "ADD" && at < 0) {
        recipients_->addItem(text);
    } else if (action == "DEL" && at > 0) {
        // Removing the chosen recipient falls back to everybody.
        if (recipients_->currentIndex() == at) recipients_->setCurrentIndex(0);
        recipients_->removeItem(at);
    }
}

void ChatControl::clearRecipients() {
    while (recipients_->count() > 1) recipients_->removeItem(recipients_->count() - 1);
    recipients_->setCurrentIndex(0);
}

std::string ChatControl::currentRecipient() const {
    return recipients_->currentText().toStdString();
}

bool ChatControl::setCurrentRecipient(std::string_view name) {
    const int at = recipients_->findText(fromUtf8(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0) return false;
    recipients_->setCurrentIndex(at);
    return true;
}

std::vector<std::string> ChatControl::recipients() const {
    std::vector<std::string> names;
    for (int i = 0; i < recipients_->count(); ++i) {
        names.push_back(recipients_->itemText(i).toStdString());
    }
    return names;
}

bool ChatControl::sendInput() {
    QString message = input_->text();
    if (message.trimmed().isEmpty()) return false;
    // The texts travel as backtick-joined fields; a backtick would split one.
    const auto clean = [](QString text) {
        return text.replace(QLatin1Char(kFieldSeparator), QLatin1Char('\''));
    };
    const QString sender = clean(fromUtf8(ownName_));
    const QString recipient = clean(recipients_->currentText());
    const QString time = now_ ? now_().toString(QStringLiteral("HH:mm:ss")) : QString();
    const QStringList texts{sender,
                            recipient,
                            sender,
                            recipient,
                            clean(message),
                            clean(sendStyle_.family),
                            QString::number(sendStyle_.points),
                            QString::number(sendStyle_.rgb & 0xFFFFFF),
                            styleLetters(sendStyle_),
                            time};
    input_->clear();
    if (echoOwnLines_) {
        // What a relayed line shows: the texts from "sender as shown" on.
        std::vector<std::string> shown;
        for (qsizetype i = 2; i < texts.size(); ++i) shown.push_back(texts[i].toStdString());
        showChatMessage(shown);
    }
    emit sendRequested(texts);
    return true;
}

int ChatControl::lineCount() const {
    showPendingLines();
    return hasLines_ ? lines_->document()->blockCount() : 0;
}

QString ChatControl::lineText(int index) const {
    if (index < 0 || index >= lineCount()) return {};
    return lines_->document()->findBlockByNumber(index).text();
}

}  // namespace krvo
