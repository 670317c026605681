#include "ui/kick_idle.h"

namespace quarnel {

int IdleCounter::OnKickIdle(long count) {
    const int start = count == 0 ? 2 : value_;
    value_ = start - 1;
    return value_ > 0 ? 1 : 0;
}

IdleCounter& ProcessIdleCounter() {
    static IdleCounter counter;
    return counter;
}

bool PumpHasWork(const LinkState& link, bool exchangeRunning) {
    return link.linkActive && (exchangeRunning || link.rxPending || link.txCount > 0 || link.rxCount > 0);
}

}  // namespace quarnel
