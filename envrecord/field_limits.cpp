#include "envrecord/field_limits.h"

#include <cstdlib>

#include "envrecord/model_traits.h"
#include "envrecord/settings.h"

namespace quarnel {

namespace {

int ClampRange(int value, int limit) {
    if (value < 0) return 0;
    return value > limit ? limit : value;
}

constexpr int BAUD_LIST_COUNT = static_cast<int>(sizeof BAUD_TEXTS / sizeof BAUD_TEXTS[0]);
// The rate beyond the list's last entry: the converter may hold it, the list has no entry.
constexpr std::uint32_t BAUD_RATE_BEYOND_LIST = 230400;
constexpr std::uint32_t BAUD_RATE_WITHOUT_SELECTION = 19200;

// The rate of list index 0 to BAUD_LIST_COUNT, the last being the one beyond the list.
std::uint32_t RateAt(int index) {
    if (index == BAUD_LIST_COUNT) return BAUD_RATE_BEYOND_LIST;
    return static_cast<std::uint32_t>(std::strtoul(BAUD_TEXTS[index], nullptr, 10));
}

}  // namespace

int ClampPort(int value) { return ClampRange(value, PORT_MAX); }

int TimeoutLimitOnLeave(int long_limits) { return long_limits ? 30000 : 3600; }

int ClampTimeoutOnLeave(int value, int long_limits) { return ClampRange(value, TimeoutLimitOnLeave(long_limits)); }

int WaterMarkLimitOnLeave(int long_limits, int model_code) {
    if (long_limits) return 2048;
    return TraitsOf(model_code).leaveWaterMarkLimit;
}

int ClampWaterMarkOnLeave(int value, int long_limits, int model_code) {
    return ClampRange(value, WaterMarkLimitOnLeave(long_limits, model_code));
}

int StoredTimeoutLimit(int model_code) { return TraitsOf(model_code).storedTimeoutLimit; }

int StoredWaterMarkLimit(int model_code) { return TraitsOf(model_code).storedWaterMarkLimit; }

int BaudIndexForRate(std::uint32_t baud_rate) {
    for (int i = 0; i < BAUD_LIST_COUNT; ++i) {
        const std::uint32_t halfWayUp = (RateAt(i) + RateAt(i + 1)) / 2;
        if (baud_rate < halfWayUp) return i;
    }
    return BAUD_LIST_COUNT;
}

std::uint32_t BaudRateForIndex(int index) {
    if (index < 0 || index > BAUD_LIST_COUNT) return BAUD_RATE_WITHOUT_SELECTION;
    return RateAt(index);
}

}  // namespace quarnel
