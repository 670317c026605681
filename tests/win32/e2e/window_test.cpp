// The main window of the real program: its start-up state, the enabling
// rules applied as the user changes modes and options, and what the user
// typed or clicked never put back from stale values when a field is refused
// (the refused field keeps its text and the focus, every other control keeps
// the user's edit, and what a handler corrects on purpose is still corrected).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "resources/resource.h"
#include "tests/win32/e2e/session.h"

namespace {

using namespace e2e;

class MainWindow : public Session {
protected:
    void Load() {
        OpenPort("COM3");
        LoadConverter(sim, "monitor", RichBlock());  // T2S, monitor console, Infrastructure
    }

    // Waits until every control listed is enabled (true) or disabled (false).
    void ExpectEnabled(std::initializer_list<std::pair<int, bool>> states) {
        std::string wrong;
        WaitUntil(
            [&] {
                wrong.clear();
                for (const auto& [id, enabled] : states)
                    if (app.Enabled(id) != enabled)
                        wrong += std::to_string(id) + (enabled ? " disabled " : " enabled ");
                return wrong.empty();
            },
            WAIT);
        EXPECT_EQ(wrong, "");
    }

    SimFiles sim{"COM3"};
};

// The enabling rules are decided and tested in portable code; here the
// window is seen to apply them at start, on a read and on a user's choice.
// DHCP, U2S and Multi Conn. clicks are in NoRevert's table below.
TEST_F(MainWindow, AppliesTheEnablingRulesAtStartOnReadAndOnTheUsersChoices) {
    for (int id : {IDC_BAUD_RATE, IDC_MODE, IDC_COMMENT, IDC_READ, IDC_WRITE, IDC_CLOSE, IDC_SAVE_SETTINGS})
        EXPECT_FALSE(app.Enabled(id)) << "control " << id;
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "MAC");

    Load();  // T2S with a permitted address, Infrastructure, the monitor console
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Permitted ip address");
    ExpectEnabled({{IDC_PEER_IP, true},
                   {IDC_WATER_MARK, false},
                   {IDC_PEER_PORT, false},
                   {IDC_ADHOC_SSID, false},
                   {IDC_EAPOL, false},
                   {IDC_START_OPTION, true},
                   {IDC_WRITE, true}});

    // RS-485 sets flow control to none and takes it away.
    app.Select(IDC_FLOW_CONTROL, 1);
    app.Select(IDC_SERIAL_TYPE, 2);
    ExpectEnabled({{IDC_FLOW_CONTROL, false}});
    EXPECT_EQ(app.Selection(IDC_FLOW_CONTROL), 0);

    app.Select(IDC_WLAN_MODE, 0);  // Ad-Hoc
    ExpectEnabled({{IDC_ADHOC_SSID, true}});
}

class NoRevert : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Load();
    }

    // The user's edits in fields the exchange reaches after the numeric
    // fields: a new Target SSID and a click on Remote Search (it was on).
    void EditLaterFields() {
        app.Focus(IDC_TARGET_SSID);
        app.SetText(IDC_TARGET_SSID, "NEW-NET");
        app.Click(IDC_REMOTE_SEARCH);
        ASSERT_TRUE(WaitUntil([&] { return !app.Checked(IDC_REMOTE_SEARCH); }, WAIT));
        // The focus rests where leaving it runs nothing.
        FocusAndWait(IDC_TARGET_SSID);
    }

    void ExpectLaterFieldsKept() {
        EXPECT_EQ(app.Text(IDC_TARGET_SSID), "NEW-NET");
        EXPECT_FALSE(app.Checked(IDC_REMOTE_SEARCH));
        EXPECT_EQ(app.Text(IDC_COMMENT), "Line 4 converter");
    }

    // The refusal of `id`: its message, then (unless a dialog takes it) the
    // focus in the field with the text as typed.
    void ExpectRefused(int id, const std::string& typed, bool focusStays = true) {
        ShownBox box;
        ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &box));
        EXPECT_EQ(box.text, "Please enter an integer.");
        if (focusStays) {
            EXPECT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(id); }, WAIT));
        }
        EXPECT_EQ(app.Text(id), typed);
    }

    void ExpectNoMessageBox() {
        EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr) << "the refusal was reported twice:\n"
                                                          << app.DescribeTopLevel();
    }
};

