// The progress of a command on a terminal: one line per exchange (phase,
// percent, bytes), rewritten in place, left standing when the exchange ends.
// Shows nothing when stderr is not a terminal or when disabled.
#pragma once

#include <cstdio>

#include "cli/converter_session.h"

namespace quarnel {

class ProgressLine {
public:
    ProgressLine();

    void Enable(bool enabled) { enabled_ = enabled && terminal_; }
    void Show(const SessionProgress& progress);
    // Ends the line in progress, if any, so a message starts on its own line.
    void End();

private:
    bool terminal_;
    bool enabled_ = false;
    bool open_ = false;
    SessionPhase phase_ = SessionPhase::Reading;
    int lastPercent_ = -1;
};

}  // namespace quarnel
