// The console password, the EAPoL identity, the WEP keys and their ID, and
// the start-up options, edited in the real program's dialogs, reach the
// simulated converter with the next Write, and nothing else of the block
// changes.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/exchange_fixture.h"
#include "tests/win32/e2e/sim_files.h"
#include "ui/password_block.h"

namespace {

using e2e::Block;
using e2e::ExchangeFixture;
using e2e::kExchangeWait;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

constexpr char kWep64Title[] = "64bit WEP Key Settings";
constexpr char kWep128Title[] = "128bit WEP Key  Settings";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

void PutHexKey(Block& block, int offset, const std::string& hex) {
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    block[static_cast<size_t>(offset) + i / 2] = static_cast<uint8_t>(HexValue(hex[i]) << 4 | HexValue(hex[i + 1]));
  }
}

class Credentials : public ExchangeFixture {
 protected:
  HWND OpenDialog(int button, const std::string& title) {
    app.Click(button);
    e2e::ShownBox shown;
    if (!app.WaitForTopLevel(title, kExchangeWait, &shown)) return nullptr;
    return shown.window;
  }

  void CloseDialog(HWND dialog, int button) {
    app.Click(button, dialog);
    ASSERT_TRUE(app.WaitGone(dialog, kExchangeWait));
  }

  void SetPassword(const std::string& password) {
    HWND dialog = OpenDialog(IDC_CHANGE_PWD, "Change Password");
    ASSERT_NE(dialog, nullptr);
    app.SetText(IDC_PASSWORD_NEW, password, dialog);
    app.SetText(IDC_PASSWORD_RETYPE, password, dialog);
    CloseDialog(dialog, IDOK);
  }

  static void PutPasswordBlock(Block& block, int deletePassword, const std::string& password) {
    uint8_t expected[quarnel::PASSWORD_BLOCK_SIZE];
    ASSERT_TRUE(quarnel::BuildPasswordBlock(deletePassword, password, expected));
    for (int i = 0; i < quarnel::PASSWORD_BLOCK_SIZE; ++i) block[static_cast<size_t>(72 + i)] = expected[i];
  }

  void SelectWepLength(int index) {
    app.Select(IDC_WEP_MODE, index);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_WEP_MODE) == index; }, kExchangeWait));
  }

  void ExpectConverterHolds(const SimFiles& sim, const Block& expected) {
    EXPECT_EQ(e2e::DescribeDifferences(expected, sim.Block()), "");
  }

  SimFiles monitor{"COM3"};
  SimFiles shell{"COM4"};
};

TEST_F(Credentials, PasswordSetInTheWindowReachesTheConverterWithTheNextWrite) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", original);
  SetPassword("secret");
  WriteAndWait(monitor, IDC_WRITE);
  Block expected = original;
  PutPasswordBlock(expected, 0, "secret");
  ExpectConverterHolds(monitor, expected);
  for (int i = 80; i < 84; ++i) EXPECT_EQ(monitor.Block().at(static_cast<size_t>(i)), 0) << i;

  // DELETE: twelve zero bytes, whatever the edits hold.
  HWND dialog = OpenDialog(IDC_CHANGE_PWD, "Change Password");
  ASSERT_NE(dialog, nullptr);
  app.SetText(IDC_PASSWORD_NEW, "one", dialog);
  app.SetText(IDC_PASSWORD_RETYPE, "two", dialog);
  app.Click(IDC_PASSWORD_DELETE, dialog);
  ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_PASSWORD_DELETE, dialog); }, kExchangeWait));
  CloseDialog(dialog, IDOK);
  WriteAndWait(monitor, IDC_WRITE);
  PutPasswordBlock(expected, 1, "");
  ExpectConverterHolds(monitor, expected);
}

