// Read, edit and Write, and Initialize ENV, through the real program against
// the simulated converter in both console modes: what the window shows, what
// goes on the line, what the converter holds afterwards; values outside the
// lists and ranges, a failed read, refused fields, and the password, EAPoL
// identity, WEP keys and start-up options edited in their dialogs.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "configfile/backups.h"
#include "configfile/config_file.h"
#include "configfile/text_file.h"
#include "envrecord/env_record.h"
#include "envrecord/record_values.h"
#include "resources/resource.h"
#include "tests/win32/e2e/session.h"
#include "envrecord/password_block.h"

namespace {

using namespace e2e;

// The wording of each command is the protocol's, tested natively; here the
// window ran the whole exchange, `count` commands ending in `last`, at the
// console's rate (a shell console's first, the monitor probe, at 115200).
void ExpectSent(const std::vector<LoggedCommand>& sent, size_t count, const std::string& last, int baud) {
    ASSERT_EQ(sent.size(), count);
    EXPECT_TRUE(StartsWith(sent.back().text, last)) << sent.back().text;
    EXPECT_EQ(sent[0].baud, 115200);
    for (size_t i = 1; i < sent.size(); ++i) EXPECT_EQ(sent[i].baud, baud) << sent[i].text;
}
// The probe, the backup's four read chunks, two unlocks, 28 chunks and the
// read-back's four.
constexpr size_t MONITOR_WRITE_COUNT = 1 + 4 + 2 + 28 + 4;

class Exchange : public Session {
protected:
    // What a read of RichBlock(9) shows, one field of each kind (the
    // transfer of every field is tested natively).
    void ExpectRichBlockShown() {
        EXPECT_EQ(app.Text(IDC_MAC_TEXT), MAC_TEXT);
        EXPECT_EQ(app.Text(IDC_FIRMWARE_TEXT), "F/W : 3.7C");
        EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));
        EXPECT_EQ(app.Selection(IDC_BAUD_RATE), 7);
        EXPECT_EQ(app.Selection(IDC_CHANNEL), 11);
        EXPECT_EQ(app.Item(IDC_FLOW_CONTROL, 2), "XON/XOFF");
        EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
        EXPECT_EQ(app.Text(IDC_TIMEOUT), "1234");
        EXPECT_TRUE(app.Checked(IDC_SECURE));
        EXPECT_FALSE(app.Checked(IDC_DHCP));
    }

    // Edits one field of each kind, and returns the block the converter must
    // hold after writing them: `original` with exactly those bytes and bits
    // changed. The time-out is above what model 9 stores.
    Block EditFields(const Block& original) {
        Block expected = original;
        app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, 21));
        expected[39] = 21;
        app.SetText(IDC_TARGET_SSID, "EDITED-NET");
        PutText(expected, 144, 32, "EDITED-NET");
        app.Select(IDC_BAUD_RATE, 3);
        PutLe32(expected, 88, 9600);
        app.Select(IDC_CHANNEL, 3);
        PutBits(expected, 128, 4, 4, 3);
        app.SetText(IDC_TIMEOUT, "20000");
        PutLe16(expected, 92, 3600);
        app.Click(IDC_TELNET);
        PutBits(expected, 84, 8, 1, 0);
        EXPECT_TRUE(WaitUntil([&] { return !app.Checked(IDC_TELNET) && app.Selection(IDC_CHANNEL) == 3; }, WAIT));
        return expected;
    }

    // The progress window of the exchange just started, its text and range.
    void ExpectProgress(const std::string& text, int low, int high) {
        HWND progress = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (progress = app.ProgressWindow()) != nullptr; }, WAIT));
        EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_PROGRESS_STATUS, progress) == text; }, 500))
            << app.Text(IDC_PROGRESS_STATUS, progress);
        DWORD_PTR range[2] = {};
        HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
        for (int i = 0; i < 2; ++i) SendMessageTimeoutA(bar, PBM_GETRANGE, i == 0, 0, SMTO_NORMAL, WAIT, &range[i]);
        EXPECT_EQ(static_cast<int>(range[0]), low);
        EXPECT_EQ(static_cast<int>(range[1]), high);
    }

    // Types into a field and leaves it for the Target SSID, which has no
    // handler of its own; returns what the field shows then.
    std::string EnterAndLeave(int id, const std::string& text) {
        FocusAndWait(id);
        app.SetText(id, text);
        FocusAndWait(IDC_TARGET_SSID);
        return app.Text(id);
    }

    HWND OpenDialog(int button, const std::string& title) {
        app.Click(button);
        ShownBox shown;
        EXPECT_TRUE(app.WaitForTopLevel(title, WAIT, &shown)) << title;
        return shown.window;
    }

    void CloseDialog(HWND dialog, int button) {
        app.Click(button, dialog);
        ASSERT_TRUE(app.WaitGone(dialog, WAIT));
    }

    SimFiles monitor{"COM3"};
    SimFiles shell{"COM4"};
};

