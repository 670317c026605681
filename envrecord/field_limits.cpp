#include "envrecord/field_limits.h"

namespace quarnel {

namespace {

int ClampRange(int value, int limit) {
    if (value < 0) return 0;
    return value > limit ? limit : value;
}

bool HasLargeWaterMark(int model_code) {
    return model_code == 7 || model_code == 9 || model_code == 10 || model_code == 11;
}

struct BaudStep {
    std::uint32_t rate;
    std::uint32_t below;  // rates under this select the entry
};

// Index order; the last step has no list entry.
constexpr BaudStep BAUD_STEPS[] = {
    {1200, 1800},    {2400, 3600},    {4800, 7200},     {9600, 12000},   {14400, 16800},
    {19200, 28800},  {38400, 48000},  {57600, 86400},   {115200, 172800}, {230400, 0},
};
constexpr int BAUD_STEP_COUNT = sizeof BAUD_STEPS / sizeof BAUD_STEPS[0];
constexpr std::uint32_t BAUD_RATE_WITHOUT_SELECTION = 19200;

}  // namespace

int ClampPort(int value) { return ClampRange(value, PORT_MAX); }

int TimeoutLimitOnLeave(int long_limits) { return long_limits ? 30000 : 3600; }

int ClampTimeoutOnLeave(int value, int long_limits) {
    return ClampRange(value, TimeoutLimitOnLeave(long_limits));
}

int WaterMarkLimitOnLeave(int long_limits, int model_code) {
    if (long_limits) return 2048;
    return HasLargeWaterMark(model_code) ? 32768 : 512;
}

int ClampWaterMarkOnLeave(int value, int long_limits, int model_code) {
    return ClampRange(value, WaterMarkLimitOnLeave(long_limits, model_code));
}

int StoredTimeoutLimit(int model_code) { return model_code == 2 ? 30000 : 3600; }

int StoredWaterMarkLimit(int model_code) {
    if (model_code == 2) return 2048;
    return HasLargeWaterMark(model_code) ? 32768 : 512;
}

int BaudIndexForRate(std::uint32_t baud_rate) {
    for (int i = 0; i < BAUD_STEP_COUNT - 1; ++i) {
        if (baud_rate < BAUD_STEPS[i].below) return i;
    }
    return BAUD_STEP_COUNT - 1;
}

std::uint32_t BaudRateForIndex(int index) {
    if (index < 0 || index >= BAUD_STEP_COUNT) return BAUD_RATE_WITHOUT_SELECTION;
    return BAUD_STEPS[index].rate;
}

}  // namespace quarnel