TEST_F(Credentials, TwelveCharacterPasswordReachesAShellConverter) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM4");
  LoadConverter(shell, "shell", original);
  SetPassword("longsecret12");
  WriteAndWait(shell, IDC_WRITE);
  Block expected = original;
  PutPasswordBlock(expected, 0, "longsecret12");
  ExpectConverterHolds(shell, expected);
  // Characters 9 to 12 travel as typed.
  const Block held = shell.Block();
  ASSERT_EQ(held.size(), 480u);
  EXPECT_EQ(std::string(held.begin() + 80, held.begin() + 84), "et12");
}

TEST_F(Credentials, EapolIdentitySetInTheWindowReachesAShellConverter) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM4");
  LoadConverter(shell, "shell", original);
  // EAPoL can be switched on in the shell console only.
  ASSERT_TRUE(app.Enabled(IDC_EAPOL));
  app.Click(IDC_EAPOL);
  ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_EAPOL) && app.Enabled(IDC_EAP_ID); }, kExchangeWait));
  HWND dialog = OpenDialog(IDC_EAP_ID, "EAP OL ID");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(app.Text(IDC_EAP_USERNAME, dialog), "operator-station-07");
  EXPECT_EQ(app.Text(IDC_EAP_PASSWORD, dialog), "pw12");
  const std::string name = "user-name-of-thirty-two-letters!";
  ASSERT_EQ(name.size(), 32u);
  app.SetText(IDC_EAP_USERNAME, name, dialog);
  app.SetText(IDC_EAP_PASSWORD, "newpass8", dialog);
  app.SetText(IDC_EAP_RETYPE, "newpass8", dialog);
  CloseDialog(dialog, IDOK);
  WriteAndWait(shell, IDC_WRITE);

  // Characters 0-7 at 108, 8-15 at 64, 16-31 at 48; the password at 116.
  Block expected = original;
  e2e::PutBits(expected, 32, 12, 2, 1);
  e2e::PutText(expected, 108, 8, name.substr(0, 8));
  e2e::PutText(expected, 64, 8, name.substr(8, 8));
  e2e::PutText(expected, 48, 16, name.substr(16));
  e2e::PutText(expected, 116, 8, "newpass8");
  ExpectConverterHolds(shell, expected);
}

TEST_F(Credentials, WepKeysAndTheirIdReachTheConverterWithTheNextWrite) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", original);

  const std::string keys64[4] = {"0123456789", "A1B2C3D4E5", "ffeeddccbb", "1020304050"};
  SelectWepLength(1);
  HWND dialog = OpenDialog(IDC_WEP_KEY, kWep64Title);
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i < 4; ++i) app.SetText(IDC_WEP64_KEY0 + i, keys64[i], dialog);
  app.Select(IDC_WEP64_ID, 2, dialog);
  CloseDialog(dialog, IDOK);
  WriteAndWait(monitor, IDC_WRITE);

  // Key i at 208 + 6i, five bytes; the byte after each key stays.
  Block expected = original;
  for (int i = 0; i < 4; ++i) PutHexKey(expected, 208 + 6 * i, keys64[i]);
  e2e::PutBits(expected, 128, 8, 2, 1);   // wep_mode
  e2e::PutBits(expected, 128, 10, 2, 2);  // wep_key_id
  ExpectConverterHolds(monitor, expected);

  const std::string keys128[4] = {"00112233445566778899AABBCC", "0F1E2D3C4B5A69788796A5B4C3",
                                  "48656C6C6F2C20576F726C6421", "fedcba9876543210fedcba9876"};
  SelectWepLength(2);
  dialog = OpenDialog(IDC_WEP_KEY, kWep128Title);
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i < 4; ++i) app.SetText(IDC_WEP128_KEY0 + i, keys128[i], dialog);
  // Key 2 shown as characters, then typed as characters.
  app.Select(IDC_WEP128_FORMAT2, 1, dialog);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_WEP128_KEY2, dialog) == "Hello, World!"; }, kExchangeWait))
      << app.Text(IDC_WEP128_KEY2, dialog);
  app.SetText(IDC_WEP128_KEY2, "Tarvo-Key-13!", dialog);
  app.Select(IDC_WEP128_ID, 3, dialog);
  CloseDialog(dialog, IDOK);
  WriteAndWait(monitor, IDC_WRITE);

  // Key i at 232 + 14i, thirteen bytes; the byte after each key stays.
  for (int i = 0; i < 4; ++i) PutHexKey(expected, 232 + 14 * i, keys128[i]);
  const std::string typed = "Tarvo-Key-13!";
  for (size_t i = 0; i < typed.size(); ++i) expected[260 + i] = static_cast<uint8_t>(typed[i]);
  e2e::PutBits(expected, 128, 8, 2, 2);
  e2e::PutBits(expected, 128, 10, 2, 3);
  ExpectConverterHolds(monitor, expected);

  // Back to 64 bits: the ID is the 64-bit dialog's, which the form refresh
  // after the monitor write set to the ID just written, like the 128-bit one.
  SelectWepLength(1);
  WriteAndWait(monitor, IDC_WRITE);
  e2e::PutBits(expected, 128, 8, 2, 1);
  e2e::PutBits(expected, 128, 10, 2, 3);
  ExpectConverterHolds(monitor, expected);
}