TEST_F(Exchange, ReadShowsTheSettingsAndWriteSendsBackOnlyTheEditsInBothConsoleModes) {
    const Block original = RichBlock();
    for (bool isShell : {false, true}) {
        SCOPED_TRACE(isShell ? "shell" : "monitor");
        SimFiles& sim = isShell ? shell : monitor;
        ASSERT_TRUE(sim.Reset(isShell ? "shell" : "monitor", original));
        OpenPort(isShell ? "COM4" : "COM3");
        std::vector<LoggedCommand> sent;
        size_t mark = sim.Log().size();
        app.Click(IDC_READ);
        // The unanswered monitor probe leaves a second to look at the window.
        if (isShell) ExpectProgress("Reading Tarvo's environment variables.....", 32, 512);
        WaitForExchangeEnd(sim, mark, EndsRead, &sent);
        if (isShell)
            EXPECT_EQ(sent.size(), 7u);
        else
            ExpectSent(sent, 5, "r 1a0 60\\r", 115200);  // the probe and four chunks
        ExpectRichBlockShown();

        const Block expected = EditFields(original);
        mark = sim.Log().size();
        app.Click(IDC_WRITE);
        // One bar over the backup read, the write and the read-back.
        if (isShell)
            ExpectProgress(std::string("Writting Tarvo's environment variables.....\r\nMAC address ") + MAC_TEXT, 64,
                           64 + 480 + 448 + 480);
        WaitForExchangeEnd(sim, mark, EndsWrite, &sent);
        // A shell write: two probes, configuration mode, 28 chunks and the commit.
        // The backup's dump and the read-back in the same session: "RA 00" before
        // the chunks, "C0", then a read's commands.
        if (isShell)
            ExpectSent(sent, 5 + 1 + 28 + 1 + 4, "C1\\r", 19200);
        else
            ExpectSent(sent, MONITOR_WRITE_COUNT, "r 1a0 60\\r", 115200);
        ExpectHolds(sim, expected);
        // A monitor write refreshes the form from the record it sent; a shell
        // write leaves it as typed.
        EXPECT_EQ(app.Text(IDC_TIMEOUT), isShell ? "20000" : "3600");
        ClosePort();
    }
}

TEST_F(Exchange, ValuesOutsideTheListsShowNoChoiceAndTravelBackUnchanged) {
    OpenPort("COM3");
    // First a converter whose values every list offers, so a stale choice would show.
    Block offered = RichBlock();
    PutLe32(offered, 88, 115200);
    LoadConverter(monitor, "monitor", offered);
    ASSERT_EQ(app.Selection(IDC_BAUD_RATE), 8);

    // Then one with XON/XOFF set but not offered, and list values outside
    // their lists (which values fall outside is tested natively).
    Block odd = RichBlock(10);
    PutBits(odd, 28, 5, 1, 0);   // has_xonxoff
    PutBits(odd, 84, 6, 2, 2);   // XON/XOFF, no RTS/CTS
    PutBits(odd, 84, 0, 2, 3);   // parity
    PutBits(odd, 84, 16, 2, 3);  // serial type
    PutLe32(odd, 88, 230400);
    odd[94] = 5;                 // mode
    PutBits(odd, 128, 0, 4, 9);  // WLAN mode
    LoadConverter(monitor, "monitor", odd);
    for (int id : {IDC_BAUD_RATE, IDC_FLOW_CONTROL, IDC_PARITY, IDC_SERIAL_TYPE, IDC_MODE, IDC_WLAN_MODE})
        EXPECT_EQ(app.Selection(id), -1) << id;
    // The enabling rules see no mode, no serial type and no WLAN mode.
    EXPECT_FALSE(app.Enabled(IDC_TIMEOUT));
    EXPECT_FALSE(app.Enabled(IDC_FLOW_CONTROL));
    EXPECT_TRUE(app.Enabled(IDC_ADHOC_SSID));

    WriteAndWait(monitor, IDC_WRITE);
    ExpectHolds(monitor, odd);

    // A choice the user makes in such a list is stored.
    app.Select(IDC_PARITY, 1);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_PARITY) == 1; }, WAIT));
    PutBits(odd, 84, 0, 2, 1);
    WriteAndWait(monitor, IDC_WRITE);
    ExpectHolds(monitor, odd);
}

