#include "ui/config_dialog.h"

#include <algorithm>

#include "ui/about_dialog.h"
#include "envrecord/field_limits.h"
#include "envrecord/form_transfer.h"
#include "envrecord/record_values.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "framework/resource_module.h"
#include "ui/template_lists.h"
#include "resources/resource.h"
#include "serial/com_port_list.h"
#include "serial/port_messages.h"
#include "ui/control_rules.h"
#include "ui/eap_id_dialog.h"
#include "ui/field_rules.h"
#include "ui/password_dialog.h"

namespace quarnel {

namespace {

// The SSIDs and the comment take as many characters as their record fields.
constexpr int SSID_MAX_CHARS = env_layout::TEXT_MAX_CHARS;
constexpr int COMMENT_MAX_CHARS = env_layout::TEXT_MAX_CHARS;

}  // namespace

ConfigDialog::ConfigDialog() : Dialog(IDD_CONFIG) {
    appIcon = LoadIconA(GetResourceInstance(), MAKEINTRESOURCEA(IDI_QUARNEL));
}

ConfigDialog::~ConfigDialog() {
    // The window goes first so that its WM_DESTROY handling (closing the
    // port) runs while every member still exists.
    DestroyWindow();
}

MessageMap ConfigDialog::GetMessageMap() const {
    static const MessageEntry map[] = {
        OnMessage(WM_SYSCOMMAND, &ConfigDialog::OnSysCommand),
        OnMessage(WM_PAINT, &ConfigDialog::OnPaint),
        OnMessage(WM_QUERYDRAGICON, &ConfigDialog::OnQueryDragIcon),
        OnClicked(IDC_READ, &ConfigDialog::OnRead),
        OnClicked(IDC_WEP_KEY, &ConfigDialog::OnWepKey),
        OnClicked(IDC_EXIT, &ConfigDialog::OnExit),
        OnClicked(IDC_WRITE, &ConfigDialog::OnWrite),
        OnClicked(IDC_CHANGE_PWD, &ConfigDialog::OnChangePassword),
        OnClicked(IDC_DHCP, &ConfigDialog::RefreshControls),
        OnClicked(IDC_EAPOL, &ConfigDialog::RefreshControls),
        OnClicked(IDC_KIVRA, &ConfigDialog::OnKivra),
        OnKillFocus(IDC_LOCAL_PORT, &ConfigDialog::OnLocalPortKillFocus),
        OnKillFocus(IDC_PEER_PORT, &ConfigDialog::OnPeerPortKillFocus),
        OnKillFocus(IDC_TIMEOUT, &ConfigDialog::OnTimeoutKillFocus),
        OnKillFocus(IDC_WATER_MARK, &ConfigDialog::OnWaterMarkKillFocus),
        OnSelChange(IDC_MODE, &ConfigDialog::RefreshControls),
        OnSelChange(IDC_WLAN_MODE, &ConfigDialog::RefreshControls),
        OnMessage(WM_TIMER, &ConfigDialog::OnTimer),
        OnClicked(IDC_START_OPTION, &ConfigDialog::OnStartOption),
        OnClicked(IDC_EAP_ID, &ConfigDialog::OnEapId),
        OnKillFocus(IDC_COMMENT, &ConfigDialog::OnCommentKillFocus),
        OnSelChange(IDC_SERIAL_TYPE, &ConfigDialog::OnSerialTypeChange),
        OnClicked(IDC_MULTI_CONN, &ConfigDialog::OnMultiConn),
        OnClicked(IDC_OPEN, &ConfigDialog::OnOpen),
        OnCommand(CBN_DROPDOWN, IDC_PORT, &ConfigDialog::OnPortDropDown),
        OnClicked(IDC_CLOSE, &ConfigDialog::OnClose),
        OnMessage(WM_DESTROY, &ConfigDialog::OnDestroy),
        OnClicked(IDC_INITIALIZE_ENV, &ConfigDialog::OnInitializeEnv),
        OnMessage(WM_PORT_EVENT, &ConfigDialog::OnPortEvent),
        OnMessage(WM_PORT_OPENED, &ConfigDialog::OnPortOpened),
        OnMessage(WM_KICKIDLE, &ConfigDialog::OnKickIdle),
        OnClicked(IDC_SAVE_SETTINGS, &ConfigDialog::OnSaveSettings),
        OnClicked(IDC_LOAD_SETTINGS, &ConfigDialog::OnLoadSettings),
    };
    return MakeMessageMap(map);
}

void ConfigDialog::DoDataExchange(DataExchange& dx) {
    // The settings' check boxes never refuse: taking them first leaves none stale.
    for (const SettingDescriptor& d : SETTINGS) {
        if (IsMainCheckBox(d)) DDX_Check(dx, d.control, fields.CheckBox(d.control));
    }
    DDX_Control(dx, IDC_AUTH_MODE, authModeList);
    DDX_Control(dx, IDC_SERIAL_TYPE, serialTypeList);
    DDX_Control(dx, IDC_STOP_BITS, stopBitList);
    DDX_Control(dx, IDC_CHANNEL, channelList);
    DDX_Control(dx, IDC_WEP_MODE, wepList);
    DDX_Control(dx, IDC_WLAN_MODE, wlanModeList);
    DDX_Control(dx, IDC_PORT, portCombo);
    DDX_Control(dx, IDC_SUBNET_MASK, subnetMask);
    DDX_Control(dx, IDC_FLOW_CONTROL, flowControlList);
    DDX_Control(dx, IDC_PEER_IP, peerIp);
    DDX_Control(dx, IDC_PARITY, parityList);
    DDX_Control(dx, IDC_MODE, modeList);
    DDX_Control(dx, IDC_LOCAL_IP, localIp);
    DDX_Control(dx, IDC_GATEWAY_IP, gatewayIp);
    DDX_Control(dx, IDC_DATA_BITS, dataBitsList);
    DDX_Control(dx, IDC_BAUD_RATE, baudRateList);
    DDX_Text(dx, IDC_LOCAL_PORT, fields.localPort);
    DDX_Text(dx, IDC_PEER_PORT, fields.peerPort);
    DDX_Text(dx, IDC_TIMEOUT, fields.timeoutValue);
    DDX_Text(dx, IDC_WATER_MARK, fields.waterMark);
    DDX_Text(dx, IDC_MAC_TEXT, fields.macText);
    DDX_Text(dx, IDC_ADHOC_SSID, fields.adhocSsid);
    DDV_MaxChars(dx, fields.adhocSsid, SSID_MAX_CHARS);
    DDX_Text(dx, IDC_TARGET_SSID, fields.targetSsid);
    DDV_MaxChars(dx, fields.targetSsid, SSID_MAX_CHARS);
    DDX_Text(dx, IDC_PEER_IP_LABEL, fields.peerLabel);
    DDX_Check(dx, IDC_WLAN_CFG, fields.wlanCfg);
    DDX_Text(dx, IDC_TIMEOUT_LABEL, fields.timeoutLabel);
    DDX_Text(dx, IDC_WATER_MARK_LABEL, fields.waterMarkLabel);
    DDX_Text(dx, IDC_COMMENT, fields.commentText);
    DDV_MaxChars(dx, fields.commentText, COMMENT_MAX_CHARS);
    DDX_Check(dx, IDC_SECURE, fields.secureEnabled);
    DDX_Text(dx, IDC_FIRMWARE_TEXT, fields.firmwareText);
}

void ConfigDialog::OnDataExchangeError(int controlId, const char* message) {
    refusedControl_ = controlId;
    Dialog::OnDataExchangeError(controlId, message);
}

bool ConfigDialog::CollectForm() {
    refusedControl_ = 0;
    return UpdateData(true);
}

void ConfigDialog::ShowField(int controlId) { UpdateDataFor(controlId, false); }

bool ConfigDialog::FocusStaysInWindow() const {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == GetHwnd() || IsChild(GetHwnd(), focus));
}

