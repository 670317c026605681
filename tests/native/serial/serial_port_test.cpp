// SerialPort's queues, pumps and life cycle against the fake driver.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "serial/port_messages.h"
#include "serial/serial_port.h"
#include "tests/native/serial/fake_serial_driver.h"

namespace quarnel {
namespace {

std::string Received(const LinkState& state) {
    return std::string(reinterpret_cast<const char*>(state.rxBuf) + state.rxPos, static_cast<size_t>(state.rxCount));
}

class SerialPortTest : public ::testing::Test {
protected:
    static WindowHandle Owner() { return reinterpret_cast<WindowHandle>(static_cast<intptr_t>(0x77)); }

    SerialPortTest() : state_(new LinkState{}) {
        settings_.port = 3;
        LoadLineDefaults(settings_);
        // Raw bytes over every field, the flags included: Open must reset them all
        // on a closed port.
        std::memset(static_cast<void*>(state_.get()), 0xCD, sizeof *state_);
        state_->isOpen = 0;
    }

    // Open and StartReceiver, then forget the calls they made.
    void OpenActive() {
        port_.Open(Owner(), settings_, *state_);
        port_.StartReceiver(*state_);
        driver_.calls.clear();
        driver_.posts.clear();
    }

    void Queue(int count, int position) {
        state_->txCount = count;
        state_->txPos = position;
        for (int i = 0; i < count; ++i) state_->txBuf[position + i] = static_cast<uint8_t>(i);
    }

    FakeSerialDriver driver_;
    SerialPort port_{driver_};
    PortSettings settings_ = {};
    std::unique_ptr<LinkState> state_;
};

TEST_F(SerialPortTest, OpenResetsStateConfiguresAndAnnouncesThePort) {
    settings_.port = 12;
    EXPECT_EQ(port_.Open(Owner(), settings_, *state_), LinkFailure::None);

    EXPECT_EQ(driver_.openedPath, "\\\\.\\COM12");
    EXPECT_EQ(state_->isOpen, 1);
    EXPECT_EQ(state_->linkActive + state_->rxPending, 0);
    EXPECT_EQ(state_->portNumber, 12);
    EXPECT_EQ(state_->owner, Owner());
    EXPECT_EQ(state_->handle, FakeSerialDriver::Handle());
    EXPECT_EQ(state_->rxCount + state_->rxPos + state_->txCount + state_->txPos, 0);
    EXPECT_EQ(driver_.CountCalls("SetLine"), 1);
    ASSERT_EQ(driver_.posts.size(), 1u);
    EXPECT_EQ(driver_.posts[0].message, WM_PORT_OPENED);
    EXPECT_EQ(driver_.posts[0].owner, Owner());
}

// A failed open and a receiver that cannot start both return their failure
// and post the close event; the port ends closed.
TEST_F(SerialPortTest, FailedOpenOrThreadStartClosesThePort) {
    for (bool threadFails : {false, true}) {
        SCOPED_TRACE(threadFails);
        driver_ = FakeSerialDriver{};
        state_->isOpen = 0;
        settings_.port = 0;
        driver_.openSucceeds = threadFails;
        driver_.threadStarts = false;
        LinkFailure failure = port_.Open(Owner(), settings_, *state_);
        if (threadFails) {
            driver_.posts.clear();
            failure = port_.StartReceiver(*state_);
        }
        EXPECT_EQ(failure, threadFails ? LinkFailure::NoReceiver : LinkFailure::PortNotOpened);
        ASSERT_EQ(driver_.posts.size(), 1u);
        EXPECT_EQ(driver_.posts[0].lParam, PORT_EVENT_CLOSE);
        EXPECT_EQ(driver_.posts[0].owner, Owner());
        EXPECT_EQ(driver_.CountCalls("ClosePort"), threadFails ? 1 : 0);
        EXPECT_EQ(state_->isOpen + state_->linkActive, 0);
    }
}

TEST_F(SerialPortTest, OpenOnAnOpenPortClosesItFirst) {
    OpenActive();
    settings_.port = 4;
    port_.Open(Owner(), settings_, *state_);
    EXPECT_EQ(driver_.CountCalls("StopReceiver"), 1);
    EXPECT_LT(driver_.IndexOf("ClosePort"), driver_.IndexOf("OpenPort"));
    EXPECT_EQ(state_->portNumber, 4);
}

TEST_F(SerialPortTest, ClosedOrRunningPortIgnoresConfigureStartAndClose) {
    state_->isOpen = 0;
    state_->rxCount = 5;
    port_.Configure(settings_, *state_);
    port_.StartReceiver(*state_);
    port_.Close(*state_);
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_EQ(state_->rxCount, 5);

    OpenActive();
    port_.StartReceiver(*state_);
    EXPECT_TRUE(driver_.calls.empty());
}

TEST_F(SerialPortTest, ConfigureDropsEveryBufferedByteAndSetsTheLine) {
    OpenActive();
    state_->rxCount = 10;
    state_->rxPos = 3;
    Queue(20, 5);
    driver_.input = "pending";
    driver_.outQueue = 300;
    settings_.baudCode = BAUD_CODE_19200;

    port_.Configure(settings_, *state_);

    EXPECT_EQ(state_->rxCount + state_->rxPos + state_->txCount + state_->txPos, 0);
    EXPECT_TRUE(driver_.input.empty());
    EXPECT_EQ(driver_.outQueue, 0u);
    EXPECT_EQ(driver_.line.baudRate, 19200u);
    // A read of an empty queue waits for the first byte, bounded.
    EXPECT_EQ(driver_.timeouts.readInterval, 0xFFFFFFFFu);
    EXPECT_EQ(driver_.timeouts.readTotalMultiplier, 0xFFFFFFFFu);
    EXPECT_GT(driver_.timeouts.readTotalConstant, 0u);
    EXPECT_LT(driver_.timeouts.readTotalConstant, 0xFFFFFFFFu);
    // The mask is cleared before EV_RXCHAR is set.
    const int cleared = driver_.IndexOf("SetEventMask 0");
    ASSERT_GE(cleared, 0);
    EXPECT_GT(driver_.IndexOf("SetEventMask 1"), cleared);
    EXPECT_EQ(state_->linkActive, 1);
    EXPECT_EQ(state_->isOpen, 1);
}

// The receiver must be gone before the handle its wait reads from is closed.
TEST_F(SerialPortTest, CloseEndsTheReceiverBeforeThePort) {
    OpenActive();
    state_->rxCount = 4;
    state_->rxPending = 1;
    Queue(7, 2);

    port_.Close(*state_);

    const int stop = driver_.IndexOf("StopReceiver");
    ASSERT_GE(stop, 0);
    EXPECT_LT(stop, driver_.IndexOf("ClosePort"));
    EXPECT_EQ(driver_.CountCalls("ClearDtr"), 1);
    EXPECT_EQ(state_->isOpen + state_->linkActive + state_->rxPending, 0);
    EXPECT_EQ(state_->rxCount + state_->rxPos + state_->txCount + state_->txPos, 0);
    EXPECT_EQ(state_->handle, InvalidPortHandle());
    EXPECT_TRUE(port_.IsRxDrained(*state_));
}

TEST_F(SerialPortTest, WriteQueuesWhatFitsAfterMovingTheQueuedRunToTheStart) {
    OpenActive();
    const uint8_t bytes[100] = {};
    Queue(1000, 0);
    EXPECT_EQ(port_.Write(*state_, bytes, 100), 24);
    EXPECT_EQ(port_.Write(*state_, bytes, 100), 0);
    EXPECT_EQ(state_->txCount, 1024);

    Queue(3, 1020);
    EXPECT_EQ(port_.Write(*state_, "ab", 2), 2);
    EXPECT_EQ(state_->txPos, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state_->txBuf), state_->txCount), std::string("\0\1\2ab", 5));

