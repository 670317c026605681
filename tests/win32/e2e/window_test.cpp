// The main window of the real program: its start-up state, a converter's
// record shown after Read, the limits applied when a field is left, and the
// enabling rules as the user changes modes and options.

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/converter_session.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::AppDriver;
using e2e::SimFiles;
using e2e::WaitUntil;
using quarnel::EnvRecord;

constexpr DWORD kWait = 15000;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Launch(QUARNEL_EXE_PATH)); }

    // Opens the port and reads `record` from the converter behind it.
    void Load(const std::string& port, const std::string& mode, const EnvRecord& record) {
        SimFiles sim(port);
        ASSERT_TRUE(sim.Available());
        if (!app.Enabled(IDC_READ)) ASSERT_TRUE(e2e::OpenPort(app, port, kWait));
        ASSERT_TRUE(e2e::ReadRecord(app, sim, mode, record, kWait)) << app.DescribeTopLevel();
    }

    void FocusAndWait(int id) {
        app.Focus(id);
        ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(id); }, kWait));
    }

    // Types into a field and leaves it for the Target SSID, which has no
    // handler of its own; returns what the field shows then.
    std::string EnterAndLeave(int id, const std::string& text) {
        FocusAndWait(id);
        app.SetText(id, text);
        FocusAndWait(IDC_TARGET_SSID);
        return app.Text(id);
    }

    AppDriver app;
};

TEST_F(MainWindow, StartsWithoutRecordWithTheSettingsAndRecordButtonsDisabled) {
    for (int id : {IDC_BAUD_RATE, IDC_DATA_BITS, IDC_PARITY, IDC_MODE, IDC_FLOW_CONTROL, IDC_COMMENT, IDC_KIVRA,
                   IDC_ARP, IDC_TELNET, IDC_EAPOL, IDC_POWER_DOWN, IDC_READ, IDC_WRITE, IDC_EAP_ID, IDC_CHANGE_PWD,
                   IDC_START_OPTION, IDC_WEP_KEY, IDC_INITIALIZE_ENV, IDC_WLAN_MODE, IDC_TARGET_SSID,
                   IDC_ADHOC_SSID, IDC_CHANNEL, IDC_WEP_MODE, IDC_AUTH_MODE, IDC_DHCP, IDC_TIMEOUT, IDC_LOCAL_PORT,
                   IDC_WATER_MARK, IDC_PEER_IP, IDC_PEER_PORT, IDC_REMOTE_SEARCH, IDC_MULTI_CONN, IDC_SERIAL_TYPE,
                   IDC_STOP_BITS, IDC_SECURE, IDC_PPPOE, IDC_WLAN_CFG, IDC_CLOSE}) {
        EXPECT_FALSE(app.Enabled(id)) << "control " << id;
    }
    EXPECT_EQ(app.Text(IDC_TIMEOUT_LABEL), "Timeout");
    EXPECT_EQ(app.Text(IDC_WATER_MARK_LABEL), "Conn. Byte");
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Peer ip address");
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "MAC");
    EXPECT_EQ(app.Text(IDC_COMMENT), "");
}

TEST_F(MainWindow, ReadShowsTheConvertersRecord) {
    Load("COM3", "monitor", e2e::Model9Record());
    EXPECT_EQ(app.Text(IDC_FIRMWARE_TEXT), "F/W : 2.5B");
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), 0xC0A80132u);
    EXPECT_EQ(app.Address(IDC_SUBNET_MASK), 0xFFFFFF00u);
    EXPECT_EQ(app.Address(IDC_GATEWAY_IP), 0xC0A80101u);
    EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1470");
    EXPECT_EQ(app.Text(IDC_TIMEOUT), "0");
    EXPECT_EQ(app.Text(IDC_WATER_MARK), "1");
    EXPECT_EQ(app.Selection(IDC_MODE), 0);
    EXPECT_EQ(app.Selection(IDC_BAUD_RATE), 8);
    EXPECT_EQ(app.Selection(IDC_DATA_BITS), 1);
    EXPECT_EQ(app.Selection(IDC_SERIAL_TYPE), 0);
    EXPECT_EQ(app.ItemCount(IDC_FLOW_CONTROL), 3) << "the converter offers XON/XOFF";
    EXPECT_EQ(app.Selection(IDC_FLOW_CONTROL), 0);
    EXPECT_EQ(app.Selection(IDC_WLAN_MODE), 1);
    EXPECT_EQ(app.Selection(IDC_CHANNEL), 6);
    EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET");
    EXPECT_EQ(app.Text(IDC_ADHOC_SSID), "tarvo-adhoc");
    EXPECT_EQ(app.Text(IDC_COMMENT), "Line 4 converter");
    EXPECT_TRUE(app.Checked(IDC_ARP));
    EXPECT_TRUE(app.Checked(IDC_KIVRA));
    EXPECT_TRUE(app.Checked(IDC_TELNET));
    EXPECT_FALSE(app.Checked(IDC_DHCP));
    // T2S on a model 9 with a permitted address.
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Permitted ip address");
    EXPECT_EQ(app.Text(IDC_TIMEOUT_LABEL), "Timeout");
    EXPECT_EQ(app.Text(IDC_WATER_MARK_LABEL), "Conn. Byte");
    for (int id : {IDC_PEER_IP, IDC_LOCAL_PORT, IDC_TIMEOUT, IDC_DHCP, IDC_MULTI_CONN, IDC_COMMENT, IDC_WRITE,
                   IDC_CHANGE_PWD, IDC_INITIALIZE_ENV, IDC_TARGET_SSID}) {
        EXPECT_TRUE(app.Enabled(id)) << "control " << id;
    }
    for (int id : {IDC_WATER_MARK, IDC_PEER_PORT, IDC_ADHOC_SSID, IDC_SECURE, IDC_WLAN_CFG}) {
        EXPECT_FALSE(app.Enabled(id)) << "control " << id;
    }
}

