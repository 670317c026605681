#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <functional>

#include "configfile/memory_form.h"
#include "envrecord/field_limits.h"
#include "envrecord/form_transfer.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

class FormTransfer : public ::testing::Test {
protected:
    EnvRecord rec = ZeroRecord();
    MemoryForm win;

    void Show() { RecordToForm(rec.main, rec.wlan, rec.tail, win.Context()); }
    int Store() { return FormToRecord(rec.main, rec.wlan, rec.tail, win.Context()); }
    int Sel(int id) { return win.controls.GetSelection(id); }
};

TEST_F(FormTransfer, LabelsFlagCopiesAndPortList) {
    rec.main.set_mac_address({0x02, 0x1F, 0xA0, 0x00, 0x0B, 0xFF});
    rec.main.set_fw_major(7), rec.main.set_fw_minor(15);
    win.fields.firmwareText = "kept";
    win.recordLoaded = 0;
    Show();
    EXPECT_EQ("MAC", win.fields.macText);
    EXPECT_EQ("kept", win.fields.firmwareText);  // model_code 0: label left alone
    EXPECT_EQ(0, Sel(IDC_PORT));                 // a first port chosen...
    win.controls.SetSelection(IDC_PORT, 1);

    win.recordLoaded = 1;
    rec.main.set_model_code(9), rec.main.set_fw_revision(1);
    for (auto set :
         {&MainBlock::set_no_telnet, &MainBlock::set_long_limits, &MainBlock::set_no_dhcp, &MainBlock::set_no_eapol,
          &MainBlock::set_has_permitted_ip, &MainBlock::set_has_remote_search, &MainBlock::set_has_comment})
        (rec.main.*set)(1);
    Show();
    EXPECT_EQ(1, Sel(IDC_PORT));  // ...only when none is
    EXPECT_EQ("02:1F:A0:00:0B:FF", win.fields.macText);
    EXPECT_EQ("F/W : 7.15B", win.fields.firmwareText);
    const ConverterFlags& f = win.flags;
    EXPECT_EQ(7, f.no_telnet + f.long_limits + f.no_dhcp + f.no_eapol + f.has_permitted_ip + f.has_remote_search +
                     f.has_comment);
    EXPECT_EQ((std::vector<int>{9, 7, 15, 1}), (std::vector<int>{f.model_code, f.fw_major, f.fw_minor, f.fw_revision}));
}

TEST_F(FormTransfer, BaudRateShowsTheNearestEntryAndStoresTheList) {
    const struct {
        std::uint32_t rate;
        int selection;
        std::uint32_t stored;
    } cases[] = {{115200, 8, 115200},  {100000, 8, 115200}, {86399, 7, 57600},
                 {230400, -1, 230400}, {1200, 0, 1200},     {0, 0, 1200}};
    for (const auto& c : cases) {
        rec.main.set_baud_rate(c.rate);
        Show();
        EXPECT_EQ(c.selection, Sel(IDC_BAUD_RATE)) << c.rate;
        Store();
        EXPECT_EQ(c.stored, rec.main.baud_rate()) << c.rate;
    }
}

// The lists' texts come from the window's template: each entry must store
// the number it shows ("19200", or "U2S(3)" in parentheses).
TEST_F(FormTransfer, NumberedEntriesStoreTheNumberTheyShow) {
    const std::pair<int, std::function<std::uint32_t()>> lists[] = {
        {IDC_BAUD_RATE, [&] { return rec.main.baud_rate(); }}, {IDC_DATA_BITS, [&] { return rec.main.data_bits(); }},
        {IDC_CHANNEL, [&] { return rec.wlan.channel(); }},     {IDC_MODE, [&] { return rec.main.mode(); }},
        {IDC_WLAN_MODE, [&] { return rec.wlan.wlan_mode(); }}, {IDC_WEP_MODE, [&] { return rec.wlan.wep_mode(); }},
        {IDC_AUTH_MODE, [&] { return rec.wlan.auth_mode(); }}};
    for (const auto& [id, stored] : lists) {
        const ListTexts items =
            std::find_if(std::begin(SETTINGS), std::end(SETTINGS), [&](auto& d) { return d.control == id; })->list;
        for (int i = 0; i < static_cast<int>(items.count); ++i) {
            win.controls.SetSelection(id, i);
            Store();
            const std::string text = items.texts[i];
            const size_t open = text.find('(');
            EXPECT_EQ(std::stoul(open == std::string::npos ? text : text.substr(open + 1)), stored()) << text;
        }
    }
}

