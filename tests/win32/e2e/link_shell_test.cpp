// Link control and application shell of the real program: the buttons
// following the link, a port that cannot be opened, the deferred close, one
// receiver thread per open port, the port list listing the ports present when
// dropped down, an adapter pulled out mid-exchange, the About box and the
// ways the program ends.

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "serial/com_port_list.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/converter_session.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::AppDriver;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

constexpr DWORD kWait = 15000;
constexpr char kNoResponse[] =
    "No respone from Tarvo.\r\n\r\nCheck serial port, cable connection, power supply and console mode.";

// The program's receiver threads: it starts threads only through the
// runtime's _beginthread, so their start address lies in the runtime's
// module; the helper threads Wine starts for its own serial I/O do not.
std::set<DWORD> ReceiverThreadsOf(DWORD pid) {
    std::set<DWORD> ids;
    using QueryThread = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    constexpr int kThreadStartAddress = 9;  // ThreadQuerySetWin32StartAddress
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    if (query == nullptr) return ids;

    BYTE* runtimeBase = nullptr;
    DWORD runtimeSize = 0;
    HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (modules == INVALID_HANDLE_VALUE) return ids;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(modules, &module); more; more = Module32Next(modules, &module)) {
        if (lstrcmpiA(module.szModule, "msvcrt.dll") == 0) {
            runtimeBase = module.modBaseAddr;
            runtimeSize = module.modBaseSize;
        }
    }
    CloseHandle(modules);
    if (runtimeBase == nullptr) return ids;

    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return ids;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread == nullptr) continue;
        BYTE* start = nullptr;
        if (query(thread, kThreadStartAddress, &start, sizeof start, nullptr) == 0 && start >= runtimeBase &&
            start < runtimeBase + runtimeSize) {
            ids.insert(entry.th32ThreadID);
        }
        CloseHandle(thread);
    }
    CloseHandle(threads);
    return ids;
}

std::vector<std::string> PortItems(const AppDriver& app) {
    std::vector<std::string> items;
    for (int i = 0; i < app.ItemCount(IDC_PORT); ++i) items.push_back(app.Item(IDC_PORT, i));
    return items;
}

// The ports this Wine session lists now, as the port list names them.
std::vector<std::string> PortsPresent() {
    uint16_t ports[30] = {};
    std::vector<std::string> names;
    for (int i = 0, n = quarnel::ComPortList(ports, 30); i < n; ++i) names.push_back("COM" + std::to_string(ports[i]));
    return names;
}

// Opens the port list and closes it again, as a user looking at it would.
void DropDownPortList(const AppDriver& app) {
    DWORD_PTR result = 0;
    for (WPARAM show : {TRUE, FALSE}) {
        SendMessageTimeoutA(app.Control(IDC_PORT), CB_SHOWDROPDOWN, show, 0, SMTO_NORMAL, kWait, &result);
    }
}

// A COM device name defined in this Wine session for the test's length: a
// port plugged in while the program runs.
class PluggedPort {
public:
    explicit PluggedPort(const std::string& name) : name_(name) {
        defined_ = DefineDosDeviceA(DDD_RAW_TARGET_PATH, name_.c_str(), "\\Device\\Null") != FALSE;
    }
    ~PluggedPort() { Unplug(); }
    bool Defined() const { return defined_; }
    void Unplug() {
        if (defined_) DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION, name_.c_str(), nullptr);
        defined_ = false;
    }

private:
    std::string name_;
    bool defined_ = false;
};

class LinkAndShell : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Launch(QUARNEL_EXE_PATH)); }

    bool InClosedRow() const {
        return app.Enabled(IDC_OPEN) && app.Enabled(IDC_PORT) && !app.Enabled(IDC_CLOSE) && !app.Enabled(IDC_READ) &&
               !app.Enabled(IDC_WRITE) && !app.Enabled(IDC_CHANGE_PWD) && !app.Enabled(IDC_INITIALIZE_ENV);
    }
    bool InActiveRow() const {
        return !app.Enabled(IDC_OPEN) && !app.Enabled(IDC_PORT) && app.Enabled(IDC_CLOSE) && app.Enabled(IDC_READ);
    }
    void CloseAndWait() {
        app.Click(IDC_CLOSE);
        ASSERT_TRUE(WaitUntil([&] { return InClosedRow(); }, kWait));
    }

    AppDriver app;
};

TEST_F(LinkAndShell, StartsClosedOpenSwitchesToActiveAndCloseBack) {
    EXPECT_TRUE(InClosedRow());
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    EXPECT_TRUE(InActiveRow());
    EXPECT_FALSE(app.Enabled(IDC_WRITE)) << "no record yet";
    EXPECT_FALSE(app.Enabled(IDC_CHANGE_PWD));
    EXPECT_FALSE(app.Enabled(IDC_INITIALIZE_ENV));
    CloseAndWait();
}

