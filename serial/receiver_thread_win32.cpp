#include "serial/receiver_thread_win32.h"

#include <process.h>

#include "serial/port_messages.h"

namespace quarnel {

// Everything the thread uses. It lives on the heap so a thread that would
// not end in time can be left with it.
struct ReceiverContext {
  LinkState* state;  // read only: linkActive, rxPending
  HWND owner;
  HANDLE stopEvent;  // manual-reset; set by Stop on the window thread
  HANDLE dataEvent;  // the receive wait's event (not owned)
  HANDLE readEnd;    // auto-reset; set by the window thread (not owned)
};

namespace {

// Waits until `event` is signalled; false when Stop asked the thread to end.
bool WaitFor(const ReceiverContext& context, HANDLE event) {
  HANDLE waits[2] = {context.stopEvent, event};
  return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

unsigned __stdcall ReceiverMain(void* argument) {
  const ReceiverContext& context = *static_cast<ReceiverContext*>(argument);
  while (WaitFor(context, context.dataEvent)) {
    if (!ReadSharedFlag(context.state->linkActive)) break;
    if (!ReadSharedFlag(context.state->rxPending)) PostMessageA(context.owner, WM_PORT_EVENT, 0, PORT_EVENT_DATA);
    // The wait's event stays signalled until the window thread arms the
    // next wait; it releases the thread only after that.
    if (!WaitFor(context, context.readEnd)) break;
  }
  return 0;
}

}  // namespace

bool ReceiverThread::Start(LinkState& state, HANDLE dataEvent, HANDLE readEnd) {
  Stop();
  if (dataEvent == nullptr || readEnd == nullptr) return false;
  auto* context = new ReceiverContext{&state, static_cast<HWND>(state.owner), nullptr, dataEvent, readEnd};
  context->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (context->stopEvent == nullptr) {
    delete context;
    return false;
  }
  // _beginthreadex, not _beginthread: Stop needs a handle it can wait on.
  unsigned id = 0;
  const uintptr_t thread = _beginthreadex(nullptr, 0, ReceiverMain, context, 0, &id);
  if (thread == 0) {
    CloseHandle(context->stopEvent);
    delete context;
    return false;
  }
  thread_ = reinterpret_cast<HANDLE>(thread);
  threadId_ = id;
  context_ = context;
  return true;
}

void ReceiverThread::Stop() {
  if (thread_ == nullptr) return;
  SetEvent(context_->stopEvent);
  // The thread only ever waits on events that include the stop event, so
  // it ends within a scheduling delay; the bound guards against a system
  // that stops scheduling it.
  if (WaitForSingleObject(thread_, kReceiverStopWaitMs) == WAIT_OBJECT_0) {
    CloseHandle(context_->stopEvent);
    delete context_;
  }
  // Otherwise the thread still uses its context: it is left to it.
  CloseHandle(thread_);
  thread_ = nullptr;
  threadId_ = 0;
  context_ = nullptr;
}

}  // namespace quarnel
