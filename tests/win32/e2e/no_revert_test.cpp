// What the user typed or clicked is never put back from stale values when a
// field of the main window is refused: the refused field keeps its text and
// the focus, every other control keeps the user's edit, and what a handler
// corrects on purpose is still corrected.

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/converter_session.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::AppDriver;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;
using quarnel::EnvRecord;

constexpr DWORD kWait = 15000;
constexpr char kIntegerMessage[] = "Please enter an integer.";

class NoRevert : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Available());
        ASSERT_TRUE(app.Launch(QUARNEL_EXE_PATH));
        ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
        ASSERT_TRUE(e2e::ReadRecord(app, sim, "monitor", e2e::Model9Record(), kWait));
        ASSERT_EQ(app.Selection(IDC_MODE), 0) << "the record is in T2S";
        ASSERT_TRUE(app.Enabled(IDC_LOCAL_PORT));
        ASSERT_TRUE(app.Enabled(IDC_REMOTE_SEARCH));
    }

    // The user's edits in fields the exchange reaches after the numeric
    // fields: a new Target SSID and a click on Remote Search.
    void EditLaterFields() {
        app.Focus(IDC_TARGET_SSID);
        app.SetText(IDC_TARGET_SSID, "NEW-NET");
        remoteSearchBefore = app.Checked(IDC_REMOTE_SEARCH);
        app.Click(IDC_REMOTE_SEARCH);
        ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_REMOTE_SEARCH) != remoteSearchBefore; }, kWait));
        // The focus rests where leaving it runs nothing.
        app.Focus(IDC_TARGET_SSID);
        ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(IDC_TARGET_SSID); }, kWait));
    }

    void ExpectLaterFieldsKept() {
        EXPECT_EQ(app.Text(IDC_TARGET_SSID), "NEW-NET");
        EXPECT_NE(app.Checked(IDC_REMOTE_SEARCH), remoteSearchBefore);
        EXPECT_EQ(app.Text(IDC_COMMENT), "Line 4 converter");
    }

    // The framework's refusal of `id`: its message, then the focus in the
    // field with the text as typed.
    void ExpectRefused(int id, const std::string& typed) {
        ShownBox box;
        ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &box));
        EXPECT_EQ(box.text, kIntegerMessage);
        EXPECT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(id); }, kWait));
        EXPECT_EQ(app.Text(id), typed);
    }

    void ExpectNoMessageBox() {
        EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr) << "the refusal was reported twice:\n" << app.DescribeTopLevel();
    }

    SimFiles sim{"COM3"};
    AppDriver app;
    bool remoteSearchBefore = false;
};

TEST_F(NoRevert, RefusedLocalPortKeepsTheEditsAndTheCorrectedValueIsWritten) {
    EditLaterFields();
    app.Focus(IDC_LOCAL_PORT);
    app.SetText(IDC_LOCAL_PORT, "12x");
    app.Focus(IDC_TARGET_SSID);
    ExpectRefused(IDC_LOCAL_PORT, "12x");
    ExpectLaterFieldsKept();
    ExpectNoMessageBox();

    app.SetText(IDC_LOCAL_PORT, "1234");
    ASSERT_TRUE(e2e::WriteAndWait(
        app, sim, [](const EnvRecord& r) { return r.main.local_port() == 1234; }, kWait));
    const std::vector<uint8_t> block = sim.Block();
    ASSERT_EQ(block.size(), 480u);
    EXPECT_EQ(block[106], 0xD2);  // 1234, little-endian
    EXPECT_EQ(block[107], 0x04);
    const EnvRecord written = e2e::RecordOf(block);
    EXPECT_EQ(written.wlan.ssid(), "NEW-NET");
    EXPECT_NE(written.main.remote_search(), remoteSearchBefore ? 1u : 0u);
    EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1234");
}