BOOL ConfigDialog::OnInitDialog() {
    FillTemplateLists(GetHwnd(), IDD_CONFIG);
    Dialog::OnInitDialog();

    HMENU systemMenu = GetSystemMenu(GetHwnd(), FALSE);
    char aboutText[64] = "";
    LoadStringA(GetResourceInstance(), IDS_ABOUTBOX, aboutText, sizeof aboutText);
    if (systemMenu && aboutText[0]) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
        AppendMenuA(systemMenu, MF_STRING | (verifyAfterWrite ? MF_CHECKED : MF_UNCHECKED), IDM_VERIFY_AFTER_WRITE,
                    "Verify after write");
    }
    SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

    FillPortCombo();
    link.Exchange().monitorMode = 0;
    SetDefaultRecord(record.main, record.wlan, record.tail);
    RecordToForm(record.main, record.wlan, record.tail, Form());
    UpdateData(false);
    fields.commentText.clear();
    RefreshControls();
    EnableDlgItem(IDC_CLOSE, false);
    link.Attach(GetHwnd());
    return TRUE;
}

void ConfigDialog::FillPortCombo() {
    uint16_t ports[MAX_COM_PORTS];
    const int portCount = ComPortList(ports, MAX_COM_PORTS);
    portCombo.ResetContent();
    for (int i = 0; i < portCount; ++i) {
        char name[12];
        wsprintfA(name, "COM%d", ports[i]);
        portCombo.AddString(name);
    }
    // An empty list stays enabled: dropping it down lists the ports again,
    // so an adapter plugged in after start-up can still be picked.
    if (portCount > 0) portCombo.SetCurSel(0);
}

