#include "tests/win32/e2e/converter_session.h"

#include <cstdio>
#include <cstring>

#include "resources/resource.h"

namespace e2e {

using quarnel::EnvRecord;

namespace {

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { return a << 24 | b << 16 | c << 8 | d; }

// The progress window and the program's message boxes share this caption.
constexpr char kProgramCaption[] = "Quarnel";

}  // namespace

EnvRecord Model9Record() {
    EnvRecord r{};
    r.main.set_mac_address({0x02, 0x1F, 0xA0, 0x00, 0x0B, 0xFF});
    r.main.set_device_info(1u);
    r.main.set_has_xonxoff(1);
    r.main.set_long_limits(1);
    r.main.set_fw_major(2);
    r.main.set_model_code(9);
    r.main.set_fw_revision(1);
    r.main.set_fw_minor(5);
    r.main.set_arp(1);
    r.main.set_kivra(1);
    r.main.set_has_permitted_ip(1);
    r.main.set_has_remote_search(1);
    r.main.set_has_comment(1);
    r.main.set_local_ip(Ip(192, 168, 1, 50));
    r.main.set_subnet_mask(Ip(255, 255, 255, 0));
    r.main.set_gateway_ip(Ip(192, 168, 1, 1));
    r.main.set_data_bits(8);
    r.main.set_telnet(1);
    r.main.set_baud_rate(115200);
    r.main.set_water_mark(1);
    r.main.set_local_port(1470);
    r.wlan.set_wlan_mode(1);
    r.wlan.set_channel(6);
    r.wlan.set_ssid("TARVO-NET");
    r.wlan.set_adhoc_ssid("tarvo-adhoc");
    r.tail.set_comment("Line 4 converter");
    return r;
}

std::vector<uint8_t> BlockOf(const EnvRecord& record) {
    return std::vector<uint8_t>(record.Data(), record.Data() + sizeof record);
}

EnvRecord RecordOf(const std::vector<uint8_t>& block) {
    EnvRecord record{};
    if (block.size() == sizeof record) std::memcpy(record.Data(), block.data(), sizeof record);
    return record;
}

std::string MacText(const EnvRecord& record) {
    const auto mac = record.main.mac_address();
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

int IndexOfPort(AppDriver& app, const std::string& name) {
    for (int i = 0; i < app.ItemCount(IDC_PORT); ++i) {
        if (app.Item(IDC_PORT, i) == name) return i;
    }
    return -1;
}

bool OpenPort(AppDriver& app, const std::string& name, DWORD timeoutMs) {
    const int index = IndexOfPort(app, name);
    if (index < 0) return false;
    app.Select(IDC_PORT, index);
    app.Click(IDC_OPEN);
    // The buttons switch one after another; the port list is the last.
    return WaitUntil([&] { return app.Enabled(IDC_READ) && app.Enabled(IDC_CLOSE) && !app.Enabled(IDC_PORT); },
                     timeoutMs);
}

bool ReadRecord(AppDriver& app, SimFiles& sim, const std::string& mode, EnvRecord record, DWORD timeoutMs) {
    static uint8_t stamp = 0;
    auto mac = record.main.mac_address();
    mac[5] = ++stamp;
    record.main.set_mac_address(mac);
    if (!sim.Reset(mode, BlockOf(record))) return false;
    app.Click(IDC_READ);
    const std::string expected = MacText(record);
    return WaitUntil(
        [&] {
            return app.Text(IDC_MAC_TEXT) == expected && app.FindTopLevel(kProgramCaption) == nullptr;
        },
        timeoutMs);
}

bool WriteAndWait(AppDriver& app, SimFiles& sim, bool (*done)(const EnvRecord& written), DWORD timeoutMs) {
    app.Click(IDC_WRITE);
    return WaitUntil(
        [&] {
            const std::vector<uint8_t> block = sim.Block();
            return !block.empty() && done(RecordOf(block)) && app.FindTopLevel(kProgramCaption) == nullptr;
        },
        timeoutMs);
}

}  // namespace e2e
