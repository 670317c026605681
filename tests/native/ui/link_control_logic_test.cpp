#include <gtest/gtest.h>

#include <cstdint>

#include "ui/kick_idle.h"
#include "ui/port_event_code.h"

namespace quarnel {
namespace {

LinkState Link(int active, int rxPending, int txCount, int rxCount) {
    LinkState link{};
    link.linkActive = active;
    link.rxPending = rxPending;
    link.txCount = txCount;
    link.rxCount = rxCount;
    return link;
}

TEST(KickIdle, AsksForOneMorePassThenWaits) {
    IdleCounter counter;
    EXPECT_EQ(counter.OnKickIdle(0), 1);
    EXPECT_EQ(counter.OnKickIdle(1), 0);
    EXPECT_EQ(counter.OnKickIdle(2), 0);
    // A new message starts a fresh idle phase.
    EXPECT_EQ(counter.OnKickIdle(0), 1);
    EXPECT_EQ(counter.OnKickIdle(1), 0);
}

TEST(PumpHasWork, OnlyARunningExchangeOrOutstandingIoOnAnActiveLink) {
    struct Case {
        LinkState link;
        bool exchangeRunning;
        bool work;
    };
    const Case cases[] = {
        {Link(1, 0, 0, 0), false, false}, {Link(1, 0, 0, 0), true, true},  {Link(1, 1, 0, 0), false, true},
        {Link(1, 0, 3, 0), false, true},  {Link(1, 0, 0, 7), false, true}, {Link(0, 1, 3, 7), true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PumpHasWork(c.link, c.exchangeRunning), c.work)
            << c.link.linkActive << c.link.rxPending << c.link.txCount << c.link.rxCount << c.exchangeRunning;
    }
}

TEST(PortEventCode, OnlyTheLowWordIsComparedForEquality) {
    struct Case {
        std::intptr_t lParam;
        PortEventKind kind;
    };
    const Case cases[] = {
        {1, PortEventKind::Data},          {0x10001, PortEventKind::Data},
        {-65535, PortEventKind::Data},  // high bits set, low word 1
        {32, PortEventKind::Close},        {0x70020, PortEventKind::Close},
        {33, PortEventKind::Ignored},  // 32 | 1 is neither
        {0, PortEventKind::Ignored},       {2, PortEventKind::Ignored},
        {0x10000, PortEventKind::Ignored},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodePortEvent(c.lParam), c.kind) << c.lParam;
}

}  // namespace
}  // namespace quarnel
