#include "ui/password_dialog.h"

#include <windows.h>

#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace quarnel {

PasswordDialog::PasswordDialog() : Dialog(IDD_CHANGE_PASSWORD) {}

void PasswordDialog::DoDataExchange(DataExchange& dx) {
    DDX_Check(dx, IDC_PASSWORD_DELETE, deletePassword);
    // The field has room for 12 characters: no more can be typed, and a
    // longer text set otherwise is refused on OK.
    DDX_Text(dx, IDC_PASSWORD_NEW, newPassword);
    DDV_MaxChars(dx, newPassword, PASSWORD_MAX_CHARS);
    DDX_Text(dx, IDC_PASSWORD_RETYPE, retypePassword);
    DDV_MaxChars(dx, retypePassword, PASSWORD_MAX_CHARS);
}

MessageMap PasswordDialog::GetMessageMap() const {
    static const MessageEntry map[] = {
        OnClicked(IDC_PASSWORD_DELETE, &PasswordDialog::OnDeleteClicked),
    };
    return MakeMessageMap(map);
}

BOOL PasswordDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // Shown again after a mismatch: the DELETE state carries over.
    EnablePasswordEdits();
    return TRUE;
}

void PasswordDialog::OnDeleteClicked() {
    UpdateData(true);
    EnablePasswordEdits();
}

void PasswordDialog::EnablePasswordEdits() {
    const bool enable = deletePassword == 0;
    EnableDlgItem(IDC_PASSWORD_NEW, enable);
    EnableDlgItem(IDC_PASSWORD_RETYPE, enable);
}

void RunChangePassword(Dialog& mainWindow, MainBlock::PasswordBlock& passwordBlock) {
    MainBlock::PasswordBlock work{};
    PasswordDialog dialog;
    const bool collected = mainWindow.UpdateData(true);

    bool store = false;
    while (dialog.DoModal() == IDOK) {
        if (!dialog.deletePassword && lstrcmpA(dialog.newPassword.c_str(), dialog.retypePassword.c_str()) != 0) {
            AfxMessageBox("Password does not match.", MB_ICONHAND);
            continue;
        }
        // DELETE or two empty edits give twelve zero bytes. A text over the
        // limit cannot get past the dialog; were it to, nothing is stored.
        store = BuildPasswordBlock(dialog.deletePassword, dialog.newPassword, work);
        break;
    }
    if (store) passwordBlock = work;

    if (collected) mainWindow.UpdateData(false);
}

}  // namespace quarnel
