#pragma once

// How the main window spends the time when no message waits: the modal
// loop's idle calls, and whether its pump timer has work to come back for.
// Neither may keep the window thread busy while it waits for the line: the
// receiver's notifications and the reply timer wake it when there is
// something to do.

#include "serial/link_state.h"

namespace quarnel {

class IdleCounter {
public:
    // `count` is the modal loop's idle count (0 on the first idle call after
    // a message). Asks for one more pass (1), then lets the loop wait (0).
    int OnKickIdle(long count);

    int Value() const { return value_; }

private:
    int value_ = 2;  // window thread only
};

// The one counter the main window uses.
IdleCounter& ProcessIdleCounter();

// Whether the pump timer must tick again: the link is active and an
// exchange runs (exchangeRunning), or serial I/O is outstanding (a
// notification being served, bytes received or queued).
bool PumpHasWork(const LinkState& link, bool exchangeRunning);

}  // namespace quarnel
