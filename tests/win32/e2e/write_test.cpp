// Read, edit and Write, and Initialize ENV, through the real program against
// the simulated converter in both console modes: what the window shows,
// what goes on the line, and what the converter holds afterwards.

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/exchange_fixture.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::Block;
using e2e::ExchangeFixture;
using e2e::Ipv4;
using e2e::kExchangeWait;
using e2e::LoggedCommand;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

constexpr char kMacText[] = "0A:BC:DE:01:2F:9E";

class WriteTest : public ExchangeFixture {
 protected:
  // What a read of RichBlock(9) shows.
  void ExpectRichBlockShown() {
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), kMacText);
    EXPECT_EQ(app.Text(IDC_FIRMWARE_TEXT), "F/W : 3.7C");
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));
    EXPECT_EQ(app.Address(IDC_SUBNET_MASK), Ipv4(255, 255, 0, 0));
    EXPECT_EQ(app.Address(IDC_GATEWAY_IP), Ipv4(172, 16, 0, 1));
    EXPECT_EQ(app.Address(IDC_PEER_IP), Ipv4(172, 16, 9, 9));
    EXPECT_EQ(app.Selection(IDC_BAUD_RATE), 7);
    EXPECT_EQ(app.Item(IDC_BAUD_RATE, 7), "57600");
    EXPECT_EQ(app.Selection(IDC_PARITY), 2);
    EXPECT_EQ(app.Selection(IDC_DATA_BITS), 0);
    EXPECT_EQ(app.Selection(IDC_STOP_BITS), 1);
    EXPECT_EQ(app.Selection(IDC_SERIAL_TYPE), 0);
    EXPECT_EQ(app.Selection(IDC_FLOW_CONTROL), 1);
    ASSERT_EQ(app.ItemCount(IDC_FLOW_CONTROL), 3);
    EXPECT_EQ(app.Item(IDC_FLOW_CONTROL, 2), "XON/XOFF");
    EXPECT_EQ(app.Selection(IDC_MODE), 0);
    EXPECT_EQ(app.Selection(IDC_WLAN_MODE), 1);
    EXPECT_EQ(app.Selection(IDC_CHANNEL), 11);
    EXPECT_EQ(app.Selection(IDC_WEP_MODE), 2);
    EXPECT_EQ(app.Selection(IDC_AUTH_MODE), 1);
    EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
    EXPECT_EQ(app.Text(IDC_ADHOC_SSID), "tarvo-adhoc");
    EXPECT_EQ(app.Text(IDC_COMMENT), "Line 4 converter");
    EXPECT_EQ(app.Text(IDC_TIMEOUT), "1234");
    EXPECT_EQ(app.Text(IDC_WATER_MARK), "100");
    EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1470");
    EXPECT_EQ(app.Text(IDC_PEER_PORT), "4001");
    EXPECT_EQ(app.Text(IDC_PEER_IP_LABEL), "Permitted ip address");
    EXPECT_TRUE(app.Checked(IDC_KIVRA));
    EXPECT_TRUE(app.Checked(IDC_ARP));
    EXPECT_TRUE(app.Checked(IDC_TELNET));
    EXPECT_TRUE(app.Checked(IDC_SECURE));
    EXPECT_TRUE(app.Checked(IDC_REMOTE_SEARCH));
    EXPECT_TRUE(app.Checked(IDC_WLAN_CFG));
    EXPECT_FALSE(app.Checked(IDC_DHCP));
    EXPECT_FALSE(app.Checked(IDC_POWER_DOWN));
    EXPECT_FALSE(app.Checked(IDC_MULTI_CONN));
  }

  // Edits one field of each kind, and returns the block the converter must
  // hold after writing them: `original` with exactly those bytes and bits
  // changed. The time-out is above what model 9 stores.
  Block EditFields(const Block& original) {
    Block expected = original;
    app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, 21));
    expected[39] = 21;
    app.SetText(IDC_TARGET_SSID, "EDITED-NET");
    e2e::PutText(expected, 144, 32, "EDITED-NET");
    app.SetText(IDC_COMMENT, "edited comment");
    e2e::PutText(expected, 288, 32, "edited comment");
    app.Select(IDC_BAUD_RATE, 3);
    e2e::PutLe32(expected, 88, 9600);
    app.Select(IDC_PARITY, 1);
    e2e::PutBits(expected, 84, 0, 2, 1);
    app.Select(IDC_CHANNEL, 3);
    e2e::PutBits(expected, 128, 4, 4, 3);
    app.SetText(IDC_LOCAL_PORT, "5050");
    e2e::PutLe16(expected, 106, 5050);
    app.SetText(IDC_TIMEOUT, "20000");
    e2e::PutLe16(expected, 92, 3600);
    app.Click(IDC_ARP);
    e2e::PutBits(expected, 32, 2, 1, 0);
    app.Click(IDC_TELNET);
    e2e::PutBits(expected, 84, 8, 1, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
          return !app.Checked(IDC_ARP) && !app.Checked(IDC_TELNET) && app.Selection(IDC_CHANNEL) == 3 &&
                 app.Selection(IDC_PARITY) == 1 && app.Selection(IDC_BAUD_RATE) == 3;
        },
        kExchangeWait));
    return expected;
  }

  void ExpectConverterHolds(const SimFiles& sim, const Block& expected) {
    const Block held = sim.Block();
    EXPECT_EQ(e2e::DescribeDifferences(expected, held), "");
  }

  // The progress window of the exchange just started, its text and range.
  void ExpectProgress(const std::string& text, int low, int high) {
    HWND progress = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (progress = e2e::FindProgressWindow(app)) != nullptr; }, kExchangeWait));
    WaitUntil([&] { return app.Text(IDC_PROGRESS_STATUS, progress) == text; }, 500);
    EXPECT_EQ(app.Text(IDC_PROGRESS_STATUS, progress), text);
    int lowSet = 0, highSet = 0;
    e2e::ProgressRange(progress, &lowSet, &highSet);
    EXPECT_EQ(lowSet, low);
    EXPECT_EQ(highSet, high);
  }

  // The factory values over `original` of a converter of `model`.
  static Block FactoryBlock(const Block& original, int model) {
    Block b = original;
    std::fill(b.begin() + 128, b.begin() + 288, 0);
    b[128] = 1;  // Infrastructure
    std::fill(b.begin() + 288, b.begin() + 352, 0);
    uint32_t options = e2e::Le32(b, 32);
    options &= ~(1u << 0 | 1u << 2 | 1u << 3 | 1u << 6 | 1u << 15 | 1u << 19 | 1u << 22 | 1u << 24 | 1u << 25);
    options |= 1u << 4 | 1u << 7;
    options = (options & ~(1u << 17)) | ((options >> 16 & 1u) << 17);
    e2e::PutLe32(b, 32, options);
    const uint8_t addresses[12] = {10, 1, 0, 1, 255, 0, 0, 0, 0, 0, 0, 0};
    std::copy(addresses, addresses + 12, b.begin() + 36);
    std::fill(b.begin() + 48, b.begin() + 72, 0);
    std::fill(b.begin() + 108, b.begin() + 124, 0);
    e2e::PutBits(b, 84, 0, 8, 0x20);
    e2e::PutBits(b, 84, 8, 1, model == 7 || model == 9 || model == 11 ? 1 : 0);
    e2e::PutBits(b, 84, 16, 5, 0);
    e2e::PutLe32(b, 88, 19200);
    e2e::PutLe16(b, 92, 0);
    b[94] = 0;
    e2e::PutLe16(b, 96, 0);
    e2e::PutLe32(b, 100, 0);
    e2e::PutLe16(b, 104, 0);
    e2e::PutLe16(b, 106, 1470);
    return b;
  }

  SimFiles monitor{"COM3"};
  SimFiles shell{"COM4"};
  SimFiles silent{"COM5"};
};