// A value the list does not offer shows no choice, and storing the form
// leaves it as the converter had it; a choice the user makes is stored.
TEST_F(FormTransfer, ListsWithoutSelectionKeepTheConvertersValue) {
    rec.main.set_data_bits(6), rec.main.set_parity(3), rec.main.set_stop_bits(2), rec.main.set_serial_type(3);
    rec.main.set_mode(5), rec.wlan.set_wlan_mode(9), rec.wlan.set_wep_mode(3), rec.wlan.set_auth_mode(2);
    rec.main.set_baud_rate(9600);  // every other field as the list shows it
    const EnvRecord shown = rec;
    Show();
    for (int id : {IDC_DATA_BITS, IDC_PARITY, IDC_STOP_BITS, IDC_SERIAL_TYPE, IDC_MODE, IDC_WLAN_MODE, IDC_WEP_MODE,
                   IDC_AUTH_MODE})
        EXPECT_EQ(-1, Sel(id)) << id;
    Store();
    EXPECT_EQ(0, std::memcmp(shown.Data(), rec.Data(), env_layout::RECORD_SIZE));

    win.controls.SetSelection(IDC_PARITY, 1);
    Store();
    EXPECT_EQ(1u, rec.main.parity());
    EXPECT_EQ(2u, rec.main.stop_bits());
}

// XON/XOFF is offered where the converter has it (models 7-9 or the flag),
// added once however many records are shown; RTS/CTS wins over it.
TEST_F(FormTransfer, FlowControlOffersXonXoffOnlyWhereTheConverterDoes) {
    const struct {
        std::uint32_t model, hasXonXoff, rts, xon;
        int items, selection;
        std::uint32_t storedRts, storedXon;
    } cases[] = {
        {1, 0, 0, 1, 2, -1, 0, 1},  // not offered: kept as the converter has it
        {7, 0, 0, 1, 3, 2, 0, 1},  {8, 0, 0, 1, 3, 2, 0, 1}, {9, 0, 0, 1, 3, 2, 0, 1}, {3, 1, 1, 1, 3, 1, 1, 0},
        {3, 1, 0, 0, 3, 0, 0, 0},  {3, 0, 0, 0, 2, 0, 0, 0}, {8, 0, 0, 0, 3, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " has " << c.hasXonXoff << " rts " << c.rts);
        rec.main.set_model_code(c.model), rec.main.set_has_xonxoff(c.hasXonXoff);
        rec.main.set_rts_cts(c.rts), rec.main.set_xon_xoff(c.xon);
        Show();
        EXPECT_EQ((std::pair{c.items, c.selection}),
                  (std::pair{win.controls.ItemCount(IDC_FLOW_CONTROL), Sel(IDC_FLOW_CONTROL)}));
        Store();
        EXPECT_EQ((std::pair{c.storedRts, c.storedXon}), (std::pair{rec.main.rts_cts(), rec.main.xon_xoff()}));
    }
}

// Stored numbers are limited by model (long_limits governs leaving a field
// only), a negative number becomes 0, ports stop at 65535; the form shows
// what was stored.
TEST_F(FormTransfer, NumbersAreLimitedWhenStored) {
    const struct {
        std::uint32_t model, longLimits;
        int timeoutIn, timeoutOut, waterIn, waterOut, portIn, portOut;
    } cases[] = {
        {2, 0, 5000, 5000, 1000, 1000, 1470, 1470},     {9, 0, 5000, 3600, 1000, 1000, 65535, 65535},
        {2, 0, 40000, 30000, 3000, 2048, 70000, 65535}, {1, 0, 40000, 3600, 1000, 512, 0, 0},
        {10, 0, 3600, 3600, 40000, 32768, 1, 1},        {0, 0, 100, 100, 512, 512, 2, 2},
        {1, 1, 20000, 3600, 2000, 512, 3, 3},           {0, 0, -3600, 0, -2, 0, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " timeout " << c.timeoutIn);
        rec.main.set_model_code(c.model), rec.main.set_long_limits(c.longLimits);
        win.fields.timeoutValue = c.timeoutIn, win.fields.waterMark = c.waterIn;
        win.fields.localPort = win.fields.peerPort = c.portIn;
        Store();
        const std::vector<int> want{c.timeoutOut, c.waterOut, c.portOut, c.portOut};
        EXPECT_EQ(want, (std::vector<int>{rec.main.timeout(), rec.main.water_mark(), rec.main.local_port(),
                                          rec.main.peer_port()}));
        EXPECT_EQ(want, (std::vector<int>{win.fields.timeoutValue, win.fields.waterMark, win.fields.localPort,
                                          win.fields.peerPort}));
    }
}

