#pragma once
// The operations the room handling uses on the user list and the chat pane.
// The Qt controls implement them through adapters; tests record them.

#include <array>
#include <string>
#include <string_view>

namespace krvo {

class UserListOps {
public:
    virtual ~UserListOps() = default;
    // The user's row, or "" when absent.
    virtual std::string findUser(std::string_view name) = 0;
    virtual void addUser(std::string_view row) = 0;
    virtual void removeUser(std::string_view name) = 0;
    virtual void clearUsers() = 0;
    // Replaces the content; the list then reports the names it holds.
    virtual void loadUsers(std::string_view body) = 0;
    virtual void updateUser(std::string_view row) = 0;
    virtual void setOwnName(std::string_view name) = 0;
};

class ChatOps {
public:
    virtual ~ChatOps() = default;
    virtual void showSystemLine(std::string_view text) = 0;
    virtual void showChatText(std::string_view text) = 0;
    // Sender, recipient, message, font, size, colour, style, time.
    virtual void showChatMessage(const std::array<std::string, 8>& texts) = 0;
    // Keeps the recipient chooser equal to the users present.
    virtual void updateRecipient(std::string_view name, bool add) = 0;
    virtual void clearRecipients() = 0;
    virtual void setCurrentRecipient(std::string_view name) = 0;
    virtual void setOwnName(std::string_view name) = 0;
};

// Opens the table-settings dialog for the settings round. Returns false when
// the settings text is unusable; the dialog is then gone and the caller leaves
// the table.
class SettingsDialogOpener {
public:
    virtual ~SettingsDialogOpener() = default;
    virtual bool openTableSettings(bool blnDeskMaster, std::string_view strAllGameSetInfo) = 0;
};

}  // namespace krvo
