// The real SerialPort against converter simulators on ptys declared as COM3
// (monitor console), COM10 (shell console), COM1 (silent) and COM11 (a
// monitor console whose device is pulled out).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/com_port_list.h"
#include "serial/port_messages.h"
#include "tests/win32/serial/link_harness.h"
#include "tools/window-driver/sim_files.h"

namespace quarnel {
namespace {

class SerialLinkTest : public ::testing::Test {
protected:
    // The receiver thread of a newly opened port, opened for waiting and timing.
    HANDLE OpenReceiverOf(uint16_t portNumber) {
        if (!link_.OpenActive(portNumber)) return nullptr;
        const DWORD id = link_.driver().ReceiverThreadId();
        if (id == 0 || !ThreadListed(id)) return nullptr;
        return OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id);
    }

    // Closes the port: the receiver has ended when Close returns.
    void CloseAndExpectEnded(HANDLE receiver) {
        link_.port().Close(link_.state());
        EXPECT_EQ(WaitForSingleObject(receiver, 0), WAIT_OBJECT_0);
        EXPECT_FALSE(ThreadListed(GetThreadId(receiver)));
        EXPECT_EQ(link_.driver().ReceiverThreadId(), 0u);
        CloseHandle(receiver);
    }

    LinkHarness link_;
};

TEST_F(SerialLinkTest, CloseEndsTheReceiverWhereverItWaits) {
    for (bool parked : {false, true}) {
        SCOPED_TRACE(parked ? "parked on its notification" : "waiting for bytes");
        // An event left set under the name the port's read-end event once had
        // (as a handle of an earlier run would keep it): the port's events are
        // its own, or the parked receiver would post on and on.
        HANDLE stranger = CreateEventA(nullptr, TRUE, TRUE, "ReadEnd3");
        HANDLE receiver = OpenReceiverOf(3);
        ASSERT_NE(receiver, nullptr);
        // A notification never served keeps the receiver parked.
        link_.serveData = !parked;
        link_.dataEvents = 0;
        link_.Send("r\r");
        link_.Run(300);
        ASSERT_GE(link_.dataEvents, 1);
        if (parked) {
            EXPECT_EQ(link_.dataEvents, 1);
        }
        CloseAndExpectEnded(receiver);
        CloseHandle(stranger);
        link_.serveData = true;
    }
}

// Configuring the port drops what came in before it, whether the window has
// taken it in already or the driver still holds it.
TEST_F(SerialLinkTest, ConfigureDropsWhatCameInBefore) {
    const std::string reply = "r\r\nPC=00000020 SR=00 \r\n";  // the monitor console's answer to "r\r"
    HANDLE receiver = OpenReceiverOf(3);
    ASSERT_NE(receiver, nullptr);
    LinkState& state = link_.state();
    // Every answer so far has come in whole, some of it taken in by the window.
    auto answered = [&](int replies) {
        link_.port().Write(state, "r\r", 2);
        link_.port().PumpTransmit(state);
        const int want = replies * static_cast<int>(reply.size());
        int held = 0;
        for (const DWORD start = GetTickCount(); (held < want || state.rxCount == 0) && GetTickCount() - start < 5000;
             link_.DispatchFor(10))
            held = state.rxCount + static_cast<int>(link_.driver().ClearErrors(state.handle).inQueue);
        return held == want && state.rxCount > 0;
    };
    // Messages served, no ticks: the first answer is in the window's buffer,
    // and the receiver waits for it to be read; the second stays in the driver.
    ASSERT_TRUE(answered(1));
    ASSERT_TRUE(answered(2));

    link_.port().Configure(link_.settings(), state);
    link_.Run(300);
    EXPECT_EQ(link_.received, "");
    link_.Send("r\r");
    EXPECT_TRUE(link_.WaitForText(reply, 5000)) << "received: " << link_.received;
    CloseAndExpectEnded(receiver);
}

// The COM devices of the Wine prefix (its dosdevices links): the declared
// simulators plus any serial device of the machine Wine maps by itself.
std::vector<uint16_t> PrefixComPorts() {
    std::vector<uint16_t> ports;
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr) return ports;
    std::string pattern = std::string("Z:") + prefix + "/dosdevices/com*";
    std::replace(pattern.begin(), pattern.end(), '/', '\\');
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return ports;
    do {
        const int number = std::atoi(found.cFileName + 3);
        if (number > 0 && number <= MAX_COM_PORTS) ports.push_back(static_cast<uint16_t>(number));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(ports.begin(), ports.end());
    return ports;
}

TEST(ComPortList, ListsThePresentPortsAscendingAndProbingFindsThem) {
    uint16_t ports[MAX_COM_PORTS] = {};
    const std::vector<uint16_t> present = PrefixComPorts();
    ASSERT_FALSE(present.empty()) << "no dosdevices under WINEPREFIX";
    EXPECT_EQ(std::vector<uint16_t>(ports, ports + ComPortList(ports, MAX_COM_PORTS)), present);
    // Capacity 2 keeps the first two names in the system's order, sorted.
    ASSERT_EQ(ComPortList(ports, 2), 2);
    EXPECT_LT(ports[0], ports[1]);
    const std::vector<uint16_t> probed(ports, ports + ProbeComPorts(ports, MAX_COM_PORTS));
    for (uint16_t declared : {1, 3, 10, 11})
        EXPECT_NE(std::find(probed.begin(), probed.end(), declared), probed.end()) << "COM" << declared;
    EXPECT_TRUE(std::is_sorted(probed.begin(), probed.end()));
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
    CloseAndExpectEnded(receiver);
}

}  // namespace
}  // namespace quarnel
