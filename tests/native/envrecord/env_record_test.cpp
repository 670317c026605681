#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "envrecord/env_record.h"
#include "envrecord/record_values.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

// The positions below are written out from the block's layout description,
// not taken from env_layout.h, so a wrong constant shows up here. Every case
// compares the whole record: a setter changes its own bits or bytes only.

void ExpectSame(const EnvRecord& want, const EnvRecord& got, const std::string& what) {
    for (int i = 0; i < 480; ++i) ASSERT_EQ(want.Data()[i], got.Data()[i]) << what << ": byte " << i;
}

struct BitCase {
    const char* name;
    int word, shift, width;
    std::function<std::uint32_t(const EnvRecord&)> get;
    std::function<void(EnvRecord&, std::uint32_t)> set;
};

#define BITS(block, field, word, shift, width)                                                                  \
    BitCase {                                                                                                   \
#field, word, shift, width,                                                                             \
            [](const EnvRecord& r) { return r.block.field(); }, [](EnvRecord & r,                               \
                                                                   std::uint32_t v) { r.block.set_##field(v); } \
    }

// `before` with bits [shift, shift+width) of the word at `word` set to `value`.
EnvRecord WithBits(const EnvRecord& before, int word, int shift, int width, std::uint32_t value) {
    EnvRecord r = before;
    for (int b = 0; b < width; ++b) {
        std::uint8_t& byte = r.Data()[word + (shift + b) / 8];
        const std::uint8_t m = static_cast<std::uint8_t>(1u << ((shift + b) % 8));
        byte = static_cast<std::uint8_t>((value >> b) & 1 ? byte | m : byte & ~m);
    }
    return r;
}

TEST(EnvRecordBits, EachFieldRoundTripsAndTouchesOnlyItsBits) {
    const BitCase cases[] = {
        BITS(main, no_eapol, 28, 4, 1),
        BITS(main, has_xonxoff, 28, 5, 1),
        BITS(main, long_limits, 28, 6, 1),
        BITS(main, no_dhcp, 28, 7, 1),
        BITS(main, fw_major, 28, 16, 3),
        BITS(main, model_code, 28, 19, 5),
        BITS(main, fw_revision, 28, 24, 4),
        BITS(main, fw_minor, 28, 28, 4),
        BITS(main, dhcp, 32, 0, 1),
        BITS(main, arp, 32, 2, 1),
        BITS(main, secure, 32, 3, 1),
        BITS(main, kivra, 32, 4, 1),
        BITS(main, no_telnet, 32, 5, 1),
        BITS(main, eapol, 32, 12, 2),
        BITS(main, has_permitted_ip, 32, 14, 1),
        BITS(main, power_down, 32, 15, 1),
        BITS(main, has_remote_search, 32, 16, 1),
        BITS(main, remote_search, 32, 17, 1),
        BITS(main, has_comment, 32, 18, 1),
        BITS(main, parity, 84, 0, 2),
        BITS(main, data_bits, 84, 2, 4),
        BITS(main, rts_cts, 84, 6, 1),
        BITS(main, xon_xoff, 84, 7, 1),
        BITS(main, telnet, 84, 8, 1),
        BITS(main, wlan_cfg, 84, 15, 1),
        BITS(main, serial_type, 84, 16, 2),
        BITS(main, stop_bits, 84, 18, 2),
        BITS(main, multi_conn, 84, 20, 1),
        BITS(wlan, wlan_mode, 128, 0, 4),
        BITS(wlan, channel, 128, 4, 4),
        BITS(wlan, wep_mode, 128, 8, 2),
        BITS(wlan, wep_key_id, 128, 10, 2),
        BITS(wlan, boot_adhoc, 128, 12, 1),
        BITS(wlan, boot_infra, 128, 13, 1),
        BITS(wlan, auth_mode, 128, 14, 2),
    };
    for (const BitCase& c : cases) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            const EnvRecord before = RandomRecord(seed);
            const std::uint32_t all = (1u << c.width) - 1;
            // The last value is wider than the field: only its low bits are kept.
            for (std::uint32_t value : {0u, all, seed & all, (seed * 2654435761u) & all, 0xFFFFFFFFu}) {
                EnvRecord r = before;
                c.set(r, value);
                EXPECT_EQ(value & all, c.get(r)) << c.name;
                ExpectSame(WithBits(before, c.word, c.shift, c.width, value & all), r, c.name);
            }
        }
    }
}

