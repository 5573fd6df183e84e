#pragma once
// The chat pane (VexChat): a bounded, read-only view of the latest lines, an
// input line with a send button, and the recipient chooser ("所有人" plus
// everybody present). Everything shown comes from the network as plain text:
// names and messages are never read as markup, and font, size, colour and
// style are parsed and clamped before use.

#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTime>
#include <QWidget>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ports/room_actions.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextCursor;
class QTimer;

namespace krvo {

inline constexpr int kMaxChatLines = 500;
inline constexpr int kChatSendTexts = static_cast<int>(kChatLineTexts);

// How a chat message asks to be drawn, already made safe to use.
struct ChatStyle {
    QString family;
    int points = 10;
    QRgb rgb = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const ChatStyle&) const = default;
};

// Family trimmed and shortened ("宋体" when empty), size clamped to 6..32
// points (10 when not a number), colour R*65536+G*256+B clamped to 0..0xFFFFFF,
// style from the letters B, I and U.
ChatStyle ParseChatStyle(std::string_view family, std::string_view size, std::string_view colour,
                         std::string_view style);

class ChatControl : public QWidget {
    Q_OBJECT
public:
    explicit ChatControl(QWidget* parent = nullptr);
    ~ChatControl() override;

    // Settings made when the main window loads.
    void setFacesFolder(std::string_view folder) { facesFolder_ = folder; }
    const std::string& facesFolder() const { return facesFolder_; }
    void setProgramFolder(std::string_view folder) { programFolder_ = folder; }
    const std::string& programFolder() const { return programFolder_; }
    void setPage(std::string_view page) { page_ = page; }
    const std::string& page() const { return page_; }
    void setOwnName(std::string_view name) { ownName_ = name; }
    const std::string& ownName() const { return ownName_; }
    void setTitle(std::string_view title);
    // Empties the view and the recipients; the current recipient is "所有人".
    void initialise();
    // Whether chat lines show their time (on at load).
    void setShowTimes(bool show) { showTimes_ = show; }
    // Whether a sent line is shown at once rather than when the server relays
    // it back (off at load: the relay shows it).
    void setEchoOwnLines(bool echo) { echoOwnLines_ = echo; }
    // How this user's own lines are sent.
    void setSendStyle(std::string_view family, int points, QRgb rgb, std::string_view styleLetters);
    // The time of day stamped on sent lines; the wall clock unless replaced.
    void setTimeSource(std::function<QTime()> now) { now_ = std::move(now); }

    void showSystemLine(std::string_view text);
    void showChatText(std::string_view text);
    // sender, recipient, message, font, size, colour, style, time; fewer than
    // eight texts show nothing.
    void showChatMessage(std::span<const std::string> texts);

    // action "ADD" or "DEL"; "所有人" itself is never added or removed.
    void updateRecipient(std::string_view name, std::string_view action);
    void clearRecipients();
    std::string currentRecipient() const;
    // Only a recipient in the chooser can be chosen.
    bool setCurrentRecipient(std::string_view name);
    std::vector<std::string> recipients() const;

    // Sends what the input line holds, as the send button and Enter do.
    // False (and nothing emitted) for an empty message.
    bool sendInput();

    int lineCount() const;
    QString lineText(int index) const;
    QPlainTextEdit* lineView() const {
        showPendingLines();
        return lines_;
    }
    QLineEdit* input() const { return input_; }
    QPushButton* sendButton() const { return send_; }
    QComboBox* recipientBox() const { return recipients_; }

signals:
    // sender, recipient, sender as shown, recipient as shown, message, font,
    // size, colour, style, time (HH:MM:SS).
    void sendRequested(QStringList tenTexts);

private:
    struct Segment {
        QString text;
        ChatStyle style;
    };
    void appendLine(std::initializer_list<Segment> segments);
    ChatStyle plainStyle(QRgb rgb, bool bold = false) const;
    // A flood of lines shares a handful of styles: each is made into a format
    // once, and the lines share it.
    QTextCharFormat formatFor(const ChatStyle& style);
    // Lines wait for at most a display frame and go into the view together:
    // a burst of lines is laid out and scrolled to once, and a flood of them
    // only as far as the view keeps lines. Whoever reads the view sees every
    // line given so far.
    struct Piece {
        QString text;
        QTextCharFormat format;
    };
    using Line = std::vector<Piece>;
    void showPendingLines() const;
    // Makes room for the lines about to come in, inside the edit that brings them.
    void dropOldestFor(QTextCursor& cursor, std::size_t incoming) const;

    QLabel* title_ = nullptr;
    QPlainTextEdit* lines_ = nullptr;
    QComboBox* recipients_ = nullptr;
    QLineEdit* input_ = nullptr;
    QPushButton* send_ = nullptr;
    QTimer* lineTimer_ = nullptr;
    mutable std::deque<Line> pending_;
    mutable bool hasLines_ = false;
    std::vector<std::pair<ChatStyle, QTextCharFormat>> formats_;

    std::string facesFolder_;
    std::string programFolder_;
    std::string page_;
    std::string ownName_;
    bool showTimes_ = true;
    bool echoOwnLines_ = false;
    ChatStyle sendStyle_;
    QString sendStyleLetters_ = QStringLiteral("0");
    std::function<QTime()> now_;
};

}  // namespace krvo
