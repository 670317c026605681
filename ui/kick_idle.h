#pragma once

// The main window's answer to the modal loop's idle call: keep asking for
// idle time while serial I/O is outstanding, then one more pass, then let the
// loop wait for the next message.

#include "serial/link_state.h"

namespace quarnel {

class IdleCounter {
public:
    // `count` is the modal loop's idle count (0 on the first idle call after
    // a message). Returns 1 when more idle processing is wanted, else 0.
    int OnKickIdle(long count, const LinkState& link);

    int Value() const { return value_; }

private:
    int value_ = 2;  // window thread only
};

// The one counter the main window uses.
IdleCounter& ProcessIdleCounter();

}  // namespace quarnel
