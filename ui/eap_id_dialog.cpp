#include "ui/eap_id_dialog.h"

#include <windows.h>

#include <cstring>

#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace quarnel {

namespace {

template <std::size_t N>
std::string BufferText(const char (&buffer)[N]) {
    const void* end = std::memchr(buffer, '\0', N);
    return std::string(buffer, end != nullptr ? static_cast<const char*>(end) - buffer : N);
}

template <std::size_t N>
void StoreText(char (&buffer)[N], const std::string& text) {
    std::memset(buffer, 0, N);
    // The dialog's limits keep both texts well inside; the terminator stays.
    std::memcpy(buffer, text.data(), text.size() < N ? text.size() : N - 1);
}

}  // namespace

EapIdDialog::EapIdDialog() : Dialog(IDD_EAP_ID) {}

void EapIdDialog::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, IDC_EAP_USERNAME, userName);
    DDV_MaxChars(dx, userName, EAP_USER_NAME_MAX_CHARS);
    DDX_Text(dx, IDC_EAP_PASSWORD, password);
    DDV_MaxChars(dx, password, EAP_PASSWORD_MAX_CHARS);
    DDX_Text(dx, IDC_EAP_RETYPE, retypePassword);
    DDV_MaxChars(dx, retypePassword, EAP_PASSWORD_MAX_CHARS);
}

void RunEapId(char (&eapUserName)[EAP_USER_NAME_SIZE], char (&eapPassword)[EAP_PASSWORD_SIZE]) {
    EapIdDialog dialog;
    dialog.userName = BufferText(eapUserName);
    dialog.password = BufferText(eapPassword);
    dialog.retypePassword = dialog.password;
    for (;;) {
        if (dialog.DoModal() != IDOK) return;
        if (lstrcmpA(dialog.password.c_str(), dialog.retypePassword.c_str()) == 0) break;
        AfxMessageBox("The passwords don't match.", MB_ICONHAND);
    }
    StoreText(eapUserName, dialog.userName);
    StoreText(eapPassword, dialog.password);
}

}  // namespace quarnel
