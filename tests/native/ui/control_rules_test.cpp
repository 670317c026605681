#include "ui/control_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace quarnel {
namespace {

constexpr ControlState E = ControlState::Enabled;
constexpr ControlState D = ControlState::Disabled;
constexpr ControlState U = ControlState::Unchanged;

ControlInputs Loaded(int mode, int model = 1) {
    ControlInputs in;
    in.recordLoaded = 1;
    in.modeSelection = mode;
    in.serialTypeSelection = 0;
    in.wlanModeSelection = 0;
    in.model_code = model;
    return in;
}

// The decided states of the controls `ids`, in that order.
std::vector<ControlState> States(const ControlDecisions& out, std::initializer_list<int> ids) {
    std::vector<ControlState> states;
    for (int id : ids) states.push_back(out.StateOf(id));
    return states;
}

std::string Describe(const ControlInputs& in) {
    char text[96];
    std::snprintf(text, sizeof text, "loaded %d monitor %d mode %d model %d multi %d dhcp %d eapol %d no_dhcp %d",
                  in.recordLoaded, in.monitorMode, in.modeSelection, in.model_code, in.multiConn, in.dhcpEnabled,
                  in.eapolEnabled, in.no_dhcp);
    return text;
}

// Calls `check` for every mode x recordLoaded x monitorMode x model 9 or not
// x the flags that change a decision.
template <typename Check>
void ForEveryWindowState(Check check) {
    for (int loaded : {0, 1})
        for (int mode = -1; mode <= 3; ++mode)
            for (int monitor : {0, 1})
                for (int model : {1, 9})
                    for (int flags = 0; flags < 32; ++flags) {
                        ControlInputs in;
                        in.recordLoaded = loaded;
                        in.modeSelection = mode;
                        in.monitorMode = monitor;
                        in.model_code = model;
                        in.multiConn = flags & 1;
                        in.dhcpEnabled = (flags >> 1) & 1;
                        in.eapolEnabled = (flags >> 2) & 1;
                        in.no_dhcp = (flags >> 3) & 1;
                        in.has_permitted_ip = (flags >> 4) & 1;
                        in.no_eapol = (flags >> 3) & 1;
                        in.no_telnet = in.has_remote_search = in.has_comment = (flags >> 4) & 1;
                        in.serialTypeSelection = flags % 3;
                        in.wlanModeSelection = flags % 4;
                        check(in, DecideControls(in));
                    }
}

TEST(ControlRules, WithoutRecordEverythingIsDisabledAndTheFieldsAreKept) {
    ForEveryWindowState([](const ControlInputs& in, const ControlDecisions& out) {
        for (int id : {1006, 1051, 1052, 1036}) EXPECT_EQ(out.StateOf(id), U) << id;  // the link's own buttons
        if (in.recordLoaded) return;
        for (const ControlDecision& d : out.controls) EXPECT_EQ(d.state, D) << d.id << " " << Describe(in);
        EXPECT_EQ((std::vector<std::string>{out.timeoutLabel, out.waterMarkLabel, out.peerLabel}),
                  (std::vector<std::string>{"Timeout", "Conn. Byte", "Peer ip address"}));
        EXPECT_EQ((std::pair{out.dhcpEnabled, out.eapolEnabled}), (std::pair{in.dhcpEnabled, in.eapolEnabled}));
    });
}

TEST(ControlRules, WithRecordTheFixedControlsAndReadKeepTheirRule) {
    ForEveryWindowState([](const ControlInputs& in, const ControlDecisions& out) {
        if (!in.recordLoaded) return;
        for (int id : {1014, 1016, 1015, 1037, 1038, 1033, 1031, 1026, 1004, 1001, 1003, 1005, 1074, 1009})
            EXPECT_EQ(out.StateOf(id), E) << id << " " << Describe(in);
        for (int id : {1025, 1040, 1042, 1043, 1029}) EXPECT_EQ(out.StateOf(id), D) << id;
        EXPECT_EQ(out.StateOf(1030), U);
        // Step 9 follows the DHCP box as it ends up, whatever the mode.
        const ControlState addresses = out.dhcpEnabled ? D : E;
        for (int id : {1007, 1008, 1010}) EXPECT_EQ(out.StateOf(id), addresses) << Describe(in);
    });
}

TEST(ControlRules, ModeTable) {
    struct Case {
        int mode, model, permitted, noDhcp;
        ControlState dhcp, timeout, localPort, waterMark, peerIp, peerPort;
        const char *timeoutLabel, *waterMarkLabel, *peerLabel;
    };
    const Case cases[] = {
        {0, 1, 0, 0, D, E, E, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
        {0, 1, 1, 0, D, E, E, D, E, D, "Timeout", "Conn. Byte", "Permitted ip address"},
        {0, 9, 0, 0, E, E, E, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
        {0, 9, 1, 1, D, E, E, D, E, D, "Timeout", "Conn. Byte", "Permitted ip address"},
        {1, 1, 1, 0, E, E, D, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
        {1, 9, 0, 1, D, E, D, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
        {2, 1, 1, 0, E, E, D, E, E, E, "Timeout", "Conn. Byte", "Peer ip address"},
        {2, 9, 0, 1, D, E, D, E, E, E, "Timeout", "Conn. Byte", "Peer ip address"},
        {3, 1, 1, 0, D, E, E, E, E, E, "Interval(10ms)", "Block(Byte)", "Peer ip address"},
        {3, 9, 0, 0, D, E, E, E, E, E, "Interval(10ms)", "Block(Byte)", "Peer ip address"},
        {-1, 9, 1, 0, D, D, D, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
        {4, 1, 1, 0, D, D, D, D, D, D, "Timeout", "Conn. Byte", "Peer ip address"},
    };
    for (const Case& c : cases) {
        for (int monitor : {0, 1}) {
            ControlInputs in = Loaded(c.mode, c.model);
            in.monitorMode = monitor;
            in.has_permitted_ip = c.permitted;
            in.no_dhcp = c.noDhcp;
            const ControlDecisions out = DecideControls(in);
            SCOPED_TRACE(Describe(in));
            EXPECT_EQ(States(out, {1039, 1021, 1023, 1022, 1013, 1024}),
                      (std::vector{c.dhcp, c.timeout, c.localPort, c.waterMark, c.peerIp, c.peerPort}));
            EXPECT_EQ((std::vector<std::string>{out.timeoutLabel, out.waterMarkLabel, out.peerLabel}),
                      (std::vector<std::string>{c.timeoutLabel, c.waterMarkLabel, c.peerLabel}));
        }
    }
}

TEST(ControlRules, DhcpBoxAndAddresses) {
    struct Case {
        int mode, dhcp, noDhcp;
        int dhcpAfter;
        ControlState box, addresses;
    };
    const Case cases[] = {
        {1, 0, 0, 0, E, E},
        {1, 1, 0, 1, E, D},  // checking DHCP disables the three address controls
        {1, 1, 1, 0, D, E},  // the converter forbids DHCP: unchecked, addresses back
        {3, 1, 0, 1, D, D},  // U2S disables the box but keeps its value
    };
    for (const Case& c : cases) {
        ControlInputs in = Loaded(c.mode);
        in.dhcpEnabled = c.dhcp;
        in.no_dhcp = c.noDhcp;
        const ControlDecisions out = DecideControls(in);
        SCOPED_TRACE(Describe(in));
        EXPECT_EQ(out.dhcpEnabled, c.dhcpAfter);
        EXPECT_EQ(States(out, {1039, 1007, 1008, 1010}), (std::vector{c.box, c.addresses, c.addresses, c.addresses}));
    }
}

TEST(ControlRules, SerialSideOnModel9AndOthers) {
    struct Case {
        int model, mode, multiConn, serialType, hasComment;
        ControlState modeList, flow, serialType_, multiConn_, stopBit, comment;
    };
    const Case cases[] = {
        {9, 0, 1, 0, 0, D, D, D, E, E, E},  // Multi Conn. locks mode, flow and serial type
        {9, 0, 0, 0, 0, E, E, E, E, E, E},
        {9, 2, 0, 0, 0, E, E, E, D, E, E},  // Multi Conn. only offered in T2S
        {9, 0, 0, 2, 0, E, D, E, E, E, E},  // RS-485 disables Flow Control
        {9, 0, 0, 1, 0, E, D, E, E, E, E},
        {9, 0, 0, -1, 0, E, D, E, E, E, E},  // no serial type selected counts as not RS-232
        {1, 0, 1, 0, 0, E, E, D, D, D, D},   // Multi Conn. means nothing on other models
        {1, 0, 0, 2, 1, E, D, D, D, D, E},   // comment editable by the converter's flag
        {7, 3, 0, 0, 1, E, E, D, D, D, E},
    };
    for (const Case& c : cases) {
        ControlInputs in = Loaded(c.mode, c.model);
        in.multiConn = c.multiConn;
        in.serialTypeSelection = c.serialType;
        in.has_comment = c.hasComment;
        const ControlDecisions out = DecideControls(in);
        SCOPED_TRACE(Describe(in) + " serial=" + std::to_string(c.serialType));
        EXPECT_EQ(States(out, {1020, 1017, 1019, 1047, 1034, 1049}),
                  (std::vector{c.modeList, c.flow, c.serialType_, c.multiConn_, c.stopBit, c.comment}));
    }
}

TEST(ControlRules, ConsoleModeAndEapol) {
    struct Case {
        int monitor, noEapol, eapol;
        int eapolAfter;
        ControlState box, eapId, powerDown;
    };
    const Case cases[] = {
        {1, 0, 1, 0, D, D, E},  // monitor mode: no EAPoL, Power Down and Start Option on
        {1, 0, 0, 0, D, D, E}, {0, 0, 1, 1, E, E, D}, {0, 0, 0, 0, E, D, D}, {0, 1, 1, 0, D, D, D},
    };
    for (const Case& c : cases) {
        ControlInputs in = Loaded(0);
        in.monitorMode = c.monitor;
        in.no_eapol = c.noEapol;
        in.eapolEnabled = c.eapol;
        const ControlDecisions out = DecideControls(in);
        SCOPED_TRACE(Describe(in));
        EXPECT_EQ(out.eapolEnabled, c.eapolAfter);
        EXPECT_EQ(States(out, {1027, 1035, 1028, 1032}), (std::vector{c.box, c.eapId, c.powerDown, c.powerDown}));
    }
}

TEST(ControlRules, ConverterFlagsAndWlanMode) {
    struct Case {
        int noTelnet, remoteSearch, wlanMode;
        ControlState telnet, remote, adhoc;
    };
    const Case cases[] = {
        {0, 0, 1, E, D, D},  // Infrastructure has no Ad-Hoc master
        {1, 1, 0, D, E, E},
        {0, 1, 2, E, E, E},
        {1, 0, -1, D, D, E},
    };
    for (const Case& c : cases) {
        ControlInputs in = Loaded(2);
        in.no_telnet = c.noTelnet;
        in.has_remote_search = c.remoteSearch;
        in.wlanModeSelection = c.wlanMode;
        const ControlDecisions out = DecideControls(in);
        SCOPED_TRACE(Describe(in));
        EXPECT_EQ(States(out, {1041, 1048, 1002}), (std::vector{c.telnet, c.remote, c.adhoc}));
    }
}

}  // namespace
}  // namespace quarnel