TEST_F(WriteTest, MonitorReadShowsTheSettingsAndWriteSendsBackOnlyTheEdits) {
  const Block original = e2e::RichBlock(9);
  ASSERT_TRUE(monitor.Reset("monitor", original));
  OpenPort("COM3");
  EXPECT_EQ(app.Text(IDC_MAC_TEXT), "MAC");
  std::vector<LoggedCommand> sent;
  ReadAndWait(monitor, &sent);
  e2e::ExpectMonitorRead(sent);
  ExpectRichBlockShown();
  EXPECT_TRUE(app.Enabled(IDC_START_OPTION)) << "start-up options belong to the monitor console";

  const Block expected = EditFields(original);
  WriteAndWait(monitor, IDC_WRITE, &sent);
  e2e::ExpectMonitorWrite(sent);
  ExpectConverterHolds(monitor, expected);
  // A monitor write refreshes the form from the record it sent.
  EXPECT_EQ(app.Text(IDC_TIMEOUT), "3600");
  EXPECT_EQ(app.Text(IDC_MAC_TEXT), kMacText);
}

TEST_F(WriteTest, ShellReadShowsTheSettingsAndWriteSendsBackOnlyTheEdits) {
  const Block original = e2e::RichBlock(9);
  ASSERT_TRUE(shell.Reset("shell", original));
  OpenPort("COM4");
  size_t mark = shell.Log().size();
  app.Click(IDC_READ);
  // The unanswered monitor probe leaves a second to look at the window.
  ExpectProgress("Reading Tarvo's environment variables.....", 32, 512);
  std::vector<LoggedCommand> sent;
  WaitForExchangeEnd(shell, mark, e2e::EndsRead, &sent);
  ASSERT_EQ(sent.size(), 7u);
  EXPECT_EQ(sent[4].text, "L0\\r");
  EXPECT_EQ(sent[5].text, "RA 00\\r");
  ExpectRichBlockShown();
  EXPECT_FALSE(app.Enabled(IDC_START_OPTION));

  const Block expected = EditFields(original);
  mark = shell.Log().size();
  app.Click(IDC_WRITE);
  ExpectProgress(std::string("Writting Tarvo's environment variables.....\r\nMAC address ") + kMacText, 64, 512);
  WaitForExchangeEnd(shell, mark, e2e::EndsWrite, &sent);
  e2e::ExpectShellWrite(sent);
  ExpectConverterHolds(shell, expected);
  // The shell write ends without refreshing the form: the field still shows
  // what was typed, though the converter got the model's limit.
  EXPECT_EQ(app.Text(IDC_TIMEOUT), "20000");
}

