#include "ui/kick_idle.h"

namespace quarnel {

int IdleCounter::OnKickIdle(long count, const LinkState& link) {
    const int start = count == 0 ? 2 : value_;
    const bool busy = link.linkActive && (link.rxPending || link.txCount > 0 || link.rxCount > 0);
    if (busy) {
        value_ = 2;
        return 1;
    }
    value_ = start - 1;
    return value_ > 0 ? 1 : 0;
}

IdleCounter& ProcessIdleCounter() {
    static IdleCounter counter;
    return counter;
}

}  // namespace quarnel