FormContext ConfigDialog::Form() {
    return FormContext{fields,
                       *this,
                       flags,
                       eapUserName,
                       eapPassword,
                       wep64Dialog,
                       wep128Dialog,
                       startupDialog,
                       link.Exchange().recordLoaded,
                       [](const char* text, unsigned icon) { AfxMessageBox(text, icon); }};
}

void ConfigDialog::RefreshControls() {
    const bool collected = link.Exchange().recordLoaded == 1 ? CollectForRules() : true;
    ApplyControlRules(collected);
}

bool ConfigDialog::CollectForRules() {
    if (CollectForm()) return true;
    // The rules need these boxes as the user left them, whatever field
    // stopped the collection; a box never refuses.
    UpdateDataFor(IDC_DHCP, true);
    UpdateDataFor(IDC_EAPOL, true);
    UpdateDataFor(IDC_MULTI_CONN, true);
    return false;
}

void ConfigDialog::ApplyControlRules(bool collected) {
    ControlInputs in;
    in.recordLoaded = link.Exchange().recordLoaded;
    in.monitorMode = link.Exchange().monitorMode;
    in.modeSelection = modeList.GetCurSel();
    in.serialTypeSelection = serialTypeList.GetCurSel();
    in.wlanModeSelection = wlanModeList.GetCurSel();
    in.model_code = flags.model_code;
    in.multiConn = fields.CheckBox(IDC_MULTI_CONN);
    in.dhcpEnabled = fields.CheckBox(IDC_DHCP);
    in.eapolEnabled = fields.CheckBox(IDC_EAPOL);
    in.no_telnet = flags.no_telnet;
    in.no_dhcp = flags.no_dhcp;
    in.no_eapol = flags.no_eapol;
    in.has_permitted_ip = flags.has_permitted_ip;
    in.has_remote_search = flags.has_remote_search;
    in.has_comment = flags.has_comment;
    const ControlDecisions decided = DecideControls(in);

    fields.CheckBox(IDC_DHCP) = decided.dhcpEnabled;
    fields.CheckBox(IDC_EAPOL) = decided.eapolEnabled;
    fields.peerLabel = decided.peerLabel;
    fields.timeoutLabel = decided.timeoutLabel;
    fields.waterMarkLabel = decided.waterMarkLabel;
    for (const ControlDecision& d : decided.controls) {
        if (d.state == ControlState::Unchanged) continue;
        EnableDlgItem(d.id, d.state == ControlState::Enabled);
    }
    UpdateFileButtons();
    if (collected) {
        UpdateData(false);
    } else {
        // Only what the rules themselves set; the rest shows what the user
        // typed, which the failed collection did not take in.
        for (int id : {IDC_DHCP, IDC_EAPOL, IDC_PEER_IP_LABEL, IDC_TIMEOUT_LABEL, IDC_WATER_MARK_LABEL}) {
            ShowField(id);
        }
    }
}

void ConfigDialog::LimitNumberOnLeave(int controlId, int& value, int (*limit)(int value, const ConverterFlags&)) {
    if (!FocusStaysInWindow()) return;
    const bool collected = CollectForm();
    if (collected) {
        value = limit(value, flags);
        UpdateData(false);
    } else if (WasCollected(controlId)) {
        value = limit(value, flags);
        ShowField(controlId);
    }
}

void ConfigDialog::OnLocalPortKillFocus() {
    LimitNumberOnLeave(IDC_LOCAL_PORT, fields.localPort, [](int v, const ConverterFlags&) { return ClampPort(v); });
}

void ConfigDialog::OnPeerPortKillFocus() {
    LimitNumberOnLeave(IDC_PEER_PORT, fields.peerPort, [](int v, const ConverterFlags&) { return ClampPort(v); });
}

void ConfigDialog::OnTimeoutKillFocus() {
    LimitNumberOnLeave(IDC_TIMEOUT, fields.timeoutValue,
                       [](int v, const ConverterFlags& f) { return ClampTimeoutOnLeave(v, f.long_limits); });
}

void ConfigDialog::OnWaterMarkKillFocus() {
    LimitNumberOnLeave(IDC_WATER_MARK, fields.waterMark, [](int v, const ConverterFlags& f) {
        return ClampWaterMarkOnLeave(v, f.long_limits, f.model_code);
    });
}