struct NumberCase {
    const char* name;
    int offset, size;
    bool bigEndian;
    std::function<std::uint32_t(const EnvRecord&)> get;
    std::function<void(EnvRecord&, std::uint32_t)> set;
};

#define NUMBER(block, field, offset, size, be, type)                                                                    \
    NumberCase {                                                                                                        \
#field, offset, size, be,                                                                                       \
            [](const EnvRecord&                                                                                         \
                   r) { return std::uint32_t(r.block.field()); },                                                       \
                                                               [](EnvRecord & r,                                        \
                                                                  std::uint32_t                                         \
                                                                      v) { r.block.set_##field(static_cast<type>(v)); } \
    }

TEST(EnvRecordNumbers, EachNumberIsEncodedInPlaceAndNothingElseChanges) {
    const NumberCase cases[] = {
        NUMBER(main, local_ip, 36, 4, true, std::uint32_t),     NUMBER(main, subnet_mask, 40, 4, true, std::uint32_t),
        NUMBER(main, gateway_ip, 44, 4, true, std::uint32_t),   NUMBER(main, peer_ip, 100, 4, true, std::uint32_t),
        NUMBER(main, baud_rate, 88, 4, false, std::uint32_t),   NUMBER(main, timeout, 92, 2, false, std::uint16_t),
        NUMBER(main, mode, 94, 1, false, std::uint8_t),         NUMBER(main, water_mark, 96, 2, false, std::uint16_t),
        NUMBER(main, peer_port, 104, 2, false, std::uint16_t),  NUMBER(main, local_port, 106, 2, false, std::uint16_t),
        NUMBER(main, device_info, 28, 4, false, std::uint32_t), NUMBER(main, options, 32, 4, false, std::uint32_t),
    };
    const std::uint32_t value = 0x89ABCDEF;
    for (const NumberCase& c : cases) {
        const EnvRecord before = RandomRecord(42);
        EnvRecord r = before;
        c.set(r, value);
        const std::uint32_t v = c.size == 4 ? value : value & ((1u << (8 * c.size)) - 1);
        EXPECT_EQ(v, c.get(r)) << c.name;
        EnvRecord want = before;
        for (int i = 0; i < c.size; ++i)
            want.Data()[c.offset + i] = static_cast<std::uint8_t>(v >> (c.bigEndian ? 8 * (c.size - 1 - i) : 8 * i));
        ExpectSame(want, r, c.name);
    }
}

// Texts fill their field without a terminator, are cut at its size, and a
// shorter one clears the rest of the field.
TEST(EnvRecordText, TextsStayInsideTheirFields) {
    struct Case {
        const char* name;
        int offset;
        std::function<void(EnvRecord&, const std::string&)> set;
        std::function<std::string(const EnvRecord&)> get;
    };
    const Case cases[] = {
        {"ssid", 144, [](EnvRecord& r, const std::string& s) { r.wlan.set_ssid(s); },
         [](const EnvRecord& r) { return r.wlan.ssid(); }},
        {"adhoc_ssid", 176, [](EnvRecord& r, const std::string& s) { r.wlan.set_adhoc_ssid(s); },
         [](const EnvRecord& r) { return r.wlan.adhoc_ssid(); }},
        {"comment", 288, [](EnvRecord& r, const std::string& s) { r.tail.set_comment(s); },
         [](const EnvRecord& r) { return r.tail.comment(); }},
    };
    for (const Case& c : cases) {
        EnvRecord before = RandomRecord(5);
        before.Data()[c.offset + 32] = 'x';  // the byte after the field is no terminator
        for (const std::string& text : {std::string(32, 'F'), std::string(40, 'L'), std::string("ab")}) {
            EnvRecord r = before;
            c.set(r, text);
            const std::string kept = text.substr(0, 32);
            EXPECT_EQ(kept, c.get(r)) << c.name;
            EnvRecord want = before;
            for (int i = 0; i < 32; ++i)
                want.Data()[c.offset + i] = static_cast<std::uint8_t>(i < static_cast<int>(kept.size()) ? kept[i] : 0);
            ExpectSame(want, r, c.name);
        }
    }
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

TEST(EnvRecordBytes, KeySlotsMacAndPasswordBlockSitInPlace) {
    EnvRecord r = RandomRecord(6);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.wlan.wep64_key_bytes(i) - r.Data(), 208 + 6 * i);
        EXPECT_EQ(r.wlan.wep128_key_bytes(i) - r.Data(), 232 + 14 * i);
    }
    const EnvRecord before = r;
    const MainBlock::MacAddress mac = {0x02, 0x1F, 0xA0, 0x00, 0x0B, 0xFF};
    MainBlock::PasswordBlock pw;
    for (int i = 0; i < 12; ++i) pw[i] = static_cast<std::uint8_t>(0xE0 + i);
    r.main.set_mac_address(mac);
    r.main.set_password_block(pw);
    EXPECT_EQ(mac, r.main.mac_address());
    EXPECT_EQ(pw, r.main.password_block());
    EnvRecord want = before;
    std::memcpy(want.Data() + 4, mac.data(), 6);
    std::memcpy(want.Data() + 72, pw.data(), 12);
    ExpectSame(want, r, "MAC and password block");
}

