#pragma once

// Which controls of the main window are enabled, and what its three run-time
// labels say, decided from the window's fields alone. The window collects its
// fields (when a record is loaded), calls DecideControls, writes back the
// forced check-box values and labels, and applies `controls` in their order.

#include <cstdint>

#include "envrecord/settings.h"

namespace quarnel {

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
    static constexpr int OTHER_CONTROLS = 34;  // the controls that are no setting's check box
    static constexpr int COUNT = OTHER_CONTROLS + MAIN_CHECK_BOX_COUNT;
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
