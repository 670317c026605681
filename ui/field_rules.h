#pragma once

// Decisions of the main window's field handlers: the comment length rule and
// the selections that Serial Type and Multi Conn. force. (The numeric limits
// live with the record's: envrecord/field_limits.h.)

#include <string>

#include "envrecord/env_layout.h"

namespace quarnel {

constexpr const char* COMMENT_TOO_LONG_MESSAGE = "The maximum size of comment is 32(16)!";

// Cuts a comment longer than env_layout::TEXT_MAX_CHARS; true when it did, and the
// window must then show COMMENT_TOO_LONG_MESSAGE.
bool LimitComment(std::string& commentText);

// Serial Type changed: any type other than RS-232 (or no selection) forces
// Flow Control to "NONE" and disables it.
struct SerialTypeEffect {
    bool flowEnabled;
    bool resetFlowSelection;  // set the Flow Control selection to 0
};
SerialTypeEffect OnSerialTypeSelected(int serialTypeSelection);

// Multi Conn. checked: mode T2S, Flow Control "NONE" and Serial Type "RS-232".
struct MultiConnEffect {
    bool forceSelections;  // when false, the selections stay as they are
    int modeSelection;
    int flowSelection;
    int serialTypeSelection;
};
MultiConnEffect OnMultiConnChanged(int multiConn);

}  // namespace quarnel
