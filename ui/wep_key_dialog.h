#pragma once

// The two WEP key dialogs (64-bit, template 105; 128-bit, template 109). One
// implementation serves both; a layout gives each its ids and key size. The
// dialog objects live as long as the main window and are its storage for the
// keys: keyText (hex text outside the dialog) and wepId come from WepKeyStore
// and go to the record transfer as a WepKeyStore&.

#include <windows.h>

#include "envrecord/form_model.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "ui/wep_key_text.h"

namespace quarnel {

struct WepDialogLayout {
    UINT templateId;
    const WepKeySize* size;
    int keyEditId[WEP_KEY_COUNT];    // key 0 to 3
    int keyFormatId[WEP_KEY_COUNT];  // format combo of key 0 to 3
    int wepIdComboId;
    // The 64-bit dialog keeps its formatCombo members key 3 first.
    bool formatMembersReversed;
};

extern const WepDialogLayout WEP64_DIALOG_LAYOUT;
extern const WepDialogLayout WEP128_DIALOG_LAYOUT;

class WepKeyDialog : public Dialog, public WepKeyStore {
public:
    explicit WepKeyDialog(const WepDialogLayout& layout);

    // Bound by DoDataExchange; see formatMembersReversed for their order.
    ComboBox formatCombo[WEP_KEY_COUNT];
    ComboBox wepIdCombo;
    // The format each key is shown in while the dialog is open (0 HEX, 1 ASCII).
    int keyFormat[WEP_KEY_COUNT] = {};

    const WepDialogLayout& Layout() const { return layout_; }
    // The format combo of key 0 to 3.
    ComboBox& FormatComboOfKey(int key);

protected:
    void DoDataExchange(DataExchange& dx) override;
    MessageMap GetMessageMap() const override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnWepIdChange();
    void OnKey0FormatChange() { OnKeyFormatChange(0); }
    void OnKey1FormatChange() { OnKeyFormatChange(1); }
    void OnKey2FormatChange() { OnKeyFormatChange(2); }
    void OnKey3FormatChange() { OnKeyFormatChange(3); }
    void OnKeyFormatChange(int key);

    // Key number 1 to 4; format 0 (to HEX) or 1 (to ASCII).
    void ConvertKeyFormat(int keyNumber, int format);
    bool CheckKeyLength(int keyNumber, int format) const;

private:
    const WepDialogLayout& layout_;
    MessageEntry messageMap_[1 + WEP_KEY_COUNT];
};

class WepKey64Dialog : public WepKeyDialog {
public:
    WepKey64Dialog() : WepKeyDialog(WEP64_DIALOG_LAYOUT) {}
};

class WepKey128Dialog : public WepKeyDialog {
public:
    WepKey128Dialog() : WepKeyDialog(WEP128_DIALOG_LAYOUT) {}
};

// The main window's WEP Key action. wepListSelection is the selection of its
// WEP combo: 1 opens the 64-bit dialog, 2 the 128-bit one, anything else only
// tells the user to choose a key length. Cancel puts back the four keys and
// the WEP ID as they were before the dialog opened.
void RunWepKeyAction(int wepListSelection, WepKeyDialog& wep64Dialog, WepKeyDialog& wep128Dialog);

}  // namespace quarnel