TEST_F(LinkAndShell, PortThatDoesNotExistIsReportedAndTheWindowStaysClosed) {
    const int index = app.AddItem(IDC_PORT, "COM29");
    ASSERT_GE(index, 0);
    app.Select(IDC_PORT, index);
    app.Click(IDC_OPEN);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Error", kWait, &box));
    EXPECT_EQ(box.text, "Cannot open COM29");
    EXPECT_TRUE(WaitUntil([&] { return InClosedRow(); }, kWait));
    // The port list still serves: a real port opens afterwards.
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
}

TEST_F(LinkAndShell, CloseWhileTheConverterAnswersCompletesAndTheLinkOpensAgain) {
    SimFiles sim("COM4");
    ASSERT_TRUE(sim.Available());
    // The probe's answer is followed by a stream of filler bytes (the line
    // is paced), so bytes are still arriving when Close is pressed.
    ASSERT_TRUE(sim.Reset("monitor", e2e::BlockOf(e2e::Model9Record())));
    ASSERT_TRUE(sim.Control({"fault flood:1"}));
    ASSERT_TRUE(e2e::OpenPort(app, "COM4", kWait));
    app.Click(IDC_READ);
    ASSERT_TRUE(WaitUntil([&] { return !sim.Log().empty(); }, kWait));
    app.Click(IDC_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return InClosedRow(); }, kWait));
    // The read it cut short ends as an unanswered one.
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &box)) << app.DescribeTopLevel();
    EXPECT_EQ(box.text, kNoResponse);
    EXPECT_TRUE(WaitUntil([&] { return app.FindTopLevel("Quarnel") == nullptr; }, kWait)) << app.DescribeTopLevel();

    ASSERT_TRUE(e2e::OpenPort(app, "COM4", kWait));
    EXPECT_TRUE(e2e::ReadRecord(app, sim, "monitor", e2e::Model9Record(), kWait)) << app.DescribeTopLevel();
}

TEST_F(LinkAndShell, ReadClosedAtOnceEndsAsUnansweredAndTakesItsProgressWindow) {
    // A silent converter: an answering one could finish the whole Read while
    // the close still waits for its bytes to drain.
    ASSERT_TRUE(e2e::OpenPort(app, "COM5", kWait));
    app.Click(IDC_READ);
    app.Click(IDC_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return InClosedRow(); }, kWait));
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &box)) << app.DescribeTopLevel();
    EXPECT_EQ(box.text, kNoResponse);
    EXPECT_TRUE(WaitUntil([&] { return app.FindTopLevel("Quarnel") == nullptr; }, kWait)) << app.DescribeTopLevel();
}

TEST_F(LinkAndShell, ReopeningOnAnotherPortLeavesOneReceiverThread) {
    const DWORD pid = app.ProcessId();
    EXPECT_TRUE(ReceiverThreadsOf(pid).empty());
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    const std::set<DWORD> first = ReceiverThreadsOf(pid);
    ASSERT_EQ(first.size(), 1u);
    CloseAndWait();
    EXPECT_TRUE(WaitUntil([&] { return ReceiverThreadsOf(pid).empty(); }, kWait)) << "the receiver outlived its port";

    ASSERT_TRUE(e2e::OpenPort(app, "COM4", kWait));
    const std::set<DWORD> second = ReceiverThreadsOf(pid);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(*second.begin(), *first.begin());
    // The new receiver serves the new port.
    SimFiles sim("COM4");
    EXPECT_TRUE(e2e::ReadRecord(app, sim, "monitor", e2e::Model9Record(), kWait)) << app.DescribeTopLevel();
    EXPECT_EQ(ReceiverThreadsOf(pid), second);
    CloseAndWait();
    EXPECT_TRUE(WaitUntil([&] { return ReceiverThreadsOf(pid).empty(); }, kWait)) << "the receiver outlived its port";
}

TEST_F(LinkAndShell, DroppedDownPortListShowsThePortsPresentNowWhileNoPortIsOpen) {
    const std::vector<std::string> atStart = PortItems(app);
    ASSERT_EQ(atStart, PortsPresent());
    const int chosen = static_cast<int>(std::find(atStart.begin(), atStart.end(), "COM5") - atStart.begin());
    ASSERT_LT(chosen, static_cast<int>(atStart.size()));
    app.Select(IDC_PORT, chosen);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_PORT) == chosen; }, kWait));

    PluggedPort plugged("COM23");
    ASSERT_TRUE(plugged.Defined());
    std::vector<std::string> present = PortsPresent();
    ASSERT_NE(std::find(present.begin(), present.end(), "COM23"), present.end());
    EXPECT_EQ(PortItems(app), atStart) << "the list changed before it was dropped down";
    DropDownPortList(app);
    EXPECT_EQ(PortItems(app), present);
    EXPECT_EQ(app.Text(IDC_PORT), "COM5");

    // With a port open the list stays as it is.
    plugged.Unplug();
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(app.Main(), WM_COMMAND, MAKEWPARAM(IDC_PORT, CBN_DROPDOWN),
                        reinterpret_cast<LPARAM>(app.Control(IDC_PORT)), SMTO_NORMAL, kWait, &result);
    EXPECT_EQ(PortItems(app), present);
    CloseAndWait();
    DropDownPortList(app);
    EXPECT_EQ(PortItems(app), atStart);
    EXPECT_EQ(app.Text(IDC_PORT), "COM3");
}