TEST_F(Exchange, InitializeEnvLeavesTheFactoryValuesOnTheConverter) {
    OpenPort("COM3");
    const Block original = RichBlock();
    LoadConverter(monitor, "monitor", original);
    quarnel::EnvRecord factory{};
    std::memcpy(factory.Data(), original.data(), original.size());
    quarnel::ApplyFactoryValues(factory.main, factory.wlan, factory.tail);
    Block expected(factory.Data(), factory.Data() + original.size());
    std::copy(original.begin(), original.begin() + 32, expected.begin());  // never written
    WriteAndWait(monitor, IDC_INITIALIZE_ENV);
    ExpectHolds(monitor, expected);
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(10, 1, 0, 1)) << "a monitor write shows what it sent";
}

// Before Write and Initialize ENV, the converter's block is read in the same
// session and kept in the user's backups folder, one new file each; when the
// folder cannot be made, nothing is sent and the message names it.
TEST_F(Exchange, EveryWriteKeepsWhatTheConverterHeldFirst) {
    std::string reason;
    const std::string folder = quarnel::BackupFolder(reason);  // this test runs as the program's user
    ASSERT_FALSE(folder.empty()) << reason;
    const auto files = [&] {
        std::set<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(folder)) names.insert(item.path().string());
        return names;
    };
    OpenPort("COM3");
    LoadConverter(monitor, "monitor", RichBlock());
    for (int button : {IDC_WRITE, IDC_INITIALIZE_ENV}) {
        app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, button == IDC_WRITE ? 31 : 32));
        const Block held = monitor.Block();
        const std::set<std::string> before = files();
        WriteAndWait(monitor, button);
        std::vector<std::string> added;
        for (const std::string& name : files())
            if (before.count(name) == 0) added.push_back(name);
        ASSERT_EQ(added.size(), 1u) << button;
        std::string text;
        quarnel::ConfigFile saved;
        ASSERT_TRUE(quarnel::ReadTextFile(added[0], text, reason) &&
                    quarnel::ParseConfigText(text, added[0], saved, reason))
            << reason;
        EXPECT_EQ(DescribeDifferences(held, Block(saved.block.Data(), saved.block.Data() + 480)), "") << button;
    }

    // A file where the folder belongs: nothing reaches the converter.
    const std::string aside = folder + ".aside";
    ASSERT_TRUE(MoveFileA(folder.c_str(), aside.c_str()));
    CloseHandle(CreateFileA(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const size_t mark = monitor.Log().size();
    app.Click(IDC_WRITE);
    ExpectFailure("The folder " + folder + " cannot be made.\r\n\r\nNothing was written to Tarvo.");
    for (const LoggedCommand& command : LogSince(monitor, mark))
        EXPECT_FALSE(StartsWith(command.text, "!")) << command.text;
    DeleteFileA(folder.c_str());
    MoveFileA(aside.c_str(), folder.c_str());
}

TEST_F(Exchange, RefusedFieldStopsWriteAndInitializeBeforeAnythingIsSent) {
    OpenPort("COM3");
    LoadConverter(monitor, "monitor", RichBlock());
    const size_t mark = monitor.Log().size();
    struct Case {
        int button, field;
        const char* text;
        DWORD address;
        const char* message;
    };
    const Case cases[] = {
        {IDC_WRITE, IDC_LOCAL_PORT, "12ab", 0, "Please enter an integer."},
        {IDC_INITIALIZE_ENV, IDC_LOCAL_PORT, "12ab", 0, "Please enter an integer."},
        {IDC_WRITE, IDC_LOCAL_IP, nullptr, Ipv4(127, 0, 0, 1), "You entered wrong Local IP address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        // Typed while the focus is elsewhere, so only the button refuses it.
        FocusAndWait(IDC_TARGET_SSID);
        if (c.text)
            app.SetText(c.field, c.text);
        else
            app.SetAddress(c.field, c.address);
        app.Click(c.button);
        ShownBox box;
        ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &box));
        EXPECT_EQ(box.text, c.message);
        EXPECT_TRUE(WaitUntil(
            [&] {
                HWND focus = app.FocusedWindow();
                return focus && (focus == app.Control(c.field) || IsChild(app.Control(c.field), focus));
            },
            WAIT));
        EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, WAIT)) << "a progress window stayed";
        app.SetText(IDC_LOCAL_PORT, "2323");
        app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, 20));
    }
    // The converter then sees the one good write and nothing of the refused ones.
    WriteAndWait(monitor, IDC_WRITE);
    ExpectSent(LogSince(monitor, mark), MONITOR_WRITE_COUNT, "r 1a0 60\\r", 115200);
    EXPECT_EQ(Le16(monitor.Block(), 106), 2323);
}

