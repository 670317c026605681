#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/com_port_names.h"

namespace quarnel {
namespace {

// A device-name list as the system returns it: names, each NUL-terminated, then an empty name.
std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (const auto& name : names) list += name + '\0';
  return list + '\0';
}

std::vector<uint16_t> Collect(const std::string& list, int capacity = 30) {
  std::vector<uint16_t> ports(capacity + 1, 0xBEEF);
  const int count = CollectComPorts(list.data(), list.size(), ports.data(), capacity);
  EXPECT_EQ(ports[capacity], 0xBEEF) << "wrote past capacity";
  ports.resize(count);
  return ports;
}

TEST(ComPortNames, CountsComNamesAndSortsThem) {
  EXPECT_EQ(Collect(NameList({"COM10", "LPT1", "COM3", "NUL", "COM1"})), (std::vector<uint16_t>{1, 3, 10}));
}

TEST(ComPortNames, NameRules) {
  // "COM" alone is not a port; COMX is port 0; the comparison is case-sensitive; duplicates stay.
  EXPECT_EQ(Collect(NameList({"COM", "COMX", "com4", "COM5", "COM5", "COMPORT7"})),
            (std::vector<uint16_t>{0, 0, 5, 5}));
  EXPECT_EQ(Collect(NameList({"COM65541"})), (std::vector<uint16_t>{5}));  // truncated to 16 bits
}

TEST(ComPortNames, KeepsTheFirstNamesInSystemOrderThenSorts) {
  std::vector<std::string> names;
  for (int n = 40; n >= 1; --n) names.push_back("COM" + std::to_string(n));
  const std::vector<uint16_t> ports = Collect(NameList(names));
  ASSERT_EQ(ports.size(), 30u);
  EXPECT_EQ(ports.front(), 11);
  EXPECT_EQ(ports.back(), 40);
  EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end()));
}

TEST(ComPortNames, StopsAtTheEmptyNameAndAtTheBufferEnd) {
  EXPECT_EQ(Collect(NameList({"COM2"}) + NameList({"COM9"})), (std::vector<uint16_t>{2}));
  const std::string cut = std::string("COM4\0COM12", 10);  // last name not terminated
  EXPECT_EQ(Collect(cut), (std::vector<uint16_t>{4}));
  EXPECT_TRUE(Collect(std::string()).empty());
}

TEST(ComPortNames, SortComparesUnsigned) {
  std::vector<uint16_t> ports = {65535, 2, 40000, 2, 1};
  SortPortNumbers(ports.data(), static_cast<int>(ports.size()));
  EXPECT_EQ(ports, (std::vector<uint16_t>{1, 2, 2, 40000, 65535}));
}

TEST(ComPortNames, ComboItemsUpToCom30) {
  char text[12] = "untouched";
  ASSERT_TRUE(PortComboItem(1, text));
  EXPECT_STREQ(text, "COM1");
  ASSERT_TRUE(PortComboItem(30, text));
  EXPECT_STREQ(text, "COM30");
  ASSERT_TRUE(PortComboItem(0, text));
  EXPECT_STREQ(text, "COM0");
  EXPECT_FALSE(PortComboItem(31, text));
  EXPECT_STREQ(text, "COM0");
}

}  // namespace
}  // namespace quarnel
