#include "ui/field_rules.h"

namespace quarnel {

namespace {

int Clamp(int value, int limit) {
    if (value < 0) return 0;
    return value > limit ? limit : value;
}

}  // namespace

int LimitPort(int value) { return Clamp(value, 65535); }

int TimeoutLimit(int long_limits) { return long_limits ? 30000 : 3600; }

int LimitTimeout(int value, int long_limits) { return Clamp(value, TimeoutLimit(long_limits)); }

int WaterMarkLimit(int long_limits, int model_code) {
    if (long_limits) return 2048;
    switch (model_code) {
        case 7: case 9: case 10: case 11: return 32768;
        default: return 512;
    }
}

int LimitWaterMark(int value, int long_limits, int model_code) {
    return Clamp(value, WaterMarkLimit(long_limits, model_code));
}

bool LimitComment(std::string& commentText) {
    if (commentText.size() <= static_cast<std::size_t>(COMMENT_MAX_CHARS)) return false;
    commentText.resize(COMMENT_MAX_CHARS);
    return true;
}

SerialTypeEffect OnSerialTypeSelected(int serialTypeSelection) {
    const bool rs232 = serialTypeSelection == 0;
    return {rs232, !rs232};
}

MultiConnEffect OnMultiConnChanged(int multiConn) {
    return {multiConn != 0, 0, 0, 0};
}

}  // namespace quarnel
