// The real SerialPort against converter simulators on ptys declared as COM3
// (monitor console), COM10 (shell console), COM1 (silent) and COM11 (a
// monitor console whose device is pulled out).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/com_port_list.h"
#include "serial/link_error_box_win32.h"
#include "serial/port_messages.h"
#include "tests/win32/e2e/sim_files.h"
#include "tests/win32/serial/link_harness.h"

namespace quarnel {
namespace {

std::vector<std::string> shownErrors;

void CaptureLinkError(HWND, const char* text) { shownErrors.push_back(text); }

class SerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shownErrors.clear();
    previous_ = SetLinkErrorHandler(CaptureLinkError);
  }
  void TearDown() override { SetLinkErrorHandler(previous_); }

  // The receiver thread of a newly opened port, opened for waiting and timing.
  HANDLE OpenReceiverOf(uint16_t portNumber) {
    if (!link_.OpenActive(portNumber)) return nullptr;
    const DWORD id = link_.driver().ReceiverThreadId();
    if (id == 0 || !ThreadListed(id)) return nullptr;
    return OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id);
  }

  static bool Ended(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

  LinkHarness link_;
  LinkErrorHandler previous_ = nullptr;
};

TEST_F(SerialLinkTest, MonitorProbeIsAnsweredThroughTheReceiver) {
  ASSERT_TRUE(link_.OpenActive(3));
  EXPECT_EQ(link_.opened, 1);
  EXPECT_EQ(gLinkState.portNumber, 3);
  link_.Send("r\r");
  ASSERT_TRUE(link_.WaitForText("00 \r\n", 5000)) << "received: " << link_.received;
  EXPECT_GE(link_.dataEvents, 1);
  EXPECT_EQ(gLinkState.txCount, 0);
  link_.Run(50);
  EXPECT_TRUE(link_.port().IsRxDrained(gLinkState));
  EXPECT_EQ(gLinkState.rxPending, 0) << "the receiver was not released";
}

TEST_F(SerialLinkTest, SeveralExchangesInARowAllArrive) {
  ASSERT_TRUE(link_.OpenActive(3));
  for (int round = 0; round < 5; ++round) {
    link_.received.clear();
    link_.Send("r\r");
    ASSERT_TRUE(link_.WaitForText("00 \r\n", 5000)) << "round " << round << ": " << link_.received;
  }
}

TEST_F(SerialLinkTest, CloseEndsTheReceiverThread) {
  HANDLE receiver = OpenReceiverOf(3);
  ASSERT_NE(receiver, nullptr);
  const DWORD id = GetThreadId(receiver);
  EXPECT_FALSE(Ended(receiver));
  link_.port().Close(gLinkState);
  EXPECT_TRUE(Ended(receiver));
  EXPECT_FALSE(ThreadListed(id));
  EXPECT_EQ(link_.driver().ReceiverThreadId(), 0u);
  EXPECT_EQ(gLinkState.isOpen, 0);
  CloseHandle(receiver);
}

TEST_F(SerialLinkTest, CloseEndsAReceiverParkedOnItsNotification) {
  HANDLE receiver = OpenReceiverOf(3);
  ASSERT_NE(receiver, nullptr);
  link_.serveData = false;  // the notification is never served: the receiver stays parked
  link_.Send("r\r");
  link_.Run(300);
  ASSERT_GE(link_.dataEvents, 1);
  link_.port().Close(gLinkState);
  EXPECT_TRUE(Ended(receiver));
  CloseHandle(receiver);
}

TEST_F(SerialLinkTest, IdleReceiverSleeps) {
  HANDLE receiver = OpenReceiverOf(3);
  ASSERT_NE(receiver, nullptr);
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  ASSERT_TRUE(GetThreadTimes(receiver, &created, &exited, &kernelBefore, &userBefore));
  link_.Run(1000);
  ASSERT_TRUE(GetThreadTimes(receiver, &created, &exited, &kernelAfter, &userAfter));
  auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  const double cpuMs =
      (ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore)) / 10000.0;
  std::printf("receiver CPU time over an idle second: %.1f ms\n", cpuMs);
  EXPECT_LT(cpuMs, 50.0) << "the receiver spins";
  link_.port().Close(gLinkState);
  CloseHandle(receiver);
}

// The COM devices of the Wine prefix (its dosdevices links): the declared
// simulators plus any serial device of the machine Wine maps by itself.
std::vector<uint16_t> PrefixComPorts() {
  std::vector<uint16_t> ports;
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) return ports;
  std::string pattern = std::string("Z:") + prefix + "/dosdevices/com*";
  for (char& c : pattern) {
    if (c == '/') c = '\\';
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return ports;
  do {
    const int number = std::atoi(found.cFileName + 3);
    if (number > 0 && number <= 30) ports.push_back(static_cast<uint16_t>(number));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(ports.begin(), ports.end());
  return ports;
}

bool Contains(const std::vector<uint16_t>& ports, uint16_t port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

TEST(ComPortList, ListsThePresentPortsAscending) {
  uint16_t ports[30] = {};
  const std::vector<uint16_t> listed(ports, ports + ComPortList(ports, 30));
  for (uint16_t declared : {1, 3, 10, 11}) EXPECT_TRUE(Contains(listed, declared)) << "COM" << declared;
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
  const std::vector<uint16_t> present = PrefixComPorts();
  ASSERT_FALSE(present.empty()) << "no dosdevices under WINEPREFIX";
  EXPECT_EQ(listed, present);
  // Capacity 2 keeps the first two names in the system's order, sorted.
  ASSERT_EQ(ComPortList(ports, 2), 2);
  EXPECT_LT(ports[0], ports[1]);
  EXPECT_TRUE(Contains(present, ports[0]) && Contains(present, ports[1]));
}

TEST(ComPortList, ProbingFindsTheDeclaredPorts) {
  uint16_t ports[30] = {};
  const std::vector<uint16_t> probed(ports, ports + ProbeComPorts(ports, 30));
  for (uint16_t declared : {1, 3, 10, 11}) EXPECT_TRUE(Contains(probed, declared)) << "COM" << declared;
  EXPECT_TRUE(std::is_sorted(probed.begin(), probed.end()));
  const int count = ProbeComPorts(ports, 2);  // only COM1 and COM2 are tried
  ASSERT_GE(count, 1);
  EXPECT_EQ(ports[0], 1);
  EXPECT_LE(ports[count - 1], 2);
}

// A suite of its own, run last: COM11 stays pulled out, and the port lists
// above would differ on it.
using PulledOutLinkTest = SerialLinkTest;

TEST_F(PulledOutLinkTest, PortWhoseDeviceHasGoneStopsWakingTheWindow) {
  e2e::SimFiles sim("COM11");
  ASSERT_TRUE(sim.Available());
  HANDLE receiver = OpenReceiverOf(11);
  ASSERT_NE(receiver, nullptr);
  link_.Send("r\r");
  ASSERT_TRUE(link_.WaitForText("00 \r\n", 5000)) << "received: " << link_.received;
  ASSERT_TRUE(sim.Control({"unplug"}));
  const int before = link_.dataEvents;
  link_.Send("r\r");
  link_.Run(1000);
  // A wait the line refuses at once must not be issued again and again.
  EXPECT_LE(link_.dataEvents - before, 2);
  link_.port().Close(gLinkState);
  EXPECT_TRUE(Ended(receiver));
  CloseHandle(receiver);
}

}  // namespace
}  // namespace quarnel