void PutBytes(EnvRecord& r, int offset, std::initializer_list<int> bytes) {
    for (int b : bytes) r.Data()[offset++] = static_cast<std::uint8_t>(b);
}

std::uint32_t Le32(const EnvRecord& r, int offset) {
    const std::uint8_t* p = r.Data() + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutLe32(EnvRecord& r, int offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) r.Data()[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(StartupDefaults, WholeImageIsExactlyTheDefaults) {
    EnvRecord r = RandomRecord(11);
    SetDefaultRecord(r.main, r.wlan, r.tail);

    EnvRecord want = ZeroRecord();
    std::copy(DEFAULT_MAC_PLACEHOLDER.begin(), DEFAULT_MAC_PLACEHOLDER.end(), want.Data() + 4);
    PutBytes(want, 28, {0x01});  // device_info bits 0-3 = 1
    PutBytes(want, 32, {0x14});  // arp, kivra
    PutBytes(want, 36, {10, 1, 0, 1, 255, 0, 0, 0});
    PutBytes(want, 84, {0x20, 0x24});              // data_bits 8, bits 10 and 13
    PutBytes(want, 88, {0x00, 0x4B, 0x00, 0x00});  // 19200
    PutBytes(want, 94, {1});                       // ATC
    PutBytes(want, 96, {1, 0});
    PutBytes(want, 128, {0x01});  // Infrastructure
    ExpectSame(want, r, "defaults");
}

// The factory values from the layout description: password, EAPoL, device
// info and the converter's flags stay, remote_search follows
// has_remote_search, Telnet goes on for models 7, 9 and 11.
TEST(FactoryValues, ExactBytesForEveryModelAndEverythingElseLeftAlone) {
    for (std::uint32_t model = 0; model < 32; ++model) {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            EnvRecord before = RandomRecord(seed * 100 + model);
            before.main.set_model_code(model);
            EnvRecord r = before;
            ApplyFactoryValues(r.main, r.wlan, r.tail);

            EnvRecord want = before;
            std::fill(want.Data() + 128, want.Data() + 352, 0);
            want.Data()[128] = 0x01;
            const std::uint32_t o = Le32(before, 32);
            const std::uint32_t cleared =
                1u << 0 | 1u << 2 | 1u << 3 | 1u << 6 | 1u << 15 | 1u << 17 | 1u << 19 | 1u << 22 | 1u << 24 | 1u << 25;
            PutLe32(want, 32, (o & ~cleared) | 1u << 4 | 1u << 7 | ((o >> 16) & 1u) << 17);
            PutBytes(want, 36, {10, 1, 0, 1, 255, 0, 0, 0, 0, 0, 0, 0});
            std::fill(want.Data() + 48, want.Data() + 72, 0);
            std::fill(want.Data() + 108, want.Data() + 124, 0);
            const bool telnet = model == 7 || model == 9 || model == 11;
            PutLe32(want, 84, (Le32(before, 84) & ~(0xFFu | 1u << 8 | 0x1Fu << 16)) | 0x20u | (telnet ? 1u << 8 : 0u));
            PutBytes(want, 88, {0x00, 0x4B, 0x00, 0x00, 0, 0, 0});  // baud, timeout, mode
            PutBytes(want, 96, {0, 0});
            PutBytes(want, 100, {0, 0, 0, 0, 0, 0, 0xBE, 0x05});
            ExpectSame(want, r, "model " + std::to_string(model));
        }
    }
}

}  // namespace
}  // namespace quarnel
