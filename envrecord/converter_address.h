#pragma once

// Which converter address holds which record offset. The monitor console
// shows the block 32 bytes up; the shell console at the offsets themselves.
// Offsets 0-31 (MAC and device_info) are read in either mode but never
// written back.

#include "envrecord/env_layout.h"

namespace quarnel {

constexpr int MONITOR_ADDRESS_SHIFT = 32;

// Converter address of record offset `offset` (0-479) in the given mode.
constexpr int ConverterAddress(int offset, int monitorMode) {
    return monitorMode ? offset + MONITOR_ADDRESS_SHIFT : offset;
}

// Record offset held at converter `address`; -1 when the address lies outside
// the record.
constexpr int RecordOffsetOfAddress(int address, int monitorMode) {
    const int offset = monitorMode ? address - MONITOR_ADDRESS_SHIFT : address;
    return offset >= 0 && offset < env_layout::RECORD_SIZE ? offset : -1;
}

// Whether a write sends this offset to the converter.
constexpr bool IsWrittenOffset(int offset) {
    return offset >= env_layout::FIRST_WRITTEN_OFFSET && offset < env_layout::RECORD_SIZE;
}

}  // namespace quarnel
