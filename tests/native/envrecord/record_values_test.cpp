#include <gtest/gtest.h>

#include "envrecord/record_values.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

std::uint32_t Le32(const EnvRecord& r, int offset) {
    const std::uint8_t* p = r.Data() + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutLe32(EnvRecord& r, int offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) r.Data()[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutBytes(EnvRecord& r, int offset, std::initializer_list<int> bytes) {
    for (int b : bytes) r.Data()[offset++] = static_cast<std::uint8_t>(b);
}

TEST(StartupDefaults, WholeImageIsExactlyTheDefaults) {
    EnvRecord r = RandomRecord(11);
    SetDefaultRecord(r.main, r.wlan, r.tail);

    EnvRecord want = ZeroRecord();
    std::copy(DEFAULT_MAC_PLACEHOLDER.begin(), DEFAULT_MAC_PLACEHOLDER.end(), want.Data() + 4);
    PutBytes(want, 28, {0x01});                    // device_info bits 0-3 = 1
    PutBytes(want, 32, {0x14});                    // arp, kivra
    PutBytes(want, 36, {10, 1, 0, 1, 255, 0, 0, 0});
    PutBytes(want, 84, {0x20, 0x24});              // data_bits 8, bits 10 and 13
    PutBytes(want, 88, {0x00, 0x4B, 0x00, 0x00});  // 19200
    PutBytes(want, 94, {1});                       // ATC
    PutBytes(want, 96, {1, 0});
    PutBytes(want, 128, {0x01});                   // Infrastructure
    for (int i = 0; i < 480; ++i) ASSERT_EQ(want.Data()[i], r.Data()[i]) << "byte " << i;
}

// The factory values computed from the layout description, from `before`:
// password, EAPoL, device info and the converter's flags stay, remote_search
// follows has_remote_search.
EnvRecord ExpectedFactory(const EnvRecord& before, bool telnet) {
    EnvRecord want = before;
    std::fill(want.Data() + 128, want.Data() + 288, 0);
    want.Data()[128] = 0x01;
    std::fill(want.Data() + 288, want.Data() + 352, 0);

    const std::uint32_t o = Le32(before, 32);
    const std::uint32_t cleared = 1u << 0 | 1u << 2 | 1u << 3 | 1u << 6 | 1u << 15 | 1u << 17 | 1u << 19 |
                                  1u << 22 | 1u << 24 | 1u << 25;
    PutLe32(want, 32, (o & ~cleared) | 1u << 4 | 1u << 7 | ((o >> 16) & 1u) << 17);

    PutBytes(want, 36, {10, 1, 0, 1, 255, 0, 0, 0, 0, 0, 0, 0});
    std::fill(want.Data() + 48, want.Data() + 72, 0);
    std::fill(want.Data() + 108, want.Data() + 124, 0);

    const std::uint32_t s = Le32(before, 84);
    PutLe32(want, 84, (s & ~(0xFFu | 1u << 8 | 0x1Fu << 16)) | 0x20u | (telnet ? 1u << 8 : 0u));

    PutBytes(want, 88, {0x00, 0x4B, 0x00, 0x00, 0, 0, 0});  // baud, timeout, mode
    PutBytes(want, 96, {0, 0});
    PutBytes(want, 100, {0, 0, 0, 0, 0, 0, 0xBE, 0x05});
    return want;
}

TEST(FactoryValues, ExactBytesForEveryModelAndEverythingElseLeftAlone) {
    for (std::uint32_t model = 0; model < 32; ++model) {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            EnvRecord before = RandomRecord(seed * 100 + model);
            before.main.set_model_code(model);
            EnvRecord r = before;
            ApplyFactoryValues(r.main, r.wlan, r.tail);

            const bool telnet = model == 7 || model == 9 || model == 11;
            const EnvRecord want = ExpectedFactory(before, telnet);
            for (int i = 0; i < 480; ++i)
                ASSERT_EQ(want.Data()[i], r.Data()[i]) << "model " << model << " byte " << i;
        }
    }
}

}  // namespace
}  // namespace quarnel