TEST_F(MainWindow, LeavingANumericFieldAppliesTheLimitsOfTheConverter) {
    Load("COM3", "monitor", e2e::Model9Record());  // long limits
    EXPECT_EQ(EnterAndLeave(IDC_LOCAL_PORT, "70000"), "65535");
    EXPECT_EQ(EnterAndLeave(IDC_LOCAL_PORT, "65535"), "65535");
    EXPECT_EQ(EnterAndLeave(IDC_TIMEOUT, "5000"), "5000");
    EXPECT_EQ(EnterAndLeave(IDC_TIMEOUT, "40000"), "30000");
    app.Select(IDC_MODE, 3);  // U2S: the water mark can be edited
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_WATER_MARK) && app.Enabled(IDC_PEER_PORT); }, kWait));
    EXPECT_EQ(EnterAndLeave(IDC_WATER_MARK, "3000"), "2048");
    EXPECT_EQ(EnterAndLeave(IDC_WATER_MARK, "1000"), "1000");
    EXPECT_EQ(EnterAndLeave(IDC_PEER_PORT, "65536"), "65535");

    EnvRecord shortLimits = e2e::Model9Record();
    shortLimits.main.set_long_limits(0);
    shortLimits.main.set_mode(3);
    Load("COM3", "monitor", shortLimits);
    EXPECT_EQ(EnterAndLeave(IDC_TIMEOUT, "5000"), "3600");
    EXPECT_EQ(EnterAndLeave(IDC_WATER_MARK, "40000"), "32768");

    EnvRecord model1 = shortLimits;
    model1.main.set_model_code(1);
    Load("COM3", "monitor", model1);
    EXPECT_EQ(EnterAndLeave(IDC_WATER_MARK, "1000"), "512");
}

TEST_F(MainWindow, U2SRelabelsAndEnablesThePeerFieldsButNotDhcp) {
    Load("COM3", "monitor", e2e::Model9Record());
    app.Select(IDC_MODE, 3);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TIMEOUT_LABEL) == "Interval(10ms)"; }, kWait));
    EXPECT_EQ(app.Text(IDC_WATER_MARK_LABEL), "Block(Byte)");
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Peer ip address");
    for (int id : {IDC_LOCAL_PORT, IDC_WATER_MARK, IDC_PEER_IP, IDC_PEER_PORT, IDC_TIMEOUT}) {
        EXPECT_TRUE(app.Enabled(id)) << "control " << id;
    }
    EXPECT_FALSE(app.Enabled(IDC_DHCP));
    EXPECT_FALSE(app.Enabled(IDC_MULTI_CONN)) << "Multi Conn. belongs to T2S";

    app.Select(IDC_MODE, 0);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TIMEOUT_LABEL) == "Timeout"; }, kWait));
    EXPECT_EQ(app.Text(IDC_WATER_MARK_LABEL), "Conn. Byte");
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Permitted ip address");
    EXPECT_TRUE(app.Enabled(IDC_DHCP));
    EXPECT_FALSE(app.Enabled(IDC_WATER_MARK));
    EXPECT_FALSE(app.Enabled(IDC_PEER_PORT));
}

TEST_F(MainWindow, T2SWithoutPermittedAddressKeepsPeerIpDisabled) {
    EnvRecord record = e2e::Model9Record();
    record.main.set_has_permitted_ip(0);
    Load("COM3", "monitor", record);
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Peer ip address");
    EXPECT_FALSE(app.Enabled(IDC_PEER_IP));
    EXPECT_TRUE(app.Enabled(IDC_LOCAL_PORT));
}