    EXPECT_EQ(port_.Write(*state_, "x", -5), 0);
    state_->linkActive = 0;  // an inactive link queues nothing but claims all
    EXPECT_EQ(port_.Write(*state_, "r\r", 2), 2);
    EXPECT_EQ(state_->txCount, 5);
}

TEST_F(SerialPortTest, ReadByteHandsOutInOrderAndRewindsWhenEmpty) {
    OpenActive();
    uint8_t out = 0;
    state_->rxPos = 9;
    EXPECT_EQ(port_.ReadByte(*state_, out), 0);
    EXPECT_EQ(state_->rxPos, 0);

    std::memcpy(state_->rxBuf + 4, "ok", 2);
    state_->rxPos = 4;
    state_->rxCount = 2;
    std::string got;
    while (got.size() < 3 && port_.ReadByte(*state_, out)) got += static_cast<char>(out);
    EXPECT_EQ(got, "ok");
    EXPECT_EQ(state_->rxPos + state_->rxCount, 0);

    state_->rxCount = 1;
    state_->linkActive = 0;
    EXPECT_EQ(port_.ReadByte(*state_, out), 0);
}

// A notification reads at once and parks the receiver until the program has
// taken every byte; one on a link not yet active is ignored.
TEST_F(SerialPortTest, DataNotificationReadsAtOnceAndKeepsTheReceiverParked) {
    port_.Open(Owner(), settings_, *state_);
    driver_.input = "late";
    driver_.calls.clear();
    port_.OnDataAvailable(*state_);
    EXPECT_EQ(state_->rxPending, 0);
    EXPECT_TRUE(driver_.calls.empty());

    OpenActive();
    driver_.input = "00 \r\n";
    port_.OnDataAvailable(*state_);
    EXPECT_EQ(Received(*state_), "00 \r\n");
    EXPECT_EQ(state_->rxPending, 1);
    EXPECT_EQ(driver_.releases, 0);

    for (uint8_t out; port_.ReadByte(*state_, out);) continue;
    port_.PumpReceive(*state_);
    EXPECT_EQ(state_->rxPending, 0);
    EXPECT_EQ(driver_.releases, 1);
    port_.PumpReceive(*state_);  // nothing more until the next notification
    EXPECT_EQ(driver_.releases, 1);
}