TEST_F(WriteTest, ValuesOutsideTheListsShowNoChoiceAndTravelBackUnchanged) {
  OpenPort("COM3");
  // First a converter whose values every list offers, so a stale choice would show.
  Block offered = e2e::RichBlock(9);
  e2e::PutLe32(offered, 88, 115200);
  LoadConverter(monitor, "monitor", offered);
  ASSERT_EQ(app.Selection(IDC_BAUD_RATE), 8);
  ASSERT_TRUE(app.Enabled(IDC_TIMEOUT));

  // Then one with XON/XOFF set but not offered, and every other list value
  // outside its list.
  Block odd = e2e::RichBlock(10);
  e2e::PutBits(odd, 28, 5, 1, 0);    // has_xonxoff
  e2e::PutBits(odd, 84, 6, 2, 2);    // XON/XOFF, no RTS/CTS
  e2e::PutBits(odd, 84, 0, 2, 3);    // parity
  e2e::PutBits(odd, 84, 2, 4, 6);    // data bits
  e2e::PutBits(odd, 84, 16, 2, 3);   // serial type
  e2e::PutBits(odd, 84, 18, 2, 2);   // stop bits
  e2e::PutLe32(odd, 88, 230400);
  odd[94] = 5;                       // mode
  e2e::PutBits(odd, 128, 0, 4, 9);   // WLAN mode
  e2e::PutBits(odd, 128, 8, 2, 3);   // WEP mode
  e2e::PutBits(odd, 128, 14, 2, 2);  // authentication mode
  LoadConverter(monitor, "monitor", odd);
  for (int id : {IDC_BAUD_RATE, IDC_FLOW_CONTROL, IDC_PARITY, IDC_DATA_BITS, IDC_SERIAL_TYPE, IDC_STOP_BITS,
                 IDC_MODE, IDC_WLAN_MODE, IDC_WEP_MODE, IDC_AUTH_MODE})
    EXPECT_EQ(app.Selection(id), -1) << id;
  // The enabling rules see no mode, no serial type and no WLAN mode.
  EXPECT_FALSE(app.Enabled(IDC_TIMEOUT));
  EXPECT_FALSE(app.Enabled(IDC_LOCAL_PORT));
  EXPECT_FALSE(app.Enabled(IDC_FLOW_CONTROL));
  EXPECT_TRUE(app.Enabled(IDC_ADHOC_SSID));

  std::vector<LoggedCommand> sent;
  WriteAndWait(monitor, IDC_WRITE, &sent);
  e2e::ExpectMonitorWrite(sent);
  ExpectConverterHolds(monitor, odd);

  // A choice the user makes in such a list is stored.
  app.Select(IDC_BAUD_RATE, 5);
  app.Select(IDC_PARITY, 1);
  ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_BAUD_RATE) == 5 && app.Selection(IDC_PARITY) == 1; },
                        kExchangeWait));
  Block chosen = odd;
  e2e::PutLe32(chosen, 88, 19200);
  e2e::PutBits(chosen, 84, 0, 2, 1);
  WriteAndWait(monitor, IDC_WRITE);
  ExpectConverterHolds(monitor, chosen);
}