TEST_F(Credentials, HexKeyWithOtherCharactersIsRefused) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", original);
  SelectWepLength(1);
  HWND dialog = OpenDialog(IDC_WEP_KEY, kWep64Title);
  ASSERT_NE(dialog, nullptr);
  app.SetText(IDC_WEP64_KEY1, "12345G789Z", dialog);
  app.Click(IDOK, dialog);
  ShownBox box;
  ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &box));
  EXPECT_EQ(box.text, "The WEP64 Key1 is wrong!");
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog must stay open";
  EXPECT_EQ(app.Text(IDC_WEP64_KEY1, dialog), "12345G789Z");
  CloseDialog(dialog, IDCANCEL);

  WriteAndWait(monitor, IDC_WRITE);
  Block expected = original;
  e2e::PutBits(expected, 128, 8, 2, 1);
  ExpectConverterHolds(monitor, expected);
}

TEST_F(Credentials, StartupOptionsReachTheConverterWithTheNextWrite) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", original);
  ASSERT_TRUE(app.Enabled(IDC_START_OPTION));
  HWND dialog = OpenDialog(IDC_START_OPTION, "Startup Options");
  ASSERT_NE(dialog, nullptr);
  // The record has boot_adhoc set and boot_infra clear.
  EXPECT_TRUE(app.Checked(IDC_STARTUP_ADHOC, dialog));
  EXPECT_FALSE(app.Checked(IDC_STARTUP_INFRA, dialog));
  app.Click(IDC_STARTUP_ADHOC, dialog);
  app.Click(IDC_STARTUP_INFRA, dialog);
  ASSERT_TRUE(WaitUntil(
      [&] { return !app.Checked(IDC_STARTUP_ADHOC, dialog) && app.Checked(IDC_STARTUP_INFRA, dialog); },
      kExchangeWait));
  CloseDialog(dialog, IDOK);
  WriteAndWait(monitor, IDC_WRITE);
  Block expected = original;
  e2e::PutBits(expected, 128, 12, 1, 0);
  e2e::PutBits(expected, 128, 13, 1, 1);
  ExpectConverterHolds(monitor, expected);

  // Changed, then Cancel: the next Write sends what was there before.
  dialog = OpenDialog(IDC_START_OPTION, "Startup Options");
  ASSERT_NE(dialog, nullptr);
  app.Click(IDC_STARTUP_ADHOC, dialog);
  app.Click(IDC_STARTUP_INFRA, dialog);
  ASSERT_TRUE(WaitUntil(
      [&] { return app.Checked(IDC_STARTUP_ADHOC, dialog) && !app.Checked(IDC_STARTUP_INFRA, dialog); },
      kExchangeWait));
  CloseDialog(dialog, IDCANCEL);
  WriteAndWait(monitor, IDC_WRITE);
  ExpectConverterHolds(monitor, expected);
}

}  // namespace
