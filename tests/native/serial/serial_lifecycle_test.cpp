// Open, Configure, StartReceiver and Close against the fake driver.
#include "serial/port_messages.h"
#include "tests/native/serial/serial_test_fixture.h"

namespace quarnel {
namespace {

TEST_F(SerialPortTest, OpenResetsStateConfiguresAndAnnouncesThePort) {
  settings_.port = 12;
  port_.Open(Owner(), settings_, *state_);

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
  EXPECT_TRUE(driver_.errors.empty());
}

// A failed open and a receiver that cannot start both show their message and
// post the close event; the port ends closed.
TEST_F(SerialPortTest, FailedOpenOrThreadStartClosesThePort) {
  for (bool threadFails : {false, true}) {
    SCOPED_TRACE(threadFails);
    driver_ = FakeSerialDriver{};
    state_->isOpen = 0;
    settings_.port = 0;
    driver_.openSucceeds = threadFails;
    driver_.threadStarts = false;
    port_.Open(Owner(), settings_, *state_);
    if (threadFails) {
      driver_.posts.clear();
      port_.StartReceiver(*state_);
    }
    EXPECT_EQ(driver_.errors, std::vector<std::string>{threadFails ? "Can't create thread" : "Cannot open COM0"});
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
  settings_.baudCode = kBaud19200;

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

// The receiver must be gone before the events it waits on and the handle it
// reads from are closed.
TEST_F(SerialPortTest, CloseEndsTheReceiverBeforeItsEventsAndThePort) {
  OpenActive();
  state_->rxCount = 4;
  state_->rxPending = 1;
  Queue(7, 2);

  port_.Close(*state_);

  const int stop = driver_.IndexOf("StopReceiver");
  ASSERT_GE(stop, 0);
  EXPECT_LT(stop, driver_.IndexOf("CloseLinkEvents"));
  EXPECT_LT(driver_.IndexOf("CloseLinkEvents"), driver_.IndexOf("ClosePort"));
  EXPECT_EQ(driver_.CountCalls("ClearDtr"), 1);
  EXPECT_EQ(state_->isOpen + state_->linkActive + state_->rxPending, 0);
  EXPECT_EQ(state_->rxCount + state_->rxPos + state_->txCount + state_->txPos, 0);
  EXPECT_EQ(state_->handle, InvalidPortHandle());
  EXPECT_TRUE(port_.IsRxDrained(*state_));
}

}  // namespace
}  // namespace quarnel