TEST_F(WriteTest, InitializeEnvLeavesTheFactoryValuesOnTheConverter) {
  OpenPort("COM3");
  for (int model : {7, 8, 9, 11}) {
    SCOPED_TRACE("model " + std::to_string(model));
    const Block original = e2e::RichBlock(model);
    LoadConverter(monitor, "monitor", original);
    std::vector<LoggedCommand> sent;
    WriteAndWait(monitor, IDC_INITIALIZE_ENV, &sent);
    e2e::ExpectMonitorWrite(sent);
    ExpectConverterHolds(monitor, FactoryBlock(original, model));
    // The monitor write shows what it sent.
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(10, 1, 0, 1));
    EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "1470");
    EXPECT_EQ(app.Selection(IDC_WEP_MODE), 0);
    EXPECT_EQ(app.Checked(IDC_TELNET), model != 8);
  }
}

TEST_F(WriteTest, ShellInitializeEnvWritesTheFactoryValuesWithoutRefreshingTheForm) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM4");
  LoadConverter(shell, "shell", original);
  std::vector<LoggedCommand> sent;
  WriteAndWait(shell, IDC_INITIALIZE_ENV, &sent);
  e2e::ExpectShellWrite(sent);
  ExpectConverterHolds(shell, FactoryBlock(original, 9));
  EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));
}

TEST_F(WriteTest, NoConverterEndsInTheNoResponseMessageWithoutProgressWindow) {
  OpenPort("COM5");
  LoadConverter(silent, "monitor", e2e::RichBlock(9));
  ASSERT_TRUE(silent.Control({"mode silent"}));
  const size_t mark = silent.Log().size();
  const DWORD start = GetTickCount();
  app.Click(IDC_WRITE);
  ASSERT_TRUE(WaitUntil([&] { return e2e::FindProgressWindow(app) != nullptr; }, kExchangeWait));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app.FindMessageBox("Quarnel")) != nullptr; }, kExchangeWait));
  const DWORD elapsed = GetTickCount() - start;
  // 1000 ms for the monitor probe, then 3000 ms for the shell probe.
  EXPECT_GE(elapsed, 3800u);
  EXPECT_EQ(e2e::FindProgressWindow(app), nullptr);
  ShownBox shown;
  ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &shown));
  EXPECT_EQ(shown.text, e2e::kNoResponse);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; }, kExchangeWait));
  EXPECT_EQ(app.CountTopLevel("Quarnel"), 0);
  const auto sent = LogSince(silent, mark);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].text, "r\\r");
  EXPECT_EQ(sent[1].text, "\\r");
  EXPECT_EQ(sent[2].text, "C1\\r");
  EXPECT_EQ(sent[2].baud, 19200);
}

TEST_F(WriteTest, RefusedLocalIpSendsNothing) {
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", e2e::RichBlock(9));
  const size_t mark = monitor.Log().size();
  struct Refused {
    DWORD address, mask;
  };
  for (const Refused& r : {Refused{Ipv4(127, 0, 0, 1), Ipv4(255, 255, 0, 0)},
                           Refused{Ipv4(10, 1, 255, 255), Ipv4(255, 255, 0, 0)},
                           Refused{Ipv4(10, 1, 0, 0), Ipv4(255, 255, 0, 0)}}) {
    app.SetAddress(IDC_LOCAL_IP, r.address);
    app.SetAddress(IDC_SUBNET_MASK, r.mask);
    app.Click(IDC_WRITE);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &box));
    EXPECT_EQ(box.text, "You entered wrong Local IP address");
    EXPECT_TRUE(WaitUntil(
        [&] {
          HWND focus = app.FocusedWindow();
          return focus && (focus == app.Control(IDC_LOCAL_IP) || IsChild(app.Control(IDC_LOCAL_IP), focus));
        },
        3000))
        << "the focus is not in the Local IP address but in " << app.FocusedWindow() << " id "
        << GetDlgCtrlID(app.FocusedWindow()) << " parent id " << GetDlgCtrlID(GetParent(app.FocusedWindow()));
    EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, kExchangeWait));
    EXPECT_TRUE(app.Enabled(IDC_WRITE));
  }
  // A good address then: the converter sees that one write and nothing from
  // the refused ones.
  app.SetAddress(IDC_LOCAL_IP, Ipv4(192, 168, 1, 10));
  app.SetAddress(IDC_SUBNET_MASK, Ipv4(255, 255, 255, 0));
  WriteAndWait(monitor, IDC_WRITE);
  e2e::ExpectMonitorWrite(LogSince(monitor, mark));
  const Block held = monitor.Block();
  ASSERT_EQ(held.size(), 480u);
  EXPECT_EQ(held[36], 192);
  EXPECT_EQ(held[39], 10);
}

