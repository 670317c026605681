#pragma once

// The two sets of values the program puts into the record on its own: the
// start-up defaults shown before anything is read, and the factory values that
// Initialize ENV writes.

#include "envrecord/env_record.h"

namespace quarnel {

// Placeholder MAC of the default record; never shown (the label reads "MAC"
// until a record is read) and never sent (offsets below 32 are not written).
extern const MainBlock::MacAddress DEFAULT_MAC_PLACEHOLDER;

constexpr std::uint32_t DEFAULT_LOCAL_IP = 0x0A010001;     // 10.1.0.1
constexpr std::uint32_t DEFAULT_SUBNET_MASK = 0xFF000000;  // 255.0.0.0
constexpr std::uint32_t DEFAULT_BAUD_RATE = 19200;
constexpr std::uint16_t FACTORY_LOCAL_PORT = 1470;

// Clears all 480 bytes, then writes the start-up defaults.
void SetDefaultRecord(MainBlock& main, WlanBlock& wlan, TailBlock& tail);

// Overwrites the record with the factory values, keyed on the record's own
// model_code. Everything else (password block, eapol, the converter-set flags,
// reserved bytes outside the cleared ones) keeps its current value.
void ApplyFactoryValues(MainBlock& main, WlanBlock& wlan, TailBlock& tail);

}  // namespace quarnel
