// Link control and application shell of the real program: the buttons
// following the link, a port that cannot be opened, Close during an exchange
// (it never resumes), the port list refreshed when dropped down, an adapter
// pulled out mid-exchange, the About box against the program file's version,
// the controls its manifest asks for and the ways the program ends. That
// Close ends the port's receiver thread is tested on the port itself
// (tests/win32/serial).

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <winver.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "serial/com_port_list.h"
#include "serial/port_messages.h"
#include "tests/win32/e2e/session.h"

namespace {

using namespace e2e;

std::vector<std::string> PortItems(const AppDriver& app) {
    std::vector<std::string> items;
    for (int i = 0; i < app.ItemCount(IDC_PORT); ++i) items.push_back(app.Item(IDC_PORT, i));
    return items;
}

// The ports this Wine session lists now, as the port list names them.
std::vector<std::string> PortsPresent() {
    uint16_t ports[quarnel::MAX_COM_PORTS] = {};
    std::vector<std::string> names;
    for (int i = 0, n = quarnel::ComPortList(ports, quarnel::MAX_COM_PORTS); i < n; ++i)
        names.push_back("COM" + std::to_string(ports[i]));
    return names;
}

// Opens the port list and closes it again, as a user looking at it would.
void DropDownPortList(const AppDriver& app) {
    DWORD_PTR result = 0;
    for (WPARAM show : {TRUE, FALSE})
        SendMessageTimeoutA(app.Control(IDC_PORT), CB_SHOWDROPDOWN, show, 0, SMTO_NORMAL, WAIT, &result);
}

// The version resource of a program file as Explorer reads it, and a value
// of it (a text, or "\\" for the numbers), or null.
std::vector<char> VersionResource(const std::string& file) {
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), nullptr));
    if (!data.empty() && !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        data.clear();
    return data;
}
const void* VersionValue(std::vector<char>& data, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    return !data.empty() && VerQueryValueA(data.data(), path.c_str(), &value, &length) ? value : nullptr;
}

class LinkAndShell : public Session {
protected:
    bool InActiveRow() const {
        return !app.Enabled(IDC_OPEN) && !app.Enabled(IDC_PORT) && app.Enabled(IDC_CLOSE) && app.Enabled(IDC_READ);
    }
    static bool SentSince(const SimFiles& sim, size_t mark, const std::string& prefix) {
        for (const auto& c : LogSince(sim, mark))
            if (StartsWith(c.text, prefix)) return true;
        return false;
    }
};

TEST_F(LinkAndShell, PortThatCannotBeOpenedIsReportedAndARealOneSwitchesTheRows) {
    EXPECT_TRUE(InClosedRow());
    const int index = app.AddItem(IDC_PORT, "COM29");
    ASSERT_GE(index, 0);
    app.Select(IDC_PORT, index);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_PORT) == index; }, WAIT));
    app.Click(IDC_OPEN);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Error", WAIT, &box));
    EXPECT_EQ(box.text, "Cannot open COM29");
    EXPECT_TRUE(WaitUntil([&] { return InClosedRow(); }, WAIT));
    // The port list still serves: a real port opens afterwards.
    OpenPort("COM3");
    EXPECT_TRUE(InActiveRow());
    EXPECT_FALSE(app.Enabled(IDC_WRITE)) << "no record yet";
    ClosePort();
}