TEST_F(WriteTest, RefusedFieldStopsWriteAndInitializeBeforeAnythingIsSent) {
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", e2e::RichBlock(9));
  const size_t mark = monitor.Log().size();
  for (int button : {IDC_WRITE, IDC_INITIALIZE_ENV}) {
    // Typed while the focus is elsewhere, so only the button refuses it
    // (leaving the field would refuse it too).
    app.SetText(IDC_LOCAL_PORT, "1");
    app.Focus(IDC_TARGET_SSID);
    ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(IDC_TARGET_SSID); }, kExchangeWait));
    app.SetText(IDC_LOCAL_PORT, "12ab");
    app.Click(button);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &box));
    EXPECT_EQ(box.text, "Please enter an integer.");
    EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, kExchangeWait))
        << "the progress window stayed";
    EXPECT_TRUE(app.Enabled(IDC_WRITE));
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), kMacText);
  }
  app.SetText(IDC_LOCAL_PORT, "2323");
  WriteAndWait(monitor, IDC_WRITE);
  e2e::ExpectMonitorWrite(LogSince(monitor, mark));
  const Block held = monitor.Block();
  ASSERT_EQ(held.size(), 480u);
  EXPECT_EQ(e2e::Le16(held, 106), 2323);
  EXPECT_EQ(held[36], 172) << "the factory values were not applied";
}

TEST_F(WriteTest, SecondReadDuringAReadStartsOverWithOneProgressWindow) {
  ASSERT_TRUE(shell.Reset("shell", e2e::RichBlock(9)));
  OpenPort("COM4");
  const size_t mark = shell.Log().size();
  app.Click(IDC_READ);
  ASSERT_TRUE(WaitUntil([&] { return !LogSince(shell, mark).empty(); }, kExchangeWait));
  app.Click(IDC_READ);
  int most = 0;
  std::string gaps;
  std::vector<LoggedCommand> sent;
  ASSERT_TRUE(WaitUntil(
      [&] {
        most = std::max(most, app.CountTopLevel("Quarnel"));
        // The window first: a read that ends after this look has its dump
        // command in the log read next.
        const bool progress = e2e::FindProgressWindow(app) != nullptr;
        sent = LogSince(shell, mark);
        const bool dumped = std::any_of(sent.begin(), sent.end(), [](const LoggedCommand& c) { return c.text == "RA 00\\r"; });
        if (!dumped && !progress) gaps += std::to_string(sent.size()) + " ";
        return (dumped && sent.back().text == "C1\\r" && !progress) || app.FindMessageBox("Quarnel");
      },
      kExchangeWait));
  EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr);
  EXPECT_LE(most, 1);
  EXPECT_EQ(gaps, "") << "the progress window was missing at these log sizes";
  EXPECT_EQ(app.Text(IDC_MAC_TEXT), kMacText);
  // One probe per press; the first one's time-out was dropped with it.
  std::string texts;
  for (const auto& c : sent) texts += std::to_string(c.baud) + " " + c.text + "\n";
  ASSERT_EQ(sent.size(), 8u) << texts;
  EXPECT_EQ(sent[0].text, "r\\r");
  EXPECT_EQ(sent[1].text, "r\\r");
  EXPECT_EQ(sent[2].text, "\\r");
  EXPECT_EQ(sent[6].text, "RA 00\\r");
}

}  // namespace
