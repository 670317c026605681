#include "envrecord/form_transfer.h"

#include <cstdio>
#include <cstring>

#include "envrecord/field_limits.h"
#include "envrecord/hex_text.h"
#include "envrecord/model_traits.h"

namespace quarnel {

namespace L = env_layout;

const char* const FLOW_XON_XOFF_TEXT = "XON/XOFF";

namespace {

bool OffersXonXoff(const MainBlock& main) {
    return main.has_xonxoff() || TraitsOf(static_cast<int>(main.model_code())).offersXonXoff;
}

// A list the transfer shows and stores by its descriptor alone: a bit field
// the main window picks an entry for.
bool IsPlainList(const SettingDescriptor& d) {
    return d.kind == SettingKind::List && d.control != 0 && d.bits[0].width != 0 && d.bits[1].width == 0;
}

// Flow-control list: the third entry is rebuilt for each converter, so reading
// several converters in turn never leaves two of them.
void ShowFlowControl(const MainBlock& main, FormControls& controls) {
    if (controls.ItemCount(IDC_FLOW_CONTROL) > 2) controls.DeleteItem(IDC_FLOW_CONTROL, 2);
    if (OffersXonXoff(main)) controls.AddItem(IDC_FLOW_CONTROL, FLOW_XON_XOFF_TEXT);
    int selection = FLOW_CONTROL_NONE;
    if (main.rts_cts())
        selection = FLOW_CONTROL_RTS_CTS;
    else if (main.xon_xoff())
        selection = FLOW_CONTROL_XON_XOFF;
    controls.SetSelection(IDC_FLOW_CONTROL, selection);
}

std::string Truncated(const std::string& text) {
    return text.size() > L::TEXT_MAX_CHARS ? text.substr(0, L::TEXT_MAX_CHARS) : text;
}

// Applies a limit to a numeric field as it is stored, correcting the field.
std::uint16_t StoreClamped(int& field, int limit) {
    if (field < 0) field = 0;
    if (field > limit) field = limit;
    return static_cast<std::uint16_t>(field);
}

// The user cannot clear a drop-down list, so a list without selection shows
// a converter value this window does not offer: its field is left as the
// converter had it instead of being overwritten with a made-up value.
bool Chosen(const FormControls& controls, int listId, int& index) {
    index = controls.GetSelection(listId);
    return index >= 0;
}

void ShowKeyRefusal(const FormContext& form, const char* format, int key) {
    char text[48];
    std::snprintf(text, sizeof text, format, key);
    if (form.showMessage) form.showMessage(text, MESSAGE_ICON_HAND);
}

}  // namespace

void RecordToForm(const MainBlock& main, const WlanBlock& wlan, const TailBlock& tail, const FormContext& form) {
    FormFields& f = form.fields;
    FormControls& c = form.controls;
    ConverterFlags& flags = form.flags;

    f.macText = form.recordLoaded == 1 ? MacText(main.mac_address()) : "MAC";

    for (const SettingDescriptor& d : SETTINGS) {
        if (IsMainCheckBox(d)) f.CheckBox(d.control) = static_cast<int>(FieldBits(main, wlan, d.bits[0]));
        if (IsPlainList(d)) c.SetSelection(d.control, static_cast<int>(FieldBits(main, wlan, d.bits[0])) - d.listBase);
    }

    flags.no_telnet = static_cast<int>(main.no_telnet());
    flags.long_limits = static_cast<int>(main.long_limits());
    flags.no_dhcp = static_cast<int>(main.no_dhcp());
    flags.no_eapol = static_cast<int>(main.no_eapol());
    flags.has_permitted_ip = static_cast<int>(main.has_permitted_ip());

    flags.model_code = static_cast<int>(main.model_code());
    flags.fw_major = static_cast<int>(main.fw_major());
    flags.fw_revision = static_cast<int>(main.fw_revision());
    flags.fw_minor = static_cast<int>(main.fw_minor());
    if (flags.model_code != 0) f.firmwareText = FirmwareLabel(main);

    flags.has_comment = static_cast<int>(main.has_comment());
    f.commentText = flags.has_comment ? tail.comment() : std::string();

    f.secureEnabled = static_cast<int>(main.secure());
    flags.has_remote_search = static_cast<int>(main.has_remote_search());

    c.SetAddress(IDC_LOCAL_IP, main.local_ip());
    c.SetAddress(IDC_SUBNET_MASK, main.subnet_mask());
    c.SetAddress(IDC_GATEWAY_IP, main.gateway_ip());

    if (c.GetSelection(IDC_PORT) == -1) c.SetSelection(IDC_PORT, 0);

    c.SetSelection(IDC_BAUD_RATE, BaudIndexForRate(main.baud_rate()));
    ShowFlowControl(main, c);
    c.SetSelection(IDC_MODE, main.mode());

    f.timeoutValue = main.timeout();
    f.waterMark = main.water_mark();
    c.SetAddress(IDC_PEER_IP, main.peer_ip());
    f.localPort = main.local_port();
    f.peerPort = main.peer_port();

    // The buffers take the stored bytes as they are, so bytes after a zero
    // travel back unchanged.
    std::uint8_t identity[L::EAPOL_IDENTITY_SIZE];
    main.eapol_identity_bytes(identity);
    std::memset(form.eapUserName, 0, sizeof form.eapUserName);
    std::memcpy(form.eapUserName, identity, sizeof identity);
    std::memset(form.eapPassword, 0, sizeof form.eapPassword);
    main.CopyOut(L::EAPOL_PASSWORD, reinterpret_cast<std::uint8_t*>(form.eapPassword));

    f.wlanCfg = static_cast<int>(main.wlan_cfg());

    f.targetSsid = wlan.ssid();
    f.adhocSsid = wlan.adhoc_ssid();

    form.wep64.wepId = static_cast<int>(wlan.wep_key_id());
    form.wep128.wepId = static_cast<int>(wlan.wep_key_id());
    form.startup.adHocOnBoot = static_cast<int>(wlan.boot_adhoc());
    form.startup.infrastructureOnBoot = static_cast<int>(wlan.boot_infra());

    for (int i = 0; i < L::WEP_KEY_COUNT; ++i) {
        form.wep64.keyText[i] = BytesToHex(wlan.wep64_key_bytes(i), L::WEP64_KEY_SIZE);
        form.wep128.keyText[i] = BytesToHex(wlan.wep128_key_bytes(i), L::WEP128_KEY_SIZE);
    }
}

int FormToRecord(MainBlock& main, WlanBlock& wlan, TailBlock& tail, const FormContext& form) {
    FormFields& f = form.fields;
    const FormControls& c = form.controls;

    const int model = static_cast<int>(main.model_code());

    int chosen = 0;
    for (const SettingDescriptor& d : SETTINGS) {
        if (IsMainCheckBox(d)) SetFieldBits(main, wlan, d.bits[0], static_cast<std::uint32_t>(f.CheckBox(d.control)));
        if (IsPlainList(d) && Chosen(c, d.control, chosen))
            SetFieldBits(main, wlan, d.bits[0], static_cast<std::uint32_t>(chosen + d.listBase));
    }

    tail.set_comment(Truncated(f.commentText));

    main.set_local_ip(c.GetAddress(IDC_LOCAL_IP));
    main.set_subnet_mask(c.GetAddress(IDC_SUBNET_MASK));
    main.set_gateway_ip(c.GetAddress(IDC_GATEWAY_IP));
    main.set_peer_ip(c.GetAddress(IDC_PEER_IP));

    if (Chosen(c, IDC_MODE, chosen)) main.set_mode(static_cast<std::uint8_t>(chosen));

    if (Chosen(c, IDC_FLOW_CONTROL, chosen)) {
        main.set_rts_cts(chosen == FLOW_CONTROL_RTS_CTS ? 1 : 0);
        main.set_xon_xoff(chosen == FLOW_CONTROL_XON_XOFF ? 1 : 0);
    }

    if (Chosen(c, IDC_BAUD_RATE, chosen)) main.set_baud_rate(BaudRateForIndex(chosen));

    main.set_timeout(StoreClamped(f.timeoutValue, StoredTimeoutLimit(model)));
    main.set_water_mark(StoreClamped(f.waterMark, StoredWaterMarkLimit(model)));
    main.set_local_port(StoreClamped(f.localPort, PORT_MAX));
    main.set_peer_port(StoreClamped(f.peerPort, PORT_MAX));

    std::uint8_t identity[L::EAPOL_IDENTITY_SIZE];
    std::memcpy(identity, form.eapUserName, sizeof identity);
    main.set_eapol_identity_bytes(identity);
    main.CopyIn(L::EAPOL_PASSWORD, reinterpret_cast<const std::uint8_t*>(form.eapPassword));

    main.set_wlan_cfg(f.wlanCfg & 1);

    wlan.set_ssid(Truncated(f.targetSsid));
    wlan.set_adhoc_ssid(Truncated(f.adhocSsid));

    wlan.set_boot_adhoc(form.startup.adHocOnBoot & 1);
    wlan.set_boot_infra(form.startup.infrastructureOnBoot & 1);

    const WepKeyStore& keysInUse = wlan.wep_mode() == 1 ? form.wep64 : form.wep128;
    wlan.set_wep_key_id(static_cast<std::uint32_t>(keysInUse.wepId) & 3);

    for (int i = 0; i < L::WEP_KEY_COUNT; ++i) {
        if (!HexToBytes(wlan.wep64_key_bytes(i), L::WEP64_KEY_SIZE, form.wep64.keyText[i])) {
            ShowKeyRefusal(form, "The WEP64 Key%d is wrong!", i);
            return 0;
        }
        if (!HexToBytes(wlan.wep128_key_bytes(i), L::WEP128_KEY_SIZE, form.wep128.keyText[i])) {
            ShowKeyRefusal(form, "The WEP128 Key%d is wrong!", i);
            return 0;
        }
    }
    return 1;
}

}  // namespace quarnel
