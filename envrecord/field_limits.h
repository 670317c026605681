#pragma once

// Range limits of the window's numeric fields. Leaving a field applies the
// limits that follow long_limits; storing the form applies those that follow
// model_code. Both correct a negative entry to 0.

#include <cstdint>

namespace quarnel {

constexpr int PORT_MAX = 65535;

// Local Port and Peer Port: 0-65535.
int ClampPort(int value);

// On leaving the Timeout field: at most 30000 with long_limits, else 3600.
int TimeoutLimitOnLeave(int long_limits);
int ClampTimeoutOnLeave(int value, int long_limits);

// On leaving the water-mark field: at most 2048 with long_limits; else what
// the model takes (model_traits.h).
int WaterMarkLimitOnLeave(int long_limits, int model_code);
int ClampWaterMarkOnLeave(int value, int long_limits, int model_code);

// When the form is stored: what the model takes (model_traits.h).
int StoredTimeoutLimit(int model_code);
int StoredWaterMarkLimit(int model_code);

// Baud-rate list (BAUD_TEXTS of settings.h): nine entries, 1200 to 115200.
// Index 9 (230400) has no entry.
// The list index nearest to a converter rate (boundaries half-way between
// neighbouring rates); 9 for 172800 and above.
int BaudIndexForRate(std::uint32_t baud_rate);
// The rate stored for a list index; 19200 for an index outside the table.
// A list without selection stores no rate at all (see FormToRecord).
std::uint32_t BaudRateForIndex(int index);

}  // namespace quarnel
