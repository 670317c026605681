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

TEST(KickIdle, QuietLinkAsksForOneMorePassThenWaits) {
    const LinkState quiet[] = {Link(0, 0, 0, 0), Link(1, 0, 0, 0), Link(0, 1, 5, 5)};
    for (const LinkState& link : quiet) {
        IdleCounter counter;
        EXPECT_EQ(counter.OnKickIdle(0, link), 1);
        EXPECT_EQ(counter.OnKickIdle(1, link), 0);
        EXPECT_EQ(counter.OnKickIdle(2, link), 0);
        // A new message starts a fresh idle phase.
        EXPECT_EQ(counter.OnKickIdle(0, link), 1);
        EXPECT_EQ(counter.OnKickIdle(1, link), 0);
    }
}

TEST(KickIdle, OutstandingIoKeepsIdleProcessingGoing) {
    const LinkState busy[] = {Link(1, 1, 0, 0), Link(1, 0, 3, 0), Link(1, 0, 0, 7)};
    for (const LinkState& link : busy) {
        IdleCounter counter;
        for (long count = 0; count < 50; ++count) ASSERT_EQ(counter.OnKickIdle(count, link), 1) << count;
        // Once the link goes quiet in the middle of a phase: one more pass.
        EXPECT_EQ(counter.OnKickIdle(50, Link(1, 0, 0, 0)), 1);
        EXPECT_EQ(counter.OnKickIdle(51, Link(1, 0, 0, 0)), 0);
    }
}

TEST(PortEventCode, OnlyTheLowWordIsComparedForEquality) {
    struct Case { std::intptr_t lParam; PortEventKind kind; };
    const Case cases[] = {
        {1, PortEventKind::Data},         {0x10001, PortEventKind::Data},
        {-65535, PortEventKind::Data},    // high bits set, low word 1
        {32, PortEventKind::Close},       {0x70020, PortEventKind::Close},
        {33, PortEventKind::Ignored},     // 32 | 1 is neither
        {0, PortEventKind::Ignored},      {2, PortEventKind::Ignored},
        {0x10000, PortEventKind::Ignored},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodePortEvent(c.lParam), c.kind) << c.lParam;
}

}  // namespace
}  // namespace quarnel