TEST_F(NoRevert, DhcpClickWithARefusedTimeoutChangesOnlyTheAddressControls) {
    EditLaterFields();
    app.SetText(IDC_TIMEOUT, "12x");
    ASSERT_FALSE(app.Checked(IDC_DHCP));
    ASSERT_TRUE(app.Enabled(IDC_LOCAL_IP));
    app.Click(IDC_DHCP);
    ExpectRefused(IDC_TIMEOUT, "12x");
    EXPECT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_LOCAL_IP); }, kWait));
    EXPECT_TRUE(app.Checked(IDC_DHCP));
    EXPECT_FALSE(app.Enabled(IDC_SUBNET_MASK));
    EXPECT_FALSE(app.Enabled(IDC_GATEWAY_IP));
    EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1470");
    ExpectLaterFieldsKept();
    ExpectNoMessageBox();
}

TEST_F(NoRevert, ModeChangeWithARefusedTimeoutStillRelabelsAndKeepsTheEdits) {
    EditLaterFields();
    app.SetText(IDC_TIMEOUT, "12x");
    app.Select(IDC_MODE, 3);  // U2S
    ExpectRefused(IDC_TIMEOUT, "12x");
    EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_TIMEOUT_LABEL) == "Interval(10ms)"; }, kWait));
    EXPECT_EQ(app.Text(IDC_WATER_MARK_LABEL), "Block(Byte)");
    EXPECT_EQ(app.Selection(IDC_MODE), 3);
    EXPECT_TRUE(app.Enabled(IDC_WATER_MARK));
    EXPECT_FALSE(app.Enabled(IDC_DHCP));
    ExpectLaterFieldsKept();
    ExpectNoMessageBox();
}

TEST_F(NoRevert, MultiConnWithARefusedTimeoutReportsOnceAndKeepsTheEdits) {
    EditLaterFields();
    app.SetText(IDC_TIMEOUT, "12x");
    ASSERT_TRUE(app.Enabled(IDC_MULTI_CONN));
    app.Click(IDC_MULTI_CONN);
    ExpectRefused(IDC_TIMEOUT, "12x");
    // The rules have run once the mode list is locked; a second report of
    // the same field would hold them up.
    EXPECT_TRUE(WaitUntil([&] { return !app.Enabled(IDC_MODE); }, 5000));
    ExpectNoMessageBox();
    EXPECT_TRUE(app.Checked(IDC_MULTI_CONN));
    EXPECT_FALSE(app.Enabled(IDC_FLOW_CONTROL));
    EXPECT_FALSE(app.Enabled(IDC_SERIAL_TYPE));
    ExpectLaterFieldsKept();
}

TEST_F(NoRevert, LongCommentIsCutWhileTheRemoteSearchClickStays) {
    const bool before = app.Checked(IDC_REMOTE_SEARCH);
    app.Click(IDC_REMOTE_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_REMOTE_SEARCH) != before; }, kWait));
    const std::string comment = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40 characters
    app.Focus(IDC_COMMENT);
    app.SetText(IDC_COMMENT, comment);
    app.Focus(IDC_TARGET_SSID);
    // The framework refuses the length first, then the window's own rule
    // tells the limit and cuts.
    ShownBox refused;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &refused));
    EXPECT_EQ(refused.text, "Please enter no more than 32 characters.");
    ShownBox cut;
    ASSERT_TRUE(app.AnswerBox("", kWait, &cut)) << app.DescribeTopLevel();
    EXPECT_EQ(cut.text, "The maximum size of comment is 32(16)!");
    EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_COMMENT) == comment.substr(0, 32); }, kWait));
    EXPECT_NE(app.Checked(IDC_REMOTE_SEARCH), before);
    EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET");
}

TEST_F(NoRevert, ChangePasswordWithARefusedTimeoutKeepsTheEdits) {
    EditLaterFields();
    app.SetText(IDC_TIMEOUT, "12x");
    app.Click(IDC_CHANGE_PWD);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &box));
    EXPECT_EQ(box.text, kIntegerMessage);
    ShownBox password;
    ASSERT_TRUE(app.WaitForTopLevel("Change Password", kWait, &password)) << app.DescribeTopLevel();
    PostMessageA(password.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(app.WaitGone(password.window, kWait));
    EXPECT_EQ(app.Text(IDC_TIMEOUT), "12x");
    ExpectLaterFieldsKept();
    ExpectNoMessageBox();
}

}  // namespace