// The driver hands bytes over in pieces: each read asks only for what it
// still holds. A full buffer stops the reads; a timed-out read keeps its
// bytes and stops; a failed one with nothing buffered releases the receiver.
TEST_F(SerialPortTest, PumpReceiveReadsWhatTheDriverHoldsUpToAFullBuffer) {
    OpenActive();
    state_->rxPending = 1;
    driver_.input = std::string(10, 'a');
    driver_.readLimit = 4;
    port_.PumpReceive(*state_);
    EXPECT_EQ(state_->rxCount, 10);
    EXPECT_EQ(driver_.readSizes, (std::vector<uint32_t>{10, 6, 2}));

    state_->rxPos = 1000;
    state_->rxCount = 24;
    std::memcpy(state_->rxBuf + 1000, "tail", 4);
    driver_.input = std::string(2000, 'b');
    driver_.readLimit = 0xFFFFFFFFu;
    port_.PumpReceive(*state_);
    EXPECT_EQ(state_->rxPos, 0);
    EXPECT_EQ(state_->rxCount, 1024);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state_->rxBuf), 4), "tail");
    EXPECT_EQ(driver_.input.size(), 1000u);
    driver_.calls.clear();
    port_.PumpReceive(*state_);
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_EQ(driver_.releases, 0);

    state_->rxCount = state_->rxPos = 0;
    driver_.input = "abcdef";
    driver_.readLimit = 3;
    driver_.readStatus = IoStatus::TimedOut;
    port_.PumpReceive(*state_);
    EXPECT_EQ(Received(*state_), "abc");
    EXPECT_EQ(driver_.CountCalls("Read"), 1);

    state_->rxCount = state_->rxPos = 0;
    driver_.readStatus = IoStatus::Failed;
    port_.PumpReceive(*state_);
    EXPECT_EQ(state_->rxCount + state_->rxPending, 0);
    EXPECT_EQ(driver_.releases, 1);
}

TEST_F(SerialPortTest, PumpTransmitFillsTheDriverUpToOneBufferOneWriteACall) {
    OpenActive();
    Queue(100, 0);
    driver_.outQueue = 1000;
    port_.PumpTransmit(*state_);
    EXPECT_EQ(driver_.sent.size(), 24u);
    EXPECT_EQ(state_->txCount, 76);
    EXPECT_EQ(state_->txPos, 24);

    for (uint32_t full : {1024u, 5000u}) {
        driver_.outQueue = full;
        port_.PumpTransmit(*state_);
    }
    EXPECT_EQ(driver_.CountCalls("Write"), 1);

    driver_.outQueue = 0;
    driver_.writeLimit = 70;
    port_.PumpTransmit(*state_);
    EXPECT_EQ(driver_.CountCalls("Write"), 2);
    EXPECT_EQ(state_->txCount, 6);
    port_.PumpTransmit(*state_);
    EXPECT_EQ(driver_.sent.size(), 100u);
    EXPECT_EQ(state_->txCount + state_->txPos, 0);
    EXPECT_EQ(static_cast<uint8_t>(driver_.sent[99]), 99);
}

// A write that failed or timed out counts as sent; the queue of an inactive
// or closed link is dropped without a call.
TEST_F(SerialPortTest, PumpTransmitDropsWhatCannotGo) {
    for (IoStatus status : {IoStatus::Failed, IoStatus::TimedOut}) {
        OpenActive();
        Queue(10, 0);
        driver_.writeStatus = status;
        port_.PumpTransmit(*state_);
        EXPECT_EQ(state_->txCount + state_->txPos, 0);
    }
    OpenActive();
    Queue(10, 3);
    state_->linkActive = 0;
    port_.PumpTransmit(*state_);
    EXPECT_EQ(state_->txCount + state_->txPos, 0);

    OpenActive();
    port_.Close(*state_);
    Queue(10, 0);
    driver_.calls.clear();
    port_.PumpTransmit(*state_);
    EXPECT_EQ(state_->txCount, 0);
    EXPECT_TRUE(driver_.calls.empty());
}

}  // namespace
}  // namespace quarnel