TEST_F(FormTransfer, CommentIsShownOnlyWithHasComment) {
    rec.tail.set_comment("line one");
    Show();
    EXPECT_EQ("", win.fields.commentText);
    Store();
    for (int i = 288; i < 320; ++i) EXPECT_EQ(0, rec.Data()[i]);

    rec.tail.set_comment(std::string(32, 'x'));
    rec.main.set_has_comment(1);
    Show();
    EXPECT_EQ(std::string(32, 'x'), win.fields.commentText);
    win.fields.commentText = "short";
    Store();
    EXPECT_EQ("short", rec.tail.comment());
    EXPECT_EQ(0, rec.Data()[293]);
}

TEST_F(FormTransfer, WepKeyIdComesFromTheDialogOfTheStoredWepMode) {
    rec.wlan.set_wep_key_id(2);
    Show();
    EXPECT_EQ(2, win.wep64.wepId);
    EXPECT_EQ(2, win.wep128.wepId);

    win.wep64.wepId = 1;
    win.wep128.wepId = 3;
    for (int mode : {0, 1, 2}) {
        win.controls.SetSelection(IDC_WEP_MODE, mode);
        Store();
        EXPECT_EQ(mode == 1 ? 1u : 3u, rec.wlan.wep_key_id()) << mode;
    }
}

// Keys travel as hexadecimal text and never touch the reserved byte after
// each slot; an empty text keeps the slot; a text that is not hexadecimal is
// refused with its message and stops the keys after it.
TEST_F(FormTransfer, WepKeysTravelAsHexAndStopAtABadKey) {
    rec = RandomRecord(21);
    std::memcpy(rec.wlan.wep64_key_bytes(0), "\x1A\x2B\x3C\x4D\x5E", 5);
    Show();
    EXPECT_EQ("1A2B3C4D5E", win.wep64.keyText[0]);
    EXPECT_EQ(26u, win.wep128.keyText[0].size());

    const EnvRecord before = rec;
    for (int i = 0; i < 4; ++i) {
        win.wep64.keyText[i] = "0102030405";
        win.wep128.keyText[i] = "000102030405060708090A0B0C";
    }
    win.wep64.keyText[3] = "";
    win.wep128.keyText[2] = "";
    EXPECT_EQ(1, Store());
    EXPECT_EQ("", win.refusal);
    EnvRecord want = before;
    for (int i = 0; i < 4; ++i) {
        if (i != 3) std::memcpy(want.Data() + 208 + 6 * i, "\1\2\3\4\5", 5);
        if (i != 2) std::memcpy(want.Data() + 232 + 14 * i, "\0\1\2\3\4\5\6\7\x08\x09\x0A\x0B\x0C", 13);
    }
    EXPECT_EQ(0, std::memcmp(want.Data() + 208, rec.Data() + 208, 80));  // the key area, reserved bytes included

    win.wep64.keyText[1] = "11111111G1";
    win.wep64.keyText[2] = "1111111111";
    EXPECT_EQ(0, Store());
    EXPECT_EQ("The WEP64 Key1 is wrong!", win.refusal);
    EXPECT_EQ(0, std::memcmp(want.Data() + 208 + 12, rec.Data() + 208 + 12, 5));  // key 2 on untouched

    win.refusal.clear();
    win.wep64.keyText[1] = "1111111111";
    win.wep128.keyText[2] = "22222222222222222222222 22";
    EXPECT_EQ(0, Store());
    EXPECT_EQ("The WEP128 Key2 is wrong!", win.refusal);
    EXPECT_EQ(0x11, rec.Data()[208 + 12]);  // 64-bit key 2 comes before 128-bit key 2
}