TEST_F(Exchange, FailedReadLeavesTheWindowAndTheRecordAsTheyWere) {
    // Converter A is read; then converter B, every byte different, answers a
    // read with a damaged first chunk of the right length, not at all at its
    // third chunk, or refuses its first or its third chunk. The Write after it
    // must send A's bytes whole.
    const Block a = RichBlock();
    Block b = a;
    for (auto& byte : b) byte ^= 0x5A;
    OpenPort("COM3");
    LoadConverter(monitor, "monitor", a);
    const std::string refused = "Tarvo refused to send part of its settings (bytes ";
    const std::pair<const char*, std::string> faults[] = {
        {"bad-digit:1", NO_RESPONSE},
        {"drop-read:3", NO_RESPONSE},
        {"error-801:1", refused + "0-127); nothing was read."},
        {"error-801:3", refused + "256-383); nothing was read."},
    };
    for (const auto& [fault, message] : faults) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(monitor.Control({"block " + ToHex(b), std::string("fault ") + fault}));
        app.Click(IDC_READ);
        ExpectFailure(message);
        EXPECT_EQ(app.Text(IDC_MAC_TEXT), MAC_TEXT);
        EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
        EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));

        ASSERT_TRUE(monitor.Control({"fault none"}));
        WriteAndWait(monitor, IDC_WRITE);
        const Block held = monitor.Block();
        ASSERT_EQ(held.size(), 480u);
        EXPECT_EQ(DescribeDifferences(Block(a.begin() + 32, a.end()), Block(held.begin() + 32, held.end())), "");
    }
}

// The converter acknowledges the first chunk (record bytes 32-47, the local
// IP address among them) and keeps its old bytes: the read-back names the
// setting and the window keeps the edit; with "Verify after write" turned
// off in the system menu the write says "complete", as the user chose.
TEST_F(Exchange, WriteReadsBackAndNamesWhatTheConverterDidNotKeep) {
    const std::string differs =
        "Tarvo holds other values than were written: network.local_ip.\r\n\r\nThe window still holds the values "
        "that were sent: press Write again to send them.";
    for (bool isShell : {false, true}) {
        SCOPED_TRACE(isShell ? "shell" : "monitor");
        SimFiles& sim = isShell ? shell : monitor;
        OpenPort(isShell ? "COM4" : "COM3");
        LoadConverter(sim, isShell ? "shell" : "monitor", RichBlock());
        for (bool verify : {true, false}) {
            ASSERT_TRUE(sim.Control({"fault lose-write:1"}));
            app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, verify ? 21 : 22));
            const size_t mark = sim.Log().size();
            if (verify) {
                app.Click(IDC_WRITE);
                ExpectFailure(differs);
                EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 21));
                continue;
            }
            PostMessageA(app.Main(), WM_SYSCOMMAND, IDM_VERIFY_AFTER_WRITE, 0);
            WriteAndWait(sim, IDC_WRITE);
            EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr);
            EXPECT_TRUE(EndsWrite(LogSince(sim, mark).back().text) && !EndsRead(LogSince(sim, mark).back().text));
            PostMessageA(app.Main(), WM_SYSCOMMAND, IDM_VERIFY_AFTER_WRITE, 0);  // on again, for the next run
        }
        ClosePort();
    }
}

// The ranges are decided and tested in portable code; here each number
// field corrects itself on leaving (U2S opens all four), and the time-out
// stores the model's own limit.
TEST_F(Exchange, NumbersOutsideTheRangesAreCorrectedOnLeavingAndOnStoring) {
    OpenPort("COM3");
    LoadConverter(monitor, "monitor", RichBlock());
    app.Select(IDC_MODE, 3);
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_PEER_PORT) && app.Enabled(IDC_WATER_MARK); }, WAIT));
    struct Field {
        int id;
        const char *typed, *shown;
    };
    for (const Field& f : {Field{IDC_LOCAL_PORT, "70000", "65535"}, Field{IDC_PEER_PORT, "70000", "65535"},
                           Field{IDC_TIMEOUT, "40000", "30000"},  // long_limits; model 9 stores at most 3600
                           Field{IDC_WATER_MARK, "40000", "2048"}})
        EXPECT_EQ(EnterAndLeave(f.id, f.typed), f.shown) << "control " << f.id;
    WriteAndWait(monitor, IDC_WRITE);
    const Block held = monitor.Block();
    EXPECT_EQ(std::vector<int>({Le16(held, 106), Le16(held, 104), Le16(held, 92)}),
              std::vector<int>({65535, 65535, 3600}));
}

