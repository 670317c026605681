#pragma once

// Which controls of the main window are enabled, and what its three run-time
// labels say, decided from the window's fields alone. The window collects its
// fields (when a record is loaded), calls DecideControls, writes back the
// forced check-box values and labels, and applies `controls` in their order.

#include <cstdint>

namespace quarnel {

// Control ids of the main window that the rules decide.
namespace ctl {
enum : int {
    TARGET_SSID = 1001,
    ADHOC_SSID = 1002,
    CHANNEL = 1003,
    WLAN_MODE = 1004,
    WEP = 1005,
    LOCAL_IP = 1007,
    SUBNET_MASK = 1008,
    AUTH_MODE = 1009,
    GATEWAY_IP = 1010,
    PEER_IP = 1013,
    BAUDRATE = 1014,
    PARITY = 1015,
    DATA_BITS = 1016,
    FLOW_CONTROL = 1017,
    SERIAL_TYPE = 1019,
    MODE = 1020,
    TIMEOUT = 1021,
    WATER_MARK = 1022,
    LOCAL_PORT = 1023,
    PEER_PORT = 1024,
    RESERVED_IP = 1025,
    WEP_KEY = 1026,
    EAPOL = 1027,
    POWER_DOWN = 1028,
    WLAN_CFG = 1029,
    READ = 1030,
    CHANGE_PWD = 1031,
    START_OPTION = 1032,
    WRITE = 1033,
    STOP_BIT = 1034,
    EAP_ID = 1035,
    KIVRA = 1037,
    ARP = 1038,
    DHCP = 1039,
    PPPOE = 1040,
    TELNET = 1041,
    SECURE = 1042,
    RESERVED_EDIT = 1043,
    MULTI_CONN = 1047,
    REMOTE_SEARCH = 1048,
    COMMENT = 1049,
    INITIALIZE_ENV = 1074,
};
}  // namespace ctl

// The window's fields the rules read. Flags hold 0 or 1; selections are list
// indexes, -1 for none.
struct ControlInputs {
    int recordLoaded = 0;
    int monitorMode = 0;
    int modeSelection = -1;        // mode list 1020: 0 T2S, 1 ATC, 2 COD, 3 U2S
    int serialTypeSelection = -1;  // Serial Type 1019: 0 RS-232
    int wlanModeSelection = -1;    // WLAN Mode 1004: 1 Infrastructure
    int model_code = 0;
    int multiConn = 0;
    int dhcpEnabled = 0;
    int eapolEnabled = 0;
    // Copies of the converter's flags.
    int no_telnet = 0;
    int no_dhcp = 0;
    int no_eapol = 0;
    int has_permitted_ip = 0;
    int has_remote_search = 0;
    int has_comment = 0;
};

enum class ControlState : std::uint8_t {
    Disabled,
    Enabled,
    Unchanged,  // the window leaves the control as it is
};

struct ControlDecision {
    int id;
    ControlState state;
};

struct ControlDecisions {
    static constexpr int COUNT = 42;
    ControlDecision controls[COUNT];  // every decided control once, in the order to apply them

    // The check boxes' values afterwards (the converter may forbid DHCP and
    // EAPoL; otherwise the inputs come back unchanged).
    int dhcpEnabled;
    int eapolEnabled;

    const char* peerLabel;
    const char* timeoutLabel;
    const char* waterMarkLabel;

    // The decision for `id`; Unchanged for a control the rules do not touch.
    ControlState StateOf(int id) const;
};

ControlDecisions DecideControls(const ControlInputs& in);

}  // namespace quarnel
