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
    virtual std::string FindUser(std::string_view name) = 0;
    virtual void AddUser(std::string_view row) = 0;
    virtual void RemoveUser(std::string_view name) = 0;
    virtual void ClearUsers() = 0;
    // Replaces the content; the list then reports the names it holds.
    virtual void LoadUsers(std::string_view body) = 0;
    virtual void UpdateUser(std::string_view row) = 0;
    virtual void SetOwnName(std::string_view name) = 0;
};

class ChatOps {
public:
    virtual ~ChatOps() = default;
    virtual void ShowSystemLine(std::string_view text) = 0;
    virtual void ShowChatText(std::string_view text) = 0;
    // Sender, recipient, message, font, size, colour, style, time.
    virtual void ShowChatMessage(const std::array<std::string, 8>& texts) = 0;
    // Keeps the recipient chooser equal to the users present.
    virtual void UpdateRecipient(std::string_view name, bool add) = 0;
    virtual void ClearRecipients() = 0;
    virtual void SetCurrentRecipient(std::string_view name) = 0;
    virtual void SetOwnName(std::string_view name) = 0;
};

// Opens the table-settings dialog for the settings round. Returns false when
// the settings text is unusable; the dialog is then gone and the caller leaves
// the table.
class SettingsDialogOpener {
public:
    virtual ~SettingsDialogOpener() = default;
    virtual bool OpenGameSet(bool blnDeskMaster, std::string_view strAllGameSetInfo) = 0;
};

}  // namespace krvo
