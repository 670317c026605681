// The byte queues and the two pumps against the fake driver.
#include <string>

#include "tests/native/serial/serial_test_fixture.h"

namespace quarnel {
namespace {

std::string Received(const LinkState& state) {
  return std::string(reinterpret_cast<const char*>(state.rxBuf) + state.rxPos, static_cast<size_t>(state.rxCount));
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
  ASSERT_EQ(port_.ReadByte(*state_, out), 1);
  EXPECT_EQ(out, 'o');
  ASSERT_EQ(port_.ReadByte(*state_, out), 1);
  EXPECT_EQ(out, 'k');
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

  uint8_t out;
  while (port_.ReadByte(*state_, out)) {
  }
  port_.PumpReceive(*state_);
  EXPECT_EQ(state_->rxPending, 0);
  EXPECT_EQ(driver_.releases, 1);
  port_.PumpReceive(*state_);  // nothing more until the next notification
  EXPECT_EQ(driver_.releases, 1);
}

TEST_F(SerialPortTest, PumpReceiveAsksOnlyForWhatTheDriverHolds) {
  OpenActive();
  state_->rxPending = 1;
  driver_.input = std::string(10, 'a');
  driver_.readLimit = 4;  // the driver hands the bytes over in pieces
  port_.PumpReceive(*state_);
  EXPECT_EQ(state_->rxCount, 10);
  EXPECT_EQ(driver_.readSizes, (std::vector<uint32_t>{10, 6, 2}));
  EXPECT_EQ(driver_.releases, 0);
}

TEST_F(SerialPortTest, PumpReceiveStopsAtAFullBufferAfterMovingTheRunToTheStart) {
  OpenActive();
  state_->rxPending = 1;
  state_->rxPos = 1000;
  state_->rxCount = 24;
  std::memcpy(state_->rxBuf + 1000, "tail", 4);
  driver_.input = std::string(2000, 'b');
  port_.PumpReceive(*state_);
  EXPECT_EQ(state_->rxPos, 0);
  EXPECT_EQ(state_->rxCount, 1024);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(state_->rxBuf), 4), "tail");
  EXPECT_EQ(driver_.input.size(), 1000u);

  driver_.calls.clear();
  port_.PumpReceive(*state_);
  EXPECT_TRUE(driver_.calls.empty());
  EXPECT_EQ(driver_.releases, 0);
}

// A timed-out read keeps its bytes and stops; a failed one with nothing
// buffered releases the receiver.
TEST_F(SerialPortTest, PumpReceiveAfterAnUnfinishedRead) {
  OpenActive();
  state_->rxPending = 1;
  driver_.input = "abcdef";
  driver_.readLimit = 3;
  driver_.readStatus = IoStatus::kTimedOut;
  port_.PumpReceive(*state_);
  EXPECT_EQ(Received(*state_), "abc");
  EXPECT_EQ(driver_.CountCalls("Read"), 1);

  state_->rxCount = state_->rxPos = 0;
  driver_.readStatus = IoStatus::kFailed;
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
  for (IoStatus status : {IoStatus::kFailed, IoStatus::kTimedOut}) {
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