void ConfigDialog::OnCommentKillFocus() {
    // The message below takes the focus from the comment; checking again
    // then would report the same text over and over.
    if (!FocusStaysInWindow()) return;
    const bool collected = CollectForm();
    // A comment refused for its length is already in the member.
    const bool commentTaken = collected || WasCollected(IDC_COMMENT) || refusedControl_ == IDC_COMMENT;
    if (!commentTaken) return;
    if (LimitComment(fields.commentText)) {
        ShowMessageBox(GetHwnd(), COMMENT_TOO_LONG_MESSAGE, "", MB_OK | MB_ICONEXCLAMATION);
    }
    if (collected) {
        UpdateData(false);
    } else {
        ShowField(IDC_COMMENT);
    }
}

void ConfigDialog::OnSerialTypeChange() {
    const SerialTypeEffect effect = OnSerialTypeSelected(serialTypeList.GetCurSel());
    if (effect.resetFlowSelection) flowControlList.SetCurSel(0);
    EnableDlgItem(IDC_FLOW_CONTROL, effect.flowEnabled);
}

void ConfigDialog::OnMultiConn() {
    // One collection serves this handler and the rules.
    const bool collected = CollectForRules();
    const MultiConnEffect effect = OnMultiConnChanged(fields.CheckBox(IDC_MULTI_CONN));
    if (effect.forceSelections) {
        modeList.SetCurSel(effect.modeSelection);
        flowControlList.SetCurSel(effect.flowSelection);
        serialTypeList.SetCurSel(effect.serialTypeSelection);
    }
    ApplyControlRules(collected);
}

void ConfigDialog::OnKivra() {
    if (!CollectForm()) UpdateDataFor(IDC_KIVRA, true);
    if (!fields.CheckBox(IDC_KIVRA)) {
        AfxMessageBox("You can't probe/read Tarvo's environment next time, if KIVRA is disabled.",
                      MB_OK | MB_ICONEXCLAMATION);
    }
}

void ConfigDialog::OnExit() { PostQuitMessage(0); }

void ConfigDialog::OnWepKey() { RunWepKeyAction(wepList.GetCurSel(), wep64Dialog, wep128Dialog); }

void ConfigDialog::OnChangePassword() {
    MainBlock::PasswordBlock block = record.main.password_block();
    RunChangePassword(*this, block);
    record.main.set_password_block(block);
}

void ConfigDialog::OnEapId() { RunEapId(eapUserName, eapPassword); }

void ConfigDialog::OnStartOption() { RunStartOption(startupDialog); }

// FormControls over the bound list and address controls.

ComboBox* ConfigDialog::ListById(int controlId) {
    switch (controlId) {
        case IDC_AUTH_MODE: return &authModeList;
        case IDC_SERIAL_TYPE: return &serialTypeList;
        case IDC_STOP_BITS: return &stopBitList;
        case IDC_CHANNEL: return &channelList;
        case IDC_WEP_MODE: return &wepList;
        case IDC_WLAN_MODE: return &wlanModeList;
        case IDC_PORT: return &portCombo;
        case IDC_FLOW_CONTROL: return &flowControlList;
        case IDC_PARITY: return &parityList;
        case IDC_MODE: return &modeList;
        case IDC_DATA_BITS: return &dataBitsList;
        case IDC_BAUD_RATE: return &baudRateList;
        default: return nullptr;
    }
}

IpAddressCtrl* ConfigDialog::AddressById(int controlId) {
    switch (controlId) {
        case IDC_SUBNET_MASK: return &subnetMask;
        case IDC_PEER_IP: return &peerIp;
        case IDC_LOCAL_IP: return &localIp;
        case IDC_GATEWAY_IP: return &gatewayIp;
        default: return nullptr;
    }
}

int ConfigDialog::GetSelection(int controlId) const {
    const ComboBox* list = ListById(controlId);
    return list ? list->GetCurSel() : -1;
}

void ConfigDialog::SetSelection(int controlId, int index) {
    if (ComboBox* list = ListById(controlId)) list->SetCurSel(index);
}

int ConfigDialog::ItemCount(int controlId) const {
    const ComboBox* list = ListById(controlId);
    return list ? list->GetCount() : 0;
}

void ConfigDialog::DeleteItem(int controlId, int index) {
    if (ComboBox* list = ListById(controlId)) list->DeleteString(index);
}

void ConfigDialog::AddItem(int controlId, const char* text) {
    if (ComboBox* list = ListById(controlId)) list->AddString(text);
}

std::uint32_t ConfigDialog::GetAddress(int controlId) const {
    DWORD address = 0;
    if (const IpAddressCtrl* control = AddressById(controlId)) control->GetAddress(address);
    return address;
}

void ConfigDialog::SetAddress(int controlId, std::uint32_t hostOrder) {
    if (IpAddressCtrl* control = AddressById(controlId)) control->SetAddress(hostOrder);
}

}  // namespace quarnel
