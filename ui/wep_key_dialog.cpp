#include "ui/wep_key_dialog.h"

#include <string>

#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "ui/template_lists.h"
#include "resources/resource.h"

namespace quarnel {

const WepDialogLayout WEP64_DIALOG_LAYOUT = {
    IDD_WEP64_KEYS,
    &WEP_KEY_64,
    {IDC_WEP64_KEY0, IDC_WEP64_KEY1, IDC_WEP64_KEY2, IDC_WEP64_KEY3},
    {IDC_WEP64_FORMAT0, IDC_WEP64_FORMAT1, IDC_WEP64_FORMAT2, IDC_WEP64_FORMAT3},
    IDC_WEP64_ID,
    true,
};

const WepDialogLayout WEP128_DIALOG_LAYOUT = {
    IDD_WEP128_KEYS,
    &WEP_KEY_128,
    {IDC_WEP128_KEY0, IDC_WEP128_KEY1, IDC_WEP128_KEY2, IDC_WEP128_KEY3},
    {IDC_WEP128_FORMAT0, IDC_WEP128_FORMAT1, IDC_WEP128_FORMAT2, IDC_WEP128_FORMAT3},
    IDC_WEP128_ID,
    false,
};

namespace {

int MemberOfKey(const WepDialogLayout& layout, int key) {
    return layout.formatMembersReversed ? WEP_KEY_COUNT - 1 - key : key;
}

}  // namespace

WepKeyDialog::WepKeyDialog(const WepDialogLayout& layout)
    : Dialog(layout.templateId),
      layout_(layout),
      // The ids differ between the two sizes, so the map is per object.
      messageMap_{
          OnSelChange(layout.wepIdComboId, &WepKeyDialog::OnWepIdChange),
          OnSelChange(layout.keyFormatId[0], &WepKeyDialog::OnKey0FormatChange),
          OnSelChange(layout.keyFormatId[1], &WepKeyDialog::OnKey1FormatChange),
          OnSelChange(layout.keyFormatId[2], &WepKeyDialog::OnKey2FormatChange),
          OnSelChange(layout.keyFormatId[3], &WepKeyDialog::OnKey3FormatChange),
      } {}

ComboBox& WepKeyDialog::FormatComboOfKey(int key) { return formatCombo[MemberOfKey(layout_, key)]; }

void WepKeyDialog::DoDataExchange(DataExchange& dx) {
    for (int member = 0; member < WEP_KEY_COUNT; ++member) {
        // Member i belongs to key i, or to key 3 - i in the reversed order.
        DDX_Control(dx, layout_.keyFormatId[MemberOfKey(layout_, member)], formatCombo[member]);
    }
    DDX_Control(dx, layout_.wepIdComboId, wepIdCombo);
    for (int key = 0; key < WEP_KEY_COUNT; ++key) DDX_Text(dx, layout_.keyEditId[key], keyText[key]);
}

MessageMap WepKeyDialog::GetMessageMap() const { return MakeMessageMap(messageMap_); }

BOOL WepKeyDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    FillTemplateLists(GetHwnd(), static_cast<int>(layout_.templateId));
    wepIdCombo.SetCurSel(wepId);
    for (int key = 0; key < WEP_KEY_COUNT; ++key) {
        FormatComboOfKey(key).SetCurSel(WEP_FORMAT_HEX);
        keyFormat[key] = WEP_FORMAT_HEX;
    }
    return TRUE;
}

void WepKeyDialog::OnWepIdChange() { wepId = wepIdCombo.GetCurSel(); }

void WepKeyDialog::OnKeyFormatChange(int key) {
    if (!UpdateData(true)) return;
    const int selection = FormatComboOfKey(key).GetCurSel();
    if (selection == keyFormat[key]) return;
    keyFormat[key] = selection;
    ConvertKeyFormat(key + 1, selection);
}

void WepKeyDialog::ConvertKeyFormat(int keyNumber, int format) {
    if (keyNumber < 1 || keyNumber > WEP_KEY_COUNT) return;
    if (!UpdateData(true)) return;
    std::string& text = keyText[keyNumber - 1];
    // To ASCII the text may gain a NUL from a "00" pair: the edit shows the
    // text up to it, and the next collection keeps only that part.
    text = quarnel::ConvertKeyFormat(*layout_.size, text, format);
    UpdateData(false);
}

bool WepKeyDialog::CheckKeyLength(int keyNumber, int format) const {
    if (keyNumber < 1 || keyNumber > WEP_KEY_COUNT) return false;
    return quarnel::CheckKeyLength(*layout_.size, keyText[keyNumber - 1], format);
}

void WepKeyDialog::OnOK() {
    if (!UpdateData(true)) return;
    int format[WEP_KEY_COUNT];
    for (int key = 0; key < WEP_KEY_COUNT; ++key) format[key] = FormatComboOfKey(key).GetCurSel();
    // Wrong lengths first (the first such key only), then typed hex that is
    // not hex: the record would otherwise get whatever strtol made of it.
    const std::string refusal = RefuseKeysOnOk(*layout_.size, keyText, format);
    if (!refusal.empty()) {
        AfxMessageBox(refusal.c_str(), MB_ICONHAND);
        return;
    }
    for (int key = 0; key < WEP_KEY_COUNT; ++key) {
        if (format[key] == WEP_FORMAT_ASCII) keyText[key] = AsciiToHex(keyText[key]);
    }
    UpdateData(false);
    Dialog::OnOK();
}

void RunWepKeyAction(int wepListSelection, WepKeyDialog& wep64Dialog, WepKeyDialog& wep128Dialog) {
    WepKeyDialog* dialog = nullptr;
    if (wepListSelection == 1) {
        dialog = &wep64Dialog;
    } else if (wepListSelection == 2) {
        dialog = &wep128Dialog;
    }
    if (dialog == nullptr) {
        AfxMessageBox("Please select wep key length first.", MB_ICONHAND);
        return;
    }
    // The handlers change keyText and wepId at once; Cancel must undo them.
    const WepKeyStore saved = *dialog;
    if (dialog->DoModal() == IDCANCEL) static_cast<WepKeyStore&>(*dialog) = saved;
}

}  // namespace quarnel