// Close while an exchange waits for the converter (or Read pressed while the
// close is on its way), then Open again at once with the converter answering
// in shell mode: the exchange ends with the link with its message, once, and
// never resumes on the re-opened link (nothing sent, no progress window, for
// 6 s); a Read works afterwards.
TEST_F(LinkAndShell, CloseDuringAnExchangeEndsItForGood) {
    struct Case {
        const char* what;
        const char* port;
        const char* fault;
        int button;
        const char* closeAfter;  // the command after which Close is pressed; none: pressed before the close
    };
    const Case cases[] = {
        {"unanswered probe", "COM5", "none", IDC_READ, "r\\r"},
        {"read chunk never completes", "COM3", "nul:2", IDC_READ, "r 20 80"},
        {"write chunk unanswered", "COM3", "drop-ack:3", IDC_WRITE, "!w 40 "},
        // On a paced line the first chunk's reply is followed by more filler
        // than the reply buffer holds: the read cannot end before its time-out.
        {"bytes still arriving", "COM4", "flood:2", IDC_READ, "r 20 80"},
        {"read started while the link closes", "COM5", "none", IDC_READ, nullptr},
    };
    const Block original = RichBlock();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimFiles sim(c.port);
        OpenPort(c.port);
        if (c.button == IDC_WRITE) LoadConverter(sim, "monitor", original);
        ASSERT_TRUE(sim.Control({std::string("mode ") + (c.port == std::string("COM5") ? "silent" : "monitor"),
                                 std::string("fault ") + c.fault, "block " + ToHex(original)}));
        size_t mark = sim.Log().size();
        if (c.closeAfter != nullptr) {
            app.Click(c.button);
            ASSERT_TRUE(WaitUntil([&] { return SentSince(sim, mark, c.closeAfter) && app.ProgressWindow(); }, WAIT));
            ClosePort();
        } else {
            // Both queued before the window takes either: the close event
            // first, so the read starts on a link whose close is under way.
            HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, app.ThreadId());
            ASSERT_NE(thread, nullptr);
            SuspendThread(thread);
            PostMessageA(app.Main(), quarnel::WM_PORT_EVENT, 0, quarnel::PORT_EVENT_CLOSE);
            app.Click(c.button);
            ResumeThread(thread);
            CloseHandle(thread);
            ASSERT_TRUE(WaitUntil([&] { return InClosedRow(); }, WAIT));
        }

        ASSERT_TRUE(sim.Control({"mode shell", "fault none"}));
        mark = sim.Log().size();
        OpenPort(c.port);
        // A write whose first chunk went out says so; nothing else was written.
        std::string message = NO_RESPONSE;
        if (c.button == IDC_WRITE) message = WriteStoppedText(0);
        int boxes = 0;
        bool progressShown = false;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 6000; Sleep(20)) {
            progressShown = progressShown || app.ProgressWindow() != nullptr;
            ShownBox shown;
            if (app.FindMessageBox("Quarnel") != nullptr && app.AnswerBox("Quarnel", WAIT, &shown)) {
                ++boxes;
                EXPECT_EQ(shown.text, message);
            }
        }
        const std::vector<LoggedCommand> sent = LogSince(sim, mark);
        EXPECT_TRUE(sent.empty()) << "sent on the re-opened link: " << sent.front().text;
        EXPECT_FALSE(progressShown);
        EXPECT_EQ(boxes, 1);
        ReadAndWait(sim);
        EXPECT_EQ(app.Text(IDC_MAC_TEXT), MAC_TEXT);
        if (c.button == IDC_WRITE) {
            WriteAndWait(sim, IDC_WRITE);
            ExpectHolds(sim, original);
        }
        ClosePort();
    }
}

TEST_F(LinkAndShell, DroppedDownPortListShowsThePortsPresentNowWhileNoPortIsOpen) {
    const std::vector<std::string> atStart = PortItems(app);
    ASSERT_EQ(atStart, PortsPresent());
    const int chosen = static_cast<int>(std::find(atStart.begin(), atStart.end(), "COM5") - atStart.begin());
    ASSERT_LT(chosen, static_cast<int>(atStart.size()));
    app.Select(IDC_PORT, chosen);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_PORT) == chosen; }, WAIT));

    // A port plugged in while the program runs.
    ASSERT_TRUE(DefineDosDeviceA(DDD_RAW_TARGET_PATH, "COM23", "\\Device\\Null"));
    const std::vector<std::string> present = PortsPresent();
    ASSERT_NE(std::find(present.begin(), present.end(), "COM23"), present.end());
    EXPECT_EQ(PortItems(app), atStart) << "the list changed before it was dropped down";
    DropDownPortList(app);
    EXPECT_EQ(PortItems(app), present);
    EXPECT_EQ(app.Text(IDC_PORT), "COM5");

    // Unplugged: with a port open the list stays as it is.
    DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION, "COM23", nullptr);
    OpenPort("COM3");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(app.Main(), WM_COMMAND, MAKEWPARAM(IDC_PORT, CBN_DROPDOWN),
                        reinterpret_cast<LPARAM>(app.Control(IDC_PORT)), SMTO_NORMAL, WAIT, &result);
    EXPECT_EQ(PortItems(app), present);
    ClosePort();
    DropDownPortList(app);
    EXPECT_EQ(PortItems(app), atStart);
    EXPECT_EQ(app.Text(IDC_PORT), "COM3");
}

