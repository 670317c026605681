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

TEST(ComPortNames, CollectsComNamesAndSortsThemUnsigned) {
    const struct {
        std::string list;
        std::vector<uint16_t> ports;
    } cases[] = {
        {NameList({"COM10", "LPT1", "COM3", "NUL", "COM1"}), {1, 3, 10}},
        {NameList({"COM65535", "COM2", "COM40000", "COM1", "COM3"}), {1, 2, 3, 40000, 65535}},
        // "COM" alone is not a port; COMX is port 0; the comparison is case-sensitive; duplicates stay.
        {NameList({"COM", "COMX", "com4", "COM5", "COM5", "COMPORT7"}), {0, 0, 5, 5}},
        {NameList({"COM65541"}), {5}},  // truncated to 16 bits
        // Stops at the empty name and at the buffer's end.
        {NameList({"COM2"}) + NameList({"COM9"}), {2}},
        {std::string("COM4\0COM12", 10), {4}},
        {std::string(), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Collect(c.list), c.ports) << c.list;
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

}  // namespace
}  // namespace quarnel
