#include "tests/win32/e2e/session.h"

#include <cstdio>

#include "resources/resource.h"

namespace e2e {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

uint32_t Le32(const Block& block, int offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | block.at(static_cast<size_t>(offset + i));
    return value;
}

uint16_t Le16(const Block& block, int offset) {
    return static_cast<uint16_t>(block.at(static_cast<size_t>(offset)) | block.at(static_cast<size_t>(offset + 1))
                                                                             << 8);
}

void PutLe32(Block& block, int offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) block.at(static_cast<size_t>(offset + i)) = static_cast<uint8_t>(value >> (8 * i));
}

void PutLe16(Block& block, int offset, uint16_t value) {
    block.at(static_cast<size_t>(offset)) = static_cast<uint8_t>(value);
    block.at(static_cast<size_t>(offset + 1)) = static_cast<uint8_t>(value >> 8);
}

void PutBits(Block& block, int offset, int shift, int width, uint32_t value) {
    const uint32_t mask = ((1u << width) - 1u) << shift;
    PutLe32(block, offset, (Le32(block, offset) & ~mask) | ((value << shift) & mask));
}

void PutText(Block& block, int offset, int size, const std::string& text) {
    for (int i = 0; i < size; ++i) {
        block.at(static_cast<size_t>(offset + i)) =
            i < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[static_cast<size_t>(i)]) : 0;
    }
}

DWORD Ipv4(int a, int b, int c, int d) {
    return static_cast<DWORD>(a) << 24 | static_cast<DWORD>(b) << 16 | static_cast<DWORD>(c) << 8 |
           static_cast<DWORD>(d);
}

Block RichBlock(int model) {
    // Reserved bytes: a fixed pseudo-random pattern, so that any byte the
    // program invents or drops shows.
    Block b(480);
    uint32_t seed = 0x2468ACE1u;
    for (auto& byte : b) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    const uint8_t mac[6] = {0x0A, 0xBC, 0xDE, 0x01, 0x2F, 0x9E};
    for (int i = 0; i < 6; ++i) b[static_cast<size_t>(4 + i)] = mac[i];

    // device_info: XON/XOFF and long limits offered, EAPoL and DHCP present;
    // firmware 3.7C of `model`; reserved bits 0-3 and 8-15 as they came.
    PutBits(b, 28, 4, 4, 0x6);  // no_eapol 0, has_xonxoff 1, long_limits 1, no_dhcp 0
    PutBits(b, 28, 16, 3, 3);
    PutBits(b, 28, 19, 5, static_cast<uint32_t>(model));
    PutBits(b, 28, 24, 4, 2);
    PutBits(b, 28, 28, 4, 7);

    // options: dhcp 0, arp 1, secure 1, kivra 1, no_telnet 0, eapol 0,
    // has_permitted_ip 1, power_down 0, remote search offered and on, comment
    // valid; the reserved bits 1, 6-11 and 19-31 set in a pattern.
    PutLe32(b, 32,
            0xAB000000u | 1u << 19 | 1u << 21 | 1u << 22 | 1u << 23 | 1u << 24 | 1u << 25 | 1u << 18 | 1u << 17 |
                1u << 16 | 1u << 14 | 0xA00u | 1u << 7 | 1u << 6 | 1u << 4 | 1u << 3 | 1u << 2 | 1u << 1);

    const uint8_t addresses[12] = {172, 16, 5, 20, 255, 255, 0, 0, 172, 16, 0, 1};
    for (int i = 0; i < 12; ++i) b[static_cast<size_t>(36 + i)] = addresses[i];

    // EAPoL name "operator-station-07": characters 0-7 at 108, 8-15 at 64,
    // 16-31 at 48.
    const std::string name = "operator-station-07";
    PutText(b, 108, 8, name.substr(0, 8));
    PutText(b, 64, 8, name.substr(8, 8));
    PutText(b, 48, 16, name.substr(16));
    PutText(b, 116, 8, "pw12");

    // serial_options: ODD, 7 data bits, RTS/CTS, telnet, RS-232, two stop
    // bits, no multi conn.; reserved bits 9-14 and 21-31 in a pattern, wlan_cfg.
    PutLe32(b, 84, 0x5A600000u | 1u << 18 | 1u << 15 | 0x3E00u | 1u << 8 | 1u << 6 | 7u << 2 | 2u);
    PutLe32(b, 88, 57600);
    PutLe16(b, 92, 1234);
    b[94] = 0;  // T2S
    PutLe16(b, 96, 100);
    const uint8_t peer[4] = {172, 16, 9, 9};
    for (int i = 0; i < 4; ++i) b[static_cast<size_t>(100 + i)] = peer[i];
    PutLe16(b, 104, 4001);
    PutLe16(b, 106, 1470);

    // wlan_options: Infrastructure, channel 11, 128-bit WEP with key 1,
    // Ad-Hoc on boot, Shared Key; reserved bits 16-31 in a pattern.
    PutLe32(b, 128, 0xC3A50000u | 1u << 14 | 1u << 12 | 1u << 10 | 2u << 8 | 11u << 4 | 1u);
    PutText(b, 144, 32, "TARVO-NET-5");
    PutText(b, 176, 32, "tarvo-adhoc");
    PutText(b, 288, 32, "Line 4 converter");
    return b;
}

