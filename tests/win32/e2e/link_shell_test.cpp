// Link control and application shell of the real program: the buttons
// following the link, a port that cannot be opened, the deferred close, one
// receiver thread per open port, the About box and the ways the program ends.

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <set>
#include <string>

#include "resources/resource.h"
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