// Leaving the time-out, or a click or choice while it holds a refused text:
// the refusal shows once, the click still does what it does, and every edit
// stays; the corrected value is written with the edits.
TEST_F(NoRevert, RefusedTimeoutKeepsTheEditsAndClicksStillApply) {
    struct Case {
        const char* what;
        std::function<void(AppDriver&)> act;
        std::function<bool(AppDriver&)> applied;
    };
    const Case cases[] = {
        {"leaving it",
         [](AppDriver& a) {
             a.Focus(IDC_TIMEOUT);
             a.Focus(IDC_TARGET_SSID);
         },
         [](AppDriver&) { return true; }},
        {"DHCP", [](AppDriver& a) { a.Click(IDC_DHCP); },
         [](AppDriver& a) { return a.Checked(IDC_DHCP) && !a.Enabled(IDC_LOCAL_IP) && !a.Enabled(IDC_GATEWAY_IP); }},
        {"U2S", [](AppDriver& a) { a.Select(IDC_MODE, 3); },
         [](AppDriver& a) {
             return a.Text(IDC_TIMEOUT_LABEL) == "Interval(10ms)" && a.Enabled(IDC_WATER_MARK) && !a.Enabled(IDC_DHCP);
         }},
        {"Multi Conn.", [](AppDriver& a) { a.Click(IDC_MULTI_CONN); },
         [](AppDriver& a) { return a.Checked(IDC_MULTI_CONN) && !a.Enabled(IDC_MODE) && !a.Enabled(IDC_SERIAL_TYPE); }},
        {"Change PWD", [](AppDriver& a) { a.Click(IDC_CHANGE_PWD); },
         [](AppDriver& a) {  // the dialog opens all the same; it is cancelled
             HWND dialog = a.FindTopLevel("Change Password");
             if (dialog) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
             return dialog && a.WaitGone(dialog, WAIT) && a.Text(IDC_TIMEOUT) == "12x";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (&c != cases) LoadConverter(sim, "monitor", RichBlock());
        EditLaterFields();
        app.SetText(IDC_TIMEOUT, "12x");
        c.act(app);
        ExpectRefused(IDC_TIMEOUT, "12x", std::string(c.what) != "Change PWD");
        EXPECT_TRUE(WaitUntil([&] { return c.applied(app); }, WAIT));
        EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1470");
        ExpectLaterFieldsKept();
        ExpectNoMessageBox();
    }
    app.SetText(IDC_TIMEOUT, "1000");
    WriteAndWait(sim, IDC_WRITE);
    Block expected = RichBlock();
    PutLe16(expected, 92, 1000);
    PutText(expected, 144, 32, "NEW-NET");
    PutBits(expected, 32, 17, 1, 0);  // remote search
    ExpectHolds(sim, expected);
    EXPECT_EQ(app.Text(IDC_TIMEOUT), "1000");
}

TEST_F(NoRevert, LongCommentIsCutWhileTheRemoteSearchClickStays) {
    app.Click(IDC_REMOTE_SEARCH);
    ASSERT_TRUE(WaitUntil([&] { return !app.Checked(IDC_REMOTE_SEARCH); }, WAIT));
    const std::string comment = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40 characters
    app.Focus(IDC_COMMENT);
    app.SetText(IDC_COMMENT, comment);
    app.Focus(IDC_TARGET_SSID);
    // The framework refuses the length first, then the window's own rule
    // tells the limit and cuts.
    ShownBox refused;
    ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &refused));
    EXPECT_EQ(refused.text, "Please enter no more than 32 characters.");
    ShownBox cut;
    ASSERT_TRUE(app.AnswerBox("", WAIT, &cut)) << app.DescribeTopLevel();
    EXPECT_EQ(cut.text, "The maximum size of comment is 32(16)!");
    EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_COMMENT) == comment.substr(0, 32); }, WAIT));
    EXPECT_FALSE(app.Checked(IDC_REMOTE_SEARCH));
    EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
}

}  // namespace
