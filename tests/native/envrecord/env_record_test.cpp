#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "envrecord/env_record.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

// The positions below are written out from the block's layout description,
// not taken from env_layout.h, so a wrong constant shows up here.

struct BitCase {
    const char* name;
    int word;
    int shift;
    int width;
    std::function<std::uint32_t(const EnvRecord&)> get;
    std::function<void(EnvRecord&, std::uint32_t)> set;
};

#define MAIN_BITS(field, word, shift, width)                                         \
    BitCase {                                                                        \
        #field, word, shift, width, [](const EnvRecord& r) { return r.main.field(); }, \
            [](EnvRecord& r, std::uint32_t v) { r.main.set_##field(v); }             \
    }
#define WLAN_BITS(field, word, shift, width)                                         \
    BitCase {                                                                        \
        #field, word, shift, width, [](const EnvRecord& r) { return r.wlan.field(); }, \
            [](EnvRecord& r, std::uint32_t v) { r.wlan.set_##field(v); }             \
    }

std::vector<BitCase> BitCases() {
    return {
        MAIN_BITS(no_eapol, 28, 4, 1),      MAIN_BITS(has_xonxoff, 28, 5, 1),
        MAIN_BITS(long_limits, 28, 6, 1),   MAIN_BITS(no_dhcp, 28, 7, 1),
        MAIN_BITS(fw_major, 28, 16, 3),     MAIN_BITS(model_code, 28, 19, 5),
        MAIN_BITS(fw_revision, 28, 24, 4),  MAIN_BITS(fw_minor, 28, 28, 4),
        MAIN_BITS(dhcp, 32, 0, 1),          MAIN_BITS(arp, 32, 2, 1),
        MAIN_BITS(secure, 32, 3, 1),        MAIN_BITS(kivra, 32, 4, 1),
        MAIN_BITS(no_telnet, 32, 5, 1),     MAIN_BITS(eapol, 32, 12, 2),
        MAIN_BITS(has_permitted_ip, 32, 14, 1), MAIN_BITS(power_down, 32, 15, 1),
        MAIN_BITS(has_remote_search, 32, 16, 1), MAIN_BITS(remote_search, 32, 17, 1),
        MAIN_BITS(has_comment, 32, 18, 1),  MAIN_BITS(parity, 84, 0, 2),
        MAIN_BITS(data_bits, 84, 2, 4),     MAIN_BITS(rts_cts, 84, 6, 1),
        MAIN_BITS(xon_xoff, 84, 7, 1),      MAIN_BITS(telnet, 84, 8, 1),
        MAIN_BITS(wlan_cfg, 84, 15, 1),     MAIN_BITS(serial_type, 84, 16, 2),
        MAIN_BITS(stop_bits, 84, 18, 2),    MAIN_BITS(multi_conn, 84, 20, 1),
        WLAN_BITS(wlan_mode, 128, 0, 4),    WLAN_BITS(channel, 128, 4, 4),
        WLAN_BITS(wep_mode, 128, 8, 2),     WLAN_BITS(wep_key_id, 128, 10, 2),
        WLAN_BITS(boot_adhoc, 128, 12, 1),  WLAN_BITS(boot_infra, 128, 13, 1),
        WLAN_BITS(auth_mode, 128, 14, 2),
    };
}

// The record `before` with bits [shift, shift+width) of the word at `word`
// replaced by `value`, computed byte by byte.
EnvRecord WithBits(const EnvRecord& before, int word, int shift, int width, std::uint32_t value) {
    EnvRecord r = before;
    for (int b = 0; b < width; ++b) {
        const int bit = shift + b;
        std::uint8_t& byte = r.Data()[word + bit / 8];
        const std::uint8_t m = static_cast<std::uint8_t>(1u << (bit % 8));
        byte = static_cast<std::uint8_t>((value >> b) & 1 ? byte | m : byte & ~m);
    }
    return r;
}

void ExpectSame(const EnvRecord& want, const EnvRecord& got, const char* what) {
    for (int i = 0; i < 480; ++i)
        ASSERT_EQ(want.Data()[i], got.Data()[i]) << what << ": byte " << i;
}

TEST(EnvRecordBits, EachFieldRoundTripsAndTouchesOnlyItsBits) {
    for (const BitCase& c : BitCases()) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            const EnvRecord before = RandomRecord(seed);
            const std::uint32_t all = c.width == 32 ? 0xFFFFFFFFu : (1u << c.width) - 1;
            for (std::uint32_t value : {0u, all, seed & all, (seed * 2654435761u) & all}) {
                EnvRecord r = before;
                c.set(r, value);
                EXPECT_EQ(value, c.get(r)) << c.name;
                ExpectSame(WithBits(before, c.word, c.shift, c.width, value), r, c.name);
            }
            // Values wider than the field keep only their low bits.
            EnvRecord r = before;
            c.set(r, 0xFFFFFFFFu);
            ExpectSame(WithBits(before, c.word, c.shift, c.width, all), r, c.name);
        }
    }
}

