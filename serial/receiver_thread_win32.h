#pragma once

#include <windows.h>

#include "serial/link_state.h"

// The receiver thread of one open port. It waits for received characters and
// posts WM_PORT_EVENT/PORT_EVENT_DATA to the LinkState's owner unless a
// notification is being served, then parks on the port's "ReadEnd" event
// until PumpReceive releases it. It touches no buffer and no counter.
namespace quarnel {

struct ReceiverContext;

class ReceiverThread {
 public:
  ReceiverThread() = default;
  ~ReceiverThread() { Stop(); }
  ReceiverThread(const ReceiverThread&) = delete;
  ReceiverThread& operator=(const ReceiverThread&) = delete;

  // For the port open in state (handle, owner and portNumber are taken now).
  bool Start(LinkState& state);
  // Wakes the thread wherever it waits and waits for it to end (bounded).
  void Stop();
  bool Running() const { return thread_ != nullptr; }
  // Id of the running thread, 0 without one (for diagnostics and tests).
  DWORD ThreadId() const { return threadId_; }

 private:
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  ReceiverContext* context_ = nullptr;
};

// Longest wait in Stop for the thread to end.
constexpr DWORD kReceiverStopWaitMs = 5000;
// Pause after a wait that ended without received characters, so a line whose
// waits end at once (a pty under Wine) is polled rather than spun on.
constexpr DWORD kReceiverIdlePauseMs = 2;

}  // namespace quarnel
