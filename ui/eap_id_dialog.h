#pragma once

// The EAPoL identity dialog (template 106) and the main window's EAP ID
// action over its two plain-text buffers.

#include <string>

#include "envrecord/env_layout.h"
#include "envrecord/form_model.h"
#include "framework/dialog.h"

namespace quarnel {

constexpr int EAP_USER_NAME_MAX_CHARS = env_layout::TEXT_MAX_CHARS;
constexpr int EAP_PASSWORD_MAX_CHARS = env_layout::EAPOL_PASSWORD.size;

class EapIdDialog : public Dialog {
public:
    EapIdDialog();

    std::string userName;        // 1110
    std::string password;        // 1111
    std::string retypePassword;  // 1112

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// The EAP ID action: the dialog opens with the buffers' texts (the password
// in both edits); a mismatch is reported and the dialog shown again with what
// was typed; on matching entries both buffers are zero-filled and the texts
// copied in with their terminators. Cancel changes nothing.
void RunEapId(char (&eapUserName)[EAP_USER_NAME_SIZE], char (&eapPassword)[EAP_PASSWORD_SIZE]);

}  // namespace quarnel