TEST_F(FormTransfer, EachRecordFieldLandsInItsOwnFormPiece) {
    MainBlock& m = rec.main;
    WlanBlock& w = rec.wlan;
    m.set_kivra(1), m.set_power_down(1), m.set_remote_search(1), m.set_eapol(2), m.set_wlan_cfg(1);
    m.set_local_ip(0x01010101), m.set_subnet_mask(0x02020202), m.set_gateway_ip(0x03030303), m.set_peer_ip(0x04040404);
    m.set_parity(2), m.set_data_bits(8), m.set_stop_bits(1), m.set_serial_type(2), m.set_mode(3);
    m.set_timeout(11), m.set_water_mark(22), m.set_local_port(33), m.set_peer_port(44);
    w.set_wlan_mode(2), w.set_channel(13), w.set_wep_mode(1), w.set_auth_mode(1), w.set_boot_infra(1);
    w.set_ssid("target"), w.set_adhoc_ssid("adhoc");
    Show();
    const FormFields& f = win.fields;
    EXPECT_EQ(
        (std::vector<int>{1, 0, 0, 1, 1, 0, 0, 0, 2, 1, 11, 22, 33, 44, 0, 1}),
        (std::vector<int>{f.CheckBox(IDC_KIVRA), f.CheckBox(IDC_ARP), f.CheckBox(IDC_DHCP), f.CheckBox(IDC_POWER_DOWN),
                          f.CheckBox(IDC_REMOTE_SEARCH), f.CheckBox(IDC_MULTI_CONN), f.secureEnabled,
                          f.CheckBox(IDC_TELNET), f.CheckBox(IDC_EAPOL), f.wlanCfg, f.timeoutValue, f.waterMark,
                          f.localPort, f.peerPort, win.startup.adHocOnBoot, win.startup.infrastructureOnBoot}));
    const std::pair<int, std::uint32_t> addresses[] = {{IDC_LOCAL_IP, 0x01010101},
                                                       {IDC_SUBNET_MASK, 0x02020202},
                                                       {IDC_GATEWAY_IP, 0x03030303},
                                                       {IDC_PEER_IP, 0x04040404}};
    for (const auto& [id, address] : addresses) EXPECT_EQ(address, win.controls.GetAddress(id)) << id;
    const std::pair<int, int> selections[] = {{IDC_PARITY, 2},      {IDC_DATA_BITS, 1}, {IDC_STOP_BITS, 1},
                                              {IDC_SERIAL_TYPE, 2}, {IDC_MODE, 3},      {IDC_WLAN_MODE, 2},
                                              {IDC_CHANNEL, 13},    {IDC_WEP_MODE, 1},  {IDC_AUTH_MODE, 1}};
    for (const auto& [id, selection] : selections) EXPECT_EQ(selection, Sel(id)) << id;
    EXPECT_EQ("target", f.targetSsid);
    EXPECT_EQ("adhoc", f.adhocSsid);
}

// Together with the test above (each field shown in its own piece), a byte
// exact round trip shows each piece is stored back into its own field.
// Puts the edited fields of a random record into values the window can show.
void MakeRepresentable(EnvRecord& r, std::mt19937& rng) {
    const auto pick = [&](std::initializer_list<std::uint32_t> values) {
        return *(values.begin() + rng() % values.size());
    };
    const auto cutText = [&](int offset, int size) {
        const int keep = static_cast<int>(rng() % (size + 1));
        std::memset(r.Data() + offset + keep, 0, size - keep);
        for (int i = 0; i < keep; ++i)
            if (r.Data()[offset + i] == 0) r.Data()[offset + i] = 'a';
    };
    r.main.set_has_comment(1);
    for (int text : {288, 144, 176}) cutText(text, 32);
    r.main.set_data_bits(pick({6, 7, 8})), r.main.set_stop_bits(pick({0, 1, 3})), r.wlan.set_auth_mode(pick({0, 1, 3}));
    r.main.set_mode(static_cast<std::uint8_t>(pick({0, 1, 2, 3, 255})));
    r.wlan.set_wlan_mode(pick({0, 1, 2, 3, 15}));
    r.main.set_baud_rate(pick({1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200}));
    const int model = static_cast<int>(r.main.model_code());
    r.main.set_timeout(static_cast<std::uint16_t>(r.main.timeout() % (StoredTimeoutLimit(model) + 1)));
    r.main.set_water_mark(static_cast<std::uint16_t>(r.main.water_mark() % (StoredWaterMarkLimit(model) + 1)));
    if (r.main.rts_cts()) r.main.set_xon_xoff(0);
    if (r.main.xon_xoff()) r.main.set_has_xonxoff(1);
}

TEST_F(FormTransfer, RandomRepresentableRecordComesBackByteForByteUneditedBitsIncluded) {
    std::mt19937 rng(77);
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        rec = RandomRecord(seed);
        MakeRepresentable(rec, rng);
        const EnvRecord before = rec;
        MemoryForm fresh;
        ShowRecord(rec, fresh);
        ASSERT_EQ(1, FormToRecord(rec.main, rec.wlan, rec.tail, fresh.Context()));
        for (int i = 0; i < 480; ++i) ASSERT_EQ(before.Data()[i], rec.Data()[i]) << "seed " << seed << " byte " << i;
    }
}

}  // namespace
}  // namespace quarnel