TEST_F(MainWindow, DhcpDisablesTheThreeAddressControls) {
    Load("COM3", "monitor", e2e::Model9Record());
    app.Click(IDC_DHCP);
    ASSERT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_LOCAL_IP); }, kWait));
    EXPECT_TRUE(app.Checked(IDC_DHCP));
    EXPECT_FALSE(app.Enabled(IDC_SUBNET_MASK));
    EXPECT_FALSE(app.Enabled(IDC_GATEWAY_IP));
    app.Click(IDC_DHCP);
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_LOCAL_IP); }, kWait));
    EXPECT_TRUE(app.Enabled(IDC_SUBNET_MASK));
    EXPECT_TRUE(app.Enabled(IDC_GATEWAY_IP));
}

TEST_F(MainWindow, MultiConnOnModel9ForcesT2SWithoutFlowControlOnRs232) {
    EnvRecord record = e2e::Model9Record();
    record.main.set_serial_type(1);  // RS-422
    record.main.set_rts_cts(1);
    Load("COM3", "monitor", record);
    ASSERT_EQ(app.Selection(IDC_SERIAL_TYPE), 1);
    ASSERT_EQ(app.Selection(IDC_FLOW_CONTROL), 1);
    ASSERT_TRUE(app.Enabled(IDC_MULTI_CONN));
    app.Click(IDC_MULTI_CONN);
    ASSERT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_MODE); }, kWait));
    EXPECT_TRUE(app.Checked(IDC_MULTI_CONN));
    EXPECT_EQ(app.Selection(IDC_MODE), 0);
    EXPECT_EQ(app.Selection(IDC_FLOW_CONTROL), 0);
    EXPECT_EQ(app.Selection(IDC_SERIAL_TYPE), 0);
    EXPECT_FALSE(app.Enabled(IDC_FLOW_CONTROL));
    EXPECT_FALSE(app.Enabled(IDC_SERIAL_TYPE));

    app.Click(IDC_MULTI_CONN);
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_MODE); }, kWait));
    EXPECT_TRUE(app.Enabled(IDC_SERIAL_TYPE));
    EXPECT_TRUE(app.Enabled(IDC_FLOW_CONTROL));
}

TEST_F(MainWindow, Rs485SetsFlowControlToNoneAndDisablesIt) {
    Load("COM3", "monitor", e2e::Model9Record());
    app.Select(IDC_FLOW_CONTROL, 1);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_FLOW_CONTROL) == 1; }, kWait));
    app.Select(IDC_SERIAL_TYPE, 2);
    ASSERT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_FLOW_CONTROL); }, kWait));
    EXPECT_EQ(app.Selection(IDC_FLOW_CONTROL), 0);
    app.Select(IDC_SERIAL_TYPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_FLOW_CONTROL); }, kWait));
}

TEST_F(MainWindow, MonitorModeTakesEapolAwayAndOffersPowerDownAndStartOption) {
    EnvRecord record = e2e::Model9Record();
    record.main.set_eapol(1);
    Load("COM3", "monitor", record);
    EXPECT_FALSE(app.Checked(IDC_EAPOL));
    EXPECT_FALSE(app.Enabled(IDC_EAPOL));
    EXPECT_FALSE(app.Enabled(IDC_EAP_ID));
    EXPECT_TRUE(app.Enabled(IDC_POWER_DOWN));
    EXPECT_TRUE(app.Enabled(IDC_START_OPTION));
}

TEST_F(MainWindow, ShellModeOffersEapolButNotPowerDownOrStartOption) {
    EnvRecord record = e2e::Model9Record();
    record.main.set_eapol(1);
    Load("COM4", "shell", record);
    EXPECT_TRUE(app.Checked(IDC_EAPOL));
    EXPECT_TRUE(app.Enabled(IDC_EAPOL));
    EXPECT_TRUE(app.Enabled(IDC_EAP_ID));
    EXPECT_FALSE(app.Enabled(IDC_POWER_DOWN));
    EXPECT_FALSE(app.Enabled(IDC_START_OPTION));
    // Unchecking EAPoL takes the identity button with it.
    app.Click(IDC_EAPOL);
    EXPECT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_EAP_ID); }, kWait));
}

TEST_F(MainWindow, InfrastructureModeDisablesTheAdHocSsid) {
    Load("COM3", "monitor", e2e::Model9Record());  // Infrastructure
    EXPECT_FALSE(app.Enabled(IDC_ADHOC_SSID));
    app.Select(IDC_WLAN_MODE, 0);
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_ADHOC_SSID); }, kWait));
    app.Select(IDC_WLAN_MODE, 1);
    ASSERT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_ADHOC_SSID); }, kWait));
}

}  // namespace
