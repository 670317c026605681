#include "ui/field_rules.h"

namespace quarnel {

bool LimitComment(std::string& commentText) {
    if (commentText.size() <= static_cast<std::size_t>(env_layout::TEXT_MAX_CHARS)) return false;
    commentText.resize(env_layout::TEXT_MAX_CHARS);
    return true;
}

SerialTypeEffect OnSerialTypeSelected(int serialTypeSelection) {
    const bool rs232 = serialTypeSelection == 0;
    return {rs232, !rs232};
}

MultiConnEffect OnMultiConnChanged(int multiConn) { return {multiConn != 0, 0, 0, 0}; }

}  // namespace quarnel