std::string DescribeDifferences(const Block& expected, const Block& actual) {
    if (expected.size() != actual.size()) {
        return "size " + std::to_string(expected.size()) + " expected, got " + std::to_string(actual.size());
    }
    std::string text;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == actual[i]) continue;
        char line[64];
        std::snprintf(line, sizeof line, "offset %u: expected %02x, got %02x\n", static_cast<unsigned>(i), expected[i],
                      actual[i]);
        text += line;
    }
    return text;
}

std::string WriteStoppedText(int confirmed) {
    return "Writing stopped after " + std::to_string(confirmed) +
           " of 448 bytes: Tarvo may now hold a mix of old and new settings.\r\n\r\nThe window still holds the "
           "values that were sent: press Write again to send all of them, or Load a saved settings file and Write it.";
}

bool EndsRead(const std::string& command) {
    // The shell probe's own "C1" comes while the progress window is still up.
    return command == "r 1a0 60\\r" || command == "C1\\r";
}

bool EndsWrite(const std::string& command) {
    // With the read-back on, a write ends as a read does.
    return StartsWith(command, "!w 1f0 ") || command == "C0\\r" || EndsRead(command);
}

void Session::SetUp() { ASSERT_TRUE(app.Launch()); }

void Session::OpenPort(const std::string& name) {
    int index = -1;
    for (int i = 0; i < app.ItemCount(IDC_PORT) && index < 0; ++i) {
        if (app.Item(IDC_PORT, i) == name) index = i;
    }
    ASSERT_GE(index, 0) << name << " is not offered";
    app.Select(IDC_PORT, index);
    ASSERT_TRUE(WaitUntil([&] { return app.Selection(IDC_PORT) == index; }, WAIT));
    app.Click(IDC_OPEN);
    // The buttons switch one after another; the port list is the last.
    ASSERT_TRUE(
        WaitUntil([&] { return app.Enabled(IDC_READ) && app.Enabled(IDC_CLOSE) && !app.Enabled(IDC_PORT); }, WAIT));
}

bool Session::InClosedRow() const {
    return app.Enabled(IDC_OPEN) && app.Enabled(IDC_PORT) && !app.Enabled(IDC_CLOSE) && !app.Enabled(IDC_READ) &&
           !app.Enabled(IDC_WRITE) && !app.Enabled(IDC_CHANGE_PWD) && !app.Enabled(IDC_INITIALIZE_ENV);
}

void Session::ClosePort() {
    app.Click(IDC_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return InClosedRow(); }, WAIT));
}

std::vector<LoggedCommand> Session::LogSince(const SimFiles& sim, size_t mark) {
    std::vector<LoggedCommand> log = sim.Log();
    if (mark >= log.size()) return {};
    return std::vector<LoggedCommand>(log.begin() + static_cast<std::ptrdiff_t>(mark), log.end());
}

void Session::WaitForExchangeEnd(SimFiles& sim, size_t mark, const std::function<bool(const std::string&)>& last,
                                 std::vector<LoggedCommand>* sent) {
    std::vector<LoggedCommand> log;
    bool done = false;
    const bool ended = WaitUntil(
        [&] {
            if (app.FindMessageBox("Quarnel")) return true;
            // The window first: an exchange that ends after this look has its
            // last command in the log read next.
            const bool progress = app.ProgressWindow() != nullptr;
            log = LogSince(sim, mark);
            done = !log.empty() && last(log.back().text) && !progress;
            return done;
        },
        WAIT);
    if (sent) *sent = log;
    ASSERT_TRUE(ended) << "the exchange did not end; last command: " << (log.empty() ? "none" : log.back().text);
    ShownBox box;
    if (!done && app.AnswerBox("Quarnel", 1000, &box)) FAIL() << "the exchange ended in: " << box.text;
    ASSERT_TRUE(done);
}

void Session::ReadAndWait(SimFiles& sim, std::vector<LoggedCommand>* sent) {
    const size_t mark = sim.Log().size();
    app.Click(IDC_READ);
    WaitForExchangeEnd(sim, mark, EndsRead, sent);
}

void Session::WriteAndWait(SimFiles& sim, int button, std::vector<LoggedCommand>* sent) {
    const size_t mark = sim.Log().size();
    app.Click(button);
    WaitForExchangeEnd(sim, mark, EndsWrite, sent);
}

void Session::LoadConverter(SimFiles& sim, const std::string& mode, const Block& block) {
    ASSERT_TRUE(sim.Reset(mode, block));
    ReadAndWait(sim);
}

void Session::ExpectHolds(const SimFiles& sim, const Block& expected) {
    EXPECT_EQ(DescribeDifferences(expected, sim.Block()), "");
}

void Session::ExpectNoResponse() { ExpectFailure(NO_RESPONSE); }

void Session::ExpectFailure(const std::string& message) {
    ASSERT_TRUE(WaitUntil([&] { return app.FindMessageBox("Quarnel") != nullptr; }, WAIT))
        << "the exchange never ended; progress window up: " << (app.ProgressWindow() != nullptr);
    EXPECT_EQ(app.ProgressWindow(), nullptr);
    ShownBox shown;
    ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &shown));
    EXPECT_EQ(shown.text, message);
    EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, WAIT)) << app.DescribeTopLevel();
}

void Session::FocusAndWait(int id) {
    app.Focus(id);
    ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(id); }, WAIT)) << id;
}

}  // namespace e2e
