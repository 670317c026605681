#include "ui/control_rules.h"

#include "envrecord/model_traits.h"
#include "envrecord/settings.h"
#include "resources/resource.h"

namespace quarnel {

namespace {

constexpr const char* PEER_LABEL = "Peer ip address";
constexpr const char* PERMITTED_LABEL = "Permitted ip address";
constexpr const char* TIMEOUT_LABEL = "Timeout";
constexpr const char* INTERVAL_LABEL = "Interval(10ms)";
constexpr const char* CONN_BYTE_LABEL = "Conn. Byte";
constexpr const char* BLOCK_LABEL = "Block(Byte)";

// Entries of the mode table: some depend on the converter (IF_SERIAL: a model
// with the serial-side controls, model_traits.h).
enum Avail : std::uint8_t { NO, YES, IF_SERIAL, IF_PERMITTED_IP };

struct ModeRow {
    Avail dhcp, timeout, localPort, waterMark, peerIp, peerPort;
    const char* timeoutLabel;
    const char* waterMarkLabel;
};

// One row per mode, in columns.
// clang-format off
constexpr ModeRow MODE_TABLE[] = {
    //  DHCP        time-out  LocalPort  waterMark  Peer IP          PeerPort
    {IF_SERIAL,  YES, YES, NO,  IF_PERMITTED_IP, NO,  TIMEOUT_LABEL,  CONN_BYTE_LABEL},  // 0 T2S
    {YES,        YES, NO,  NO,  NO,              NO,  TIMEOUT_LABEL,  CONN_BYTE_LABEL},  // 1 ATC
    {YES,        YES, NO,  YES, YES,             YES, TIMEOUT_LABEL,  CONN_BYTE_LABEL},  // 2 COD
    {NO,         YES, YES, YES, YES,             YES, INTERVAL_LABEL, BLOCK_LABEL},      // 3 U2S
};
// clang-format on
constexpr ModeRow NO_MODE = {NO, NO, NO, NO, NO, NO, TIMEOUT_LABEL, CONN_BYTE_LABEL};

constexpr int MODE_T2S = 0;
constexpr int SERIAL_RS232 = 0;
constexpr int WLAN_INFRASTRUCTURE = 1;

bool Holds(Avail a, const ControlInputs& in) {
    switch (a) {
        case YES: return true;
        case IF_SERIAL: return TraitsOf(in.model_code).serialSide;
        case IF_PERMITTED_IP: return in.has_permitted_ip != 0;
        case NO: break;
    }
    return false;
}

ControlState On(bool enabled) { return enabled ? ControlState::Enabled : ControlState::Disabled; }

}  // namespace

ControlState ControlDecisions::StateOf(int id) const {
    for (const ControlDecision& d : controls) {
        if (d.id == id) return d.state;
    }
    return ControlState::Unchanged;
}

ControlDecisions DecideControls(const ControlInputs& in) {
    // Without a record every control starts and stays disabled, and the mode
    // table's "none" row supplies the labels. The steps below only ever
    // enable, or take back what they enabled.
    const bool loaded = in.recordLoaded == 1;
    const bool serialSide = loaded && TraitsOf(in.model_code).serialSide;
    const int mode = in.modeSelection;
    const ModeRow& row = loaded && mode >= 0 && mode <= 3 ? MODE_TABLE[mode] : NO_MODE;

    const bool serialLocksFlow = in.serialTypeSelection != SERIAL_RS232;  // no selection counts too
    const bool multiConnLocks = serialSide && in.multiConn != 0;

    ControlDecisions out{};
    out.dhcpEnabled = loaded && in.no_dhcp ? 0 : in.dhcpEnabled;
    const bool eapolForbidden = in.no_eapol != 0 || in.monitorMode == 1;
    out.eapolEnabled = loaded && eapolForbidden ? 0 : in.eapolEnabled;

    const bool peerIp = loaded && Holds(row.peerIp, in);
    out.peerLabel = peerIp && mode == MODE_T2S ? PERMITTED_LABEL : PEER_LABEL;
    out.timeoutLabel = row.timeoutLabel;
    out.waterMarkLabel = row.waterMarkLabel;

    const bool comment = loaded && (serialSide || in.has_comment != 0);
    const bool addresses = loaded && out.dhcpEnabled == 0;

    // The settings' check boxes are enabled with a record, but for these.
    const ControlDecision checkBoxRules[] = {
        {IDC_TELNET, On(loaded && in.no_telnet == 0)},
        {IDC_POWER_DOWN, On(loaded && in.monitorMode == 1)},
        {IDC_DHCP, On(loaded && Holds(row.dhcp, in) && in.no_dhcp == 0)},
        {IDC_EAPOL, On(loaded && !eapolForbidden)},
        {IDC_REMOTE_SEARCH, On(loaded && in.has_remote_search != 0)},
        {IDC_MULTI_CONN, On(serialSide && mode == MODE_T2S)},
    };
    const ControlDecision others[] = {
        {IDC_BAUD_RATE, On(loaded)},
        {IDC_DATA_BITS, On(loaded)},
        {IDC_PARITY, On(loaded)},
        {IDC_MODE, On(loaded && !multiConnLocks)},
        {IDC_FLOW_CONTROL, On(loaded && !serialLocksFlow && !multiConnLocks)},
        {IDC_READ, loaded ? ControlState::Unchanged : ControlState::Disabled},
        {IDC_WRITE, On(loaded)},
        {IDC_EAP_ID, On(loaded && out.eapolEnabled != 0)},
        {IDC_CHANGE_PWD, On(loaded)},
        {IDC_START_OPTION, On(loaded && in.monitorMode == 1)},
        {IDC_WEP_KEY, On(loaded)},
        {IDC_INITIALIZE_ENV, On(loaded)},
        {IDC_WLAN_MODE, On(loaded)},
        {IDC_TARGET_SSID, On(loaded)},
        {IDC_ADHOC_SSID, On(loaded && in.wlanModeSelection != WLAN_INFRASTRUCTURE)},
        {IDC_CHANNEL, On(loaded)},
        {IDC_WEP_MODE, On(loaded)},
        {IDC_AUTH_MODE, On(loaded)},
        // The common part, in its order.
        {IDC_LOCAL_IP, On(addresses)},
        {IDC_SUBNET_MASK, On(addresses)},
        {IDC_GATEWAY_IP, On(addresses)},
        {IDC_TIMEOUT, On(loaded && Holds(row.timeout, in))},
        {IDC_LOCAL_PORT, On(loaded && Holds(row.localPort, in))},
        {IDC_WATER_MARK, On(loaded && Holds(row.waterMark, in))},
        {IDC_PEER_IP, On(peerIp)},
        {IDC_PEER_PORT, On(loaded && Holds(row.peerPort, in))},
        {IDC_COMMENT, On(comment)},
        {IDC_RESERVED_IP, ControlState::Disabled},
        {IDC_PPPOE, ControlState::Disabled},
        {IDC_SECURE, ControlState::Disabled},
        {IDC_RESERVED_EDIT, ControlState::Disabled},
        {IDC_SERIAL_TYPE, On(serialSide && in.multiConn == 0)},
        {IDC_STOP_BITS, On(serialSide)},
        {IDC_WLAN_CFG, ControlState::Disabled},
    };
    static_assert(sizeof others / sizeof others[0] == ControlDecisions::OTHER_CONTROLS, "one row per control");
    int n = 0;
    for (const ControlDecision& d : others) out.controls[n++] = d;
    for (const SettingDescriptor& d : SETTINGS) {
        if (!IsMainCheckBox(d)) continue;
        ControlDecision decision{d.control, On(loaded)};
        for (const ControlDecision& rule : checkBoxRules) {
            if (rule.id == d.control) decision = rule;
        }
        out.controls[n++] = decision;
    }
    return out;
}

}  // namespace quarnel