TEST_F(LinkAndShell, AdapterPulledOutMidExchangeEndsItWithAMessageAndClosesCleanly) {
    // Each case pulls its own adapter (a paced simulator whose pty side closes).
    struct Case {
        const char* port;
        int button;
        const char* unplugAfter;
    };
    for (const Case& c : {Case{"COM6", IDC_READ, "r 20 80"}, Case{"COM7", IDC_WRITE, "!w 40 "}}) {
        SCOPED_TRACE(c.port);
        SimFiles sim(c.port);
        OpenPort(c.port);
        LoadConverter(sim, "monitor", RichBlock());
        const size_t mark = sim.Log().size();
        app.Click(c.button);
        ASSERT_TRUE(WaitUntil([&] { return SentSince(sim, mark, c.unplugAfter); }, WAIT));
        ASSERT_TRUE(sim.Control({"unplug"}));

        // The exchange ends with its message within its time-outs, the
        // window answering meanwhile.
        bool answering = true;
        EXPECT_TRUE(WaitUntil(
            [&] {
                DWORD_PTR result = 0;
                answering =
                    answering && SendMessageTimeoutA(app.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
                return app.FindMessageBox("Quarnel") != nullptr;
            },
            WAIT));
        EXPECT_TRUE(answering) << "the window stopped answering";
        if (c.button == IDC_READ) {
            ExpectNoResponse();
        } else {
            // How far the write got depends on when the adapter went.
            ShownBox shown;
            ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &shown));
            EXPECT_TRUE(StartsWith(shown.text, "Writing stopped after ")) << shown.text;
        }
        ClosePort();
        DropDownPortList(app);
        EXPECT_EQ(PortItems(app), PortsPresent());
    }
}

TEST_F(LinkAndShell, AboutBoxOpensFromTheSystemMenuAndReturnsToTheWindowUnchanged) {
    OpenPort("COM3");
    // What Windows shows of the program file is what the program says of
    // itself; its numbers are the version's ("4.1d" is 4.1.4.0).
    std::vector<char> version = VersionResource(ProgramPath("quarnel.exe"));
    auto text = [&](const char* name) {
        const void* value = VersionValue(version, std::string("\\StringFileInfo\\040904e4\\") + name);
        return std::string(value ? static_cast<const char*>(value) : "");
    };
    const auto* numbers = static_cast<const VS_FIXEDFILEINFO*>(VersionValue(version, "\\"));
    ASSERT_NE(numbers, nullptr);
    const std::string product = text("ProductName") + " " + text("ProductVersion");
    EXPECT_EQ(std::to_string(HIWORD(numbers->dwFileVersionMS)) + "." +
                  std::to_string(LOWORD(numbers->dwFileVersionMS)) +
                  static_cast<char>('a' - 1 + HIWORD(numbers->dwFileVersionLS)),
              text("ProductVersion"));
    EXPECT_EQ(WindowText(app.Main()), product);
    for (WPARAM command : {WPARAM{16}, WPARAM{16 | 5}}) {
        PostMessageA(app.Main(), WM_SYSCOMMAND, command, 0);
        ShownBox about;
        ASSERT_TRUE(app.WaitForTopLevel("About qnset", WAIT, &about)) << "command " << command;
        EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the About box is modal";
        std::string lines;
        for (HWND child : ChildrenOf(about.window)) lines += WindowText(child) + "\n";
        EXPECT_NE(lines.find("\n" + product + " ( "), std::string::npos) << lines;
        PostMessageA(about.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ASSERT_TRUE(app.WaitGone(about.window, WAIT));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; }, WAIT));
        EXPECT_TRUE(InActiveRow());
    }
}

// Its manifest is honoured: the program's controls come from Common Controls 6.
TEST_F(LinkAndShell, TheProgramRunsWithCommonControls6) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.ProcessId());
    ASSERT_NE(process, nullptr);
    HMODULE modules[512];
    DWORD bytes = 0;
    std::string comctl;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
            char path[MAX_PATH] = "";
            GetModuleFileNameExA(process, modules[i], path, sizeof path);
            std::string name = path;
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            if (name.size() > 13 && name.compare(name.size() - 13, 13, "\\comctl32.dll") == 0) comctl = name;
        }
    }
    CloseHandle(process);
    EXPECT_NE(comctl.find("\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << comctl;
}

TEST_F(LinkAndShell, ExitAndClosingTheWindowEndTheProgramWithCodeZeroAndNoOtherWindow) {
    for (bool byExit : {true, false}) {
        SCOPED_TRACE(byExit ? "Exit" : "the window's Close");
        if (!app.Main()) {
            ASSERT_TRUE(app.Launch());
        }
        OpenPort("COM3");
        if (byExit)
            app.Click(IDC_EXIT);
        else
            PostMessageA(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        std::string others;
        EXPECT_TRUE(WaitUntil([&] { return app.WaitForExit(0) || !(others = app.DescribeTopLevel()).empty(); }, WAIT));
        EXPECT_EQ(others, "");
        DWORD code = 99;
        ASSERT_TRUE(app.WaitForExit(WAIT, &code));
        EXPECT_EQ(code, 0u);
        app.Kill();
    }
}

}  // namespace
