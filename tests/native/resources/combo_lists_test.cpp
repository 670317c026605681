// The drop-down list items against the templates that show them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "rc_script.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace {

std::vector<std::string> Texts(int templateId, int controlId) {
  quarnel::ComboItems items = quarnel::FindComboItems(templateId, controlId);
  return std::vector<std::string>(items.texts, items.texts + items.count);
}

using List = std::vector<std::string>;

TEST(ComboLists, EveryDropDownListOfEveryTemplateHasItsItemsAndNothingElseHas) {
  const std::string dir = QUARNEL_SOURCE_DIR "/resources/";
  auto defines = rcscript::ReadDefines(rcscript::ReadFile(dir + "resource.h"));
  auto templates = rcscript::ReadTemplates(rcscript::ReadFile(dir + "quarnel.rc"), defines);
  std::set<std::pair<int, int>> combos, lists;
  for (const auto& t : templates)
    for (const auto& c : t.controls)
      if (c.statement == "COMBOBOX") combos.insert({t.id, c.id});
  for (const quarnel::ComboList& l : quarnel::AllComboLists()) {
    EXPECT_TRUE(lists.insert({l.templateId, l.controlId}).second) << "listed twice: " << l.controlId;
    EXPECT_GT(l.items.count, 0u);
  }
  EXPECT_EQ(combos, lists);
}

TEST(ComboLists, MainWindowListsInSelectionOrder) {
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_MODE), (List{"T2S(0)", "ATC(1)", "COD(2)", "U2S(3)"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_SERIAL_TYPE), (List{"RS-232", "RS-422", "RS-485"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_BAUD_RATE),
            (List{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_PARITY), (List{"NONE", "EVEN", "ODD"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_DATA_BITS), (List{"7", "8"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_STOP_BITS), (List{"1Bit", "2Bit"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_FLOW_CONTROL), (List{"NONE", "RTS/CTS"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_WLAN_MODE), (List{"AD-HOC(0)", "Infrastructure(1)", "(2)", "(3)"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_WEP_MODE), (List{"No WEP(0)", " 64bit(1)", "128bit(2)"}));
  EXPECT_EQ(Texts(IDD_CONFIG, IDC_AUTH_MODE), (List{"Open System(0)", "Shared Key(1)"}));
}

TEST(ComboLists, NumberedListsRunWithoutGaps) {
  List channels = Texts(IDD_CONFIG, IDC_CHANNEL);
  ASSERT_EQ(channels.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(channels[i], std::to_string(i));
  List ports = Texts(IDD_CONFIG, IDC_PORT);
  ASSERT_EQ(ports.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(ports[i], "COM" + std::to_string(i + 1));
}

TEST(ComboLists, WepDialogsListFormatsAndKeyNumbers) {
  const int formats64[] = {IDC_WEP64_FORMAT0, IDC_WEP64_FORMAT1, IDC_WEP64_FORMAT2, IDC_WEP64_FORMAT3};
  const int formats128[] = {IDC_WEP128_FORMAT0, IDC_WEP128_FORMAT1, IDC_WEP128_FORMAT2, IDC_WEP128_FORMAT3};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Texts(IDD_WEP64_KEYS, formats64[i]), (List{"HEX", "ASCII"}));
    EXPECT_EQ(Texts(IDD_WEP128_KEYS, formats128[i]), (List{"HEX", "ASCII"}));
  }
  EXPECT_EQ(Texts(IDD_WEP64_KEYS, IDC_WEP64_ID), (List{"KEY0", "KEY1", "KEY2", "KEY3"}));
  EXPECT_EQ(Texts(IDD_WEP128_KEYS, IDC_WEP128_ID), (List{"KEY0", "KEY1", "KEY2", "KEY3"}));
}

// Ids mean different controls in different templates: a lookup must match both.
TEST(ComboLists, LookupIsPerTemplate) {
  EXPECT_EQ(quarnel::FindComboItems(IDD_CONFIG, IDC_WEP128_FORMAT1).count, 0u);  // 1074: a button there
  EXPECT_EQ(Texts(IDD_WEP128_KEYS, IDC_INITIALIZE_ENV), (List{"HEX", "ASCII"}));
  quarnel::ComboItems none = quarnel::FindComboItems(IDD_CONFIG, IDC_LOCAL_PORT);
  EXPECT_EQ(none.texts, nullptr);
  EXPECT_EQ(none.count, 0u);
  EXPECT_EQ(quarnel::FindComboItems(IDD_STARTUP_OPTIONS, IDC_MODE).count, 0u);
}

}  // namespace
