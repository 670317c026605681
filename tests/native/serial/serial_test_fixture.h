#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "serial/serial_port.h"
#include "tests/native/serial/fake_serial_driver.h"

namespace quarnel {

class SerialPortTest : public ::testing::Test {
 protected:
  static WindowHandle Owner() { return reinterpret_cast<WindowHandle>(static_cast<intptr_t>(0x77)); }

  SerialPortTest() : state_(new LinkState{}) {
    settings_.port = 3;
    LoadLineDefaults(settings_);
    std::memset(state_.get(), 0xCD, sizeof *state_);  // Open must reset every field...
    state_->isOpen = 0;                                 // ...of a closed port
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

}  // namespace quarnel