struct NumberCase {
    const char* name;
    int offset;
    int size;
    bool bigEndian;
    std::function<std::uint32_t(const EnvRecord&)> get;
    std::function<void(EnvRecord&, std::uint32_t)> set;
};

#define MAIN_NUMBER(field, offset, size, be, type)                                         \
    NumberCase {                                                                           \
        #field, offset, size, be, [](const EnvRecord& r) { return std::uint32_t(r.main.field()); }, \
            [](EnvRecord& r, std::uint32_t v) { r.main.set_##field(static_cast<type>(v)); } \
    }

TEST(EnvRecordNumbers, EachNumberIsEncodedInPlaceAndNothingElseChanges) {
    const std::vector<NumberCase> cases = {
        MAIN_NUMBER(local_ip, 36, 4, true, std::uint32_t),
        MAIN_NUMBER(subnet_mask, 40, 4, true, std::uint32_t),
        MAIN_NUMBER(gateway_ip, 44, 4, true, std::uint32_t),
        MAIN_NUMBER(peer_ip, 100, 4, true, std::uint32_t),
        MAIN_NUMBER(baud_rate, 88, 4, false, std::uint32_t),
        MAIN_NUMBER(timeout, 92, 2, false, std::uint16_t),
        MAIN_NUMBER(mode, 94, 1, false, std::uint8_t),
        MAIN_NUMBER(water_mark, 96, 2, false, std::uint16_t),
        MAIN_NUMBER(peer_port, 104, 2, false, std::uint16_t),
        MAIN_NUMBER(local_port, 106, 2, false, std::uint16_t),
        MAIN_NUMBER(device_info, 28, 4, false, std::uint32_t),
        MAIN_NUMBER(options, 32, 4, false, std::uint32_t),
        MAIN_NUMBER(serial_options, 84, 4, false, std::uint32_t),
    };
    const std::uint32_t value = 0x89ABCDEF;
    for (const NumberCase& c : cases) {
        const EnvRecord before = RandomRecord(42);
        EnvRecord r = before;
        c.set(r, value);
        const std::uint32_t v = c.size == 4 ? value : value & ((1u << (8 * c.size)) - 1);
        EXPECT_EQ(v, c.get(r)) << c.name;
        EnvRecord want = before;
        for (int i = 0; i < c.size; ++i) {
            const int shift = c.bigEndian ? 8 * (c.size - 1 - i) : 8 * i;
            want.Data()[c.offset + i] = static_cast<std::uint8_t>(v >> shift);
        }
        ExpectSame(want, r, c.name);
    }
    EnvRecord r = RandomRecord(7);
    r.wlan.set_wlan_options(0x01020304);
    EXPECT_EQ(0x04, r.Data()[128]);
    EXPECT_EQ(0x01, r.Data()[131]);
}

TEST(EnvRecordEncoding, EdgeCasesOfTheLayout) {
    EnvRecord r = ZeroRecord();
    r.main.set_local_port(1470);
    EXPECT_EQ(0xBE, r.Data()[106]);
    EXPECT_EQ(0x05, r.Data()[107]);

    r.main.set_local_ip(0x0A010001);
    EXPECT_EQ(10, r.Data()[36]);
    EXPECT_EQ(1, r.Data()[37]);
    EXPECT_EQ(0, r.Data()[38]);
    EXPECT_EQ(1, r.Data()[39]);
}

TEST(EnvRecordText, EapolIdentitySplitsOverItsThreePieces) {
    EnvRecord r = RandomRecord(3);
    r.main.set_eapol_identity("ABCDEFGHI");
    EXPECT_EQ(0, std::memcmp(r.Data() + 108, "ABCDEFGH", 8));
    EXPECT_EQ('I', r.Data()[64]);
    for (int i = 65; i < 72; ++i) EXPECT_EQ(0, r.Data()[i]) << i;
    for (int i = 48; i < 64; ++i) EXPECT_EQ(0, r.Data()[i]) << i;
    EXPECT_EQ("ABCDEFGHI", r.main.eapol_identity());

    const std::string full = "0123456789abcdefghijklmnopqrstuv";  // 32, no terminator
    r.main.set_eapol_identity(full);
    EXPECT_EQ(0, std::memcmp(r.Data() + 108, "01234567", 8));
    EXPECT_EQ(0, std::memcmp(r.Data() + 64, "89abcdef", 8));
    EXPECT_EQ(0, std::memcmp(r.Data() + 48, "ghijklmnopqrstuv", 16));
    EXPECT_EQ(full, r.main.eapol_identity());
}

TEST(EnvRecordText, FullFieldsHaveNoTerminatorAndStopAtTheirSize) {
    EnvRecord r = RandomRecord(5);
    const std::string ssid(32, 'S');
    r.wlan.set_ssid(ssid);
    r.wlan.set_adhoc_ssid("adhoc");
    EXPECT_EQ(ssid, r.wlan.ssid());
    EXPECT_EQ('S', r.Data()[175]);
    EXPECT_EQ('a', r.Data()[176]);
    EXPECT_EQ("adhoc", r.wlan.adhoc_ssid());
    EXPECT_EQ(0, r.Data()[181]);

    // A longer text is cut at the field's size.
    r.tail.set_comment(std::string(40, 'c'));
    EXPECT_EQ(std::string(32, 'c'), r.tail.comment());
    EXPECT_EQ(RandomRecord(5).Data()[320], r.Data()[320]);

    r.main.set_eapol_password("12345678");
    EXPECT_EQ("12345678", r.main.eapol_password());
    EXPECT_EQ(RandomRecord(5).Data()[124], r.Data()[124]);
    r.main.set_eapol_password("ab");
    EXPECT_EQ("ab", r.main.eapol_password());
    for (int i = 118; i < 124; ++i) EXPECT_EQ(0, r.Data()[i]);
}

TEST(EnvRecordBytes, KeySlotsMacAndPasswordBlockSitInPlace) {
    const EnvRecord before = RandomRecord(6);
    EnvRecord r = before;
    for (int i = 0; i < 4; ++i) {
        WlanBlock::Wep64Key k64;
        for (int b = 0; b < 5; ++b) k64[b] = static_cast<std::uint8_t>(0x10 * i + b);
        r.wlan.set_wep64_key(i, k64);
        WlanBlock::Wep128Key k128;
        for (int b = 0; b < 13; ++b) k128[b] = static_cast<std::uint8_t>(0x80 + 0x10 * i + b);
        r.wlan.set_wep128_key(i, k128);
        EXPECT_EQ(k64, r.wlan.wep64_key(i));
        EXPECT_EQ(k128, r.wlan.wep128_key(i));
    }
    MainBlock::MacAddress mac = {0x02, 0x1F, 0xA0, 0x00, 0x0B, 0xFF};
    r.main.set_mac_address(mac);
    MainBlock::PasswordBlock pw;
    for (int i = 0; i < 12; ++i) pw[i] = static_cast<std::uint8_t>(0xE0 + i);
    r.main.set_password_block(pw);
    EXPECT_EQ(mac, r.main.mac_address());
    EXPECT_EQ(pw, r.main.password_block());

    EnvRecord want = before;
    for (int i = 0; i < 4; ++i) {
        for (int b = 0; b < 5; ++b) want.Data()[208 + 6 * i + b] = static_cast<std::uint8_t>(0x10 * i + b);
        for (int b = 0; b < 13; ++b)
            want.Data()[232 + 14 * i + b] = static_cast<std::uint8_t>(0x80 + 0x10 * i + b);
    }
    std::memcpy(want.Data() + 4, mac.data(), 6);
    std::memcpy(want.Data() + 72, pw.data(), 12);
    ExpectSame(want, r, "slots");
}

// Every interpreted byte range; bit words are covered bit by bit by BitCases.
struct ByteRange {
    int offset;
    int size;
};
const ByteRange FIELD_BYTES[] = {
    {4, 6}, {36, 12}, {48, 16}, {64, 8}, {72, 12}, {88, 4}, {92, 2}, {94, 1}, {96, 2},
    {100, 4}, {104, 2}, {106, 2}, {108, 8}, {116, 8}, {144, 32}, {176, 32}, {288, 32},
};

TEST(EnvRecordReserved, PatchingEveryFieldKeepsEveryReservedBitAndByte) {
    const EnvRecord before = RandomRecord(99);
    EnvRecord r = before;
    bool owned[480 * 8] = {};
    for (const BitCase& c : BitCases()) {
        c.set(r, ~c.get(r));
        for (int b = 0; b < c.width; ++b) owned[c.word * 8 + c.shift + b] = true;
    }
    for (const ByteRange& f : FIELD_BYTES)
        for (int i = f.offset * 8; i < (f.offset + f.size) * 8; ++i) owned[i] = true;
    for (int k = 0; k < 4; ++k) {
        for (int i = (208 + 6 * k) * 8; i < (208 + 6 * k + 5) * 8; ++i) owned[i] = true;
        for (int i = (232 + 14 * k) * 8; i < (232 + 14 * k + 13) * 8; ++i) owned[i] = true;
    }

    r.main.set_mac_address({1, 2, 3, 4, 5, 6});
    r.main.set_local_ip(0x01020304);
    r.main.set_subnet_mask(0x05060708);
    r.main.set_gateway_ip(0x090A0B0C);
    r.main.set_peer_ip(0x0D0E0F10);
    r.main.set_eapol_identity(std::string(32, 'n'));  // full texts: no spill
    r.main.set_eapol_password("12345678");
    r.main.set_password_block({});
    r.main.set_baud_rate(115200);
    r.main.set_timeout(1);
    r.main.set_mode(2);
    r.main.set_water_mark(3);
    r.main.set_peer_port(4);
    r.main.set_local_port(5);
    r.wlan.set_ssid(std::string(32, 't'));
    r.wlan.set_adhoc_ssid(std::string(32, 'a'));
    for (int k = 0; k < 4; ++k) {
        r.wlan.set_wep64_key(k, {});
        r.wlan.set_wep128_key(k, {});
    }
    r.tail.set_comment(std::string(32, 'c'));

    int reservedBits = 0;
    for (int bit = 0; bit < 480 * 8; ++bit) {
        if (owned[bit]) continue;
        ++reservedBits;
        const int mask = 1 << (bit % 8);
        ASSERT_EQ(before.Data()[bit / 8] & mask, r.Data()[bit / 8] & mask) << "bit " << bit;
    }
    EXPECT_GT(reservedBits, 1700);  // the reserved areas were all looked at
}

}  // namespace
}  // namespace quarnel