TEST_F(Exchange, EapolIdentitySetInTheWindowReachesAShellConverter) {
    const Block original = RichBlock();
    OpenPort("COM4");
    LoadConverter(shell, "shell", original);
    // EAPoL can be switched on in the shell console only.
    app.Click(IDC_EAPOL);
    ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_EAPOL) && app.Enabled(IDC_EAP_ID); }, WAIT));
    HWND dialog = OpenDialog(IDC_EAP_ID, "EAP OL ID");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(app.Text(IDC_EAP_USERNAME, dialog), "operator-station-07");
    const std::string name = "user-name-of-thirty-two-letters!";
    app.SetText(IDC_EAP_USERNAME, name, dialog);
    app.SetText(IDC_EAP_PASSWORD, "newpass8", dialog);
    app.SetText(IDC_EAP_RETYPE, "newpass8", dialog);
    CloseDialog(dialog, IDOK);
    WriteAndWait(shell, IDC_WRITE);

    // Characters 0-7 at 108, 8-15 at 64, 16-31 at 48; the password at 116.
    Block expected = original;
    PutBits(expected, 32, 12, 2, 1);
    PutText(expected, 108, 8, name.substr(0, 8));
    PutText(expected, 64, 8, name.substr(8, 8));
    PutText(expected, 48, 16, name.substr(16));
    PutText(expected, 116, 8, "newpass8");
    ExpectHolds(shell, expected);
}

// The password, the WEP keys and their ID, and the start-up options (the
// monitor console's) edited in their dialogs: the next Write sends them and
// nothing else of the block changes. What each dialog accepts and refuses
// is tested in-process (tests/win32/dialogs).
TEST_F(Exchange, DialogSettingsReachAMonitorConverterWithTheNextWrite) {
    const Block original = RichBlock();
    OpenPort("COM3");
    LoadConverter(monitor, "monitor", original);
    Block expected = original;

    HWND dialog = OpenDialog(IDC_CHANGE_PWD, "Change Password");
    ASSERT_NE(dialog, nullptr);
    app.SetText(IDC_PASSWORD_NEW, "longsecret12", dialog);
    app.SetText(IDC_PASSWORD_RETYPE, "longsecret12", dialog);
    CloseDialog(dialog, IDOK);
    quarnel::MainBlock::PasswordBlock password;
    ASSERT_TRUE(quarnel::BuildPasswordBlock(0, "longsecret12", password));
    std::copy(password.begin(), password.end(), expected.begin() + 72);

    // 128-bit keys at 232 + 14 i; the byte after each key stays.
    app.Select(IDC_WEP_MODE, 2);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_WEP_MODE) == 2; }, WAIT));
    dialog = OpenDialog(IDC_WEP_KEY, "128bit WEP Key  Settings");
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 4; ++i) {
        std::string key = "48656C6C6F2C20576F726C6421";
        key[1] = static_cast<char>('0' + i);  // four different keys
        app.SetText(IDC_WEP128_KEY0 + i, key, dialog);
        const Block bytes = FromHex(key);
        std::copy(bytes.begin(), bytes.end(), expected.begin() + 232 + 14 * i);
    }
    app.Select(IDC_WEP128_ID, 3, dialog);
    CloseDialog(dialog, IDOK);
    PutBits(expected, 128, 10, 2, 3);  // wep_key_id

    // The record has boot_adhoc set and boot_infra clear: turned over, OK.
    dialog = OpenDialog(IDC_START_OPTION, "Startup Options");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(app.Checked(IDC_STARTUP_ADHOC, dialog));
    EXPECT_FALSE(app.Checked(IDC_STARTUP_INFRA, dialog));
    app.Click(IDC_STARTUP_ADHOC, dialog);
    app.Click(IDC_STARTUP_INFRA, dialog);
    ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_STARTUP_INFRA, dialog); }, WAIT));
    CloseDialog(dialog, IDOK);
    PutBits(expected, 128, 12, 2, 2);  // boot_adhoc clear, boot_infra set

    WriteAndWait(monitor, IDC_WRITE);
    ExpectHolds(monitor, expected);
}

}  // namespace