TEST_F(LinkAndShell, AdapterPulledOutMidExchangeEndsItWithAMessageAndClosesCleanly) {
    // Each case pulls its own adapter (a paced simulator whose pty side closes).
    struct Case {
        const char* port;
        int button;
        const char* unplugAfter;  // the command after which the adapter goes
    };
    const Case cases[] = {{"COM6", IDC_READ, "r 20 80"}, {"COM7", IDC_WRITE, "!w 40 "}};
    const DWORD pid = app.ProcessId();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        SimFiles sim(c.port);
        ASSERT_TRUE(sim.Reset("monitor", e2e::BlockOf(e2e::Model9Record())));
        ASSERT_TRUE(e2e::OpenPort(app, c.port, kWait));
        if (c.button == IDC_WRITE) {
            ASSERT_TRUE(e2e::ReadRecord(app, sim, "monitor", e2e::Model9Record(), kWait));
        }
        const size_t mark = sim.Log().size();
        app.Click(c.button);
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::vector<e2e::LoggedCommand> log = sim.Log();
                return std::any_of(log.begin() + static_cast<std::ptrdiff_t>(std::min(mark, log.size())), log.end(),
                                   [&](const e2e::LoggedCommand& e) { return e.text.rfind(c.unplugAfter, 0) == 0; });
            },
            kWait));
        ASSERT_TRUE(sim.Control({"unplug"}));

        // The exchange ends with its message within its time-outs, the
        // window answering meanwhile.
        ShownBox box;
        bool answering = true;
        const bool ended = WaitUntil(
            [&] {
                DWORD_PTR result = 0;
                answering = answering && SendMessageTimeoutA(app.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
                return app.FindMessageBox("Quarnel") != nullptr;
            },
            kWait);
        EXPECT_TRUE(answering) << "the window stopped answering";
        ASSERT_TRUE(ended) << app.DescribeTopLevel();
        ASSERT_TRUE(app.AnswerBox("Quarnel", kWait, &box));
        EXPECT_EQ(box.text, kNoResponse);
        EXPECT_TRUE(WaitUntil([&] { return app.FindTopLevel("Quarnel") == nullptr; }, kWait)) << app.DescribeTopLevel();

        CloseAndWait();
        EXPECT_TRUE(WaitUntil([&] { return ReceiverThreadsOf(pid).empty(); }, kWait)) << "the receiver outlived its port";
        DropDownPortList(app);
        EXPECT_EQ(PortItems(app), PortsPresent());
    }
}

TEST_F(LinkAndShell, AboutBoxOpensFromTheSystemMenuAndReturnsToTheWindowUnchanged) {
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    const std::string caption = e2e::WindowText(app.Main());
    for (WPARAM command : {WPARAM{16}, WPARAM{16 | 5}}) {
        PostMessageA(app.Main(), WM_SYSCOMMAND, command, 0);
        ShownBox about;
        ASSERT_TRUE(app.WaitForTopLevel("About qnset", kWait, &about)) << "command " << command;
        EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the About box is modal";
        PostMessageA(about.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ASSERT_TRUE(app.WaitGone(about.window, kWait));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; }, kWait));
        EXPECT_EQ(e2e::WindowText(app.Main()), caption);
        EXPECT_TRUE(InActiveRow());
        EXPECT_EQ(app.FindTopLevel("About qnset"), nullptr);
    }
}

TEST_F(LinkAndShell, ExitEndsTheProgramWithCodeZero) {
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    app.Click(IDC_EXIT);
    DWORD code = 99;
    ASSERT_TRUE(app.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(LinkAndShell, ClosingTheMainWindowEndsTheProgramWithoutAnotherWindow) {
    ASSERT_TRUE(e2e::OpenPort(app, "COM3", kWait));
    PostMessageA(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    std::string others;
    const bool ended = WaitUntil(
        [&] {
            others = app.DescribeTopLevel();
            return app.WaitForExit(0) || !others.empty();
        },
        kWait);
    EXPECT_EQ(others, "");
    EXPECT_TRUE(ended && app.WaitForExit(kWait));
}

}  // namespace
