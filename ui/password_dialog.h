#pragma once

// The Change Password dialog (template 107) and the main window's Change PWD
// action, which turns its answer into the record's 12-byte password field.

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "envrecord/password_block.h"

namespace quarnel {

class PasswordDialog : public Dialog {
public:
    PasswordDialog();

    int deletePassword = 0;      // DELETE box (1122)
    std::string newPassword;     // 1120, at most PASSWORD_MAX_CHARS
    std::string retypePassword;  // 1121, at most PASSWORD_MAX_CHARS

protected:
    void DoDataExchange(DataExchange& dx) override;
    MessageMap GetMessageMap() const override;
    BOOL OnInitDialog() override;

    void OnDeleteClicked();

private:
    void EnablePasswordEdits();
};

// The Change PWD action. Collects the main window's fields first and shows
// them again afterwards (not when that collection failed: the user was told
// about the refused field, and showing stale members would overwrite the
// fields the collection never reached). A mismatch is reported and the dialog
// shown again with what was typed; Cancel leaves passwordBlock unchanged.
void RunChangePassword(Dialog& mainWindow, MainBlock::PasswordBlock& passwordBlock);

}  // namespace quarnel
