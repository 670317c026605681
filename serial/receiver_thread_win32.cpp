#include "serial/receiver_thread_win32.h"

#include <process.h>

#include <cstdio>

#include "serial/port_messages.h"

namespace quarnel {

// Everything the thread uses, owned by the thread's run. It lives on the heap
// so a thread that would not end in time can be left with it.
struct ReceiverContext {
  LinkState* state;  // read only: linkActive, rxPending
  HANDLE port;
  HWND owner;
  unsigned portNumber;
  HANDLE stopEvent;  // manual-reset; set by Stop on the window thread
  OVERLAPPED waitOv;  // the thread's own, for WaitCommEvent on the overlapped handle
  DWORD eventMask;    // filled by the system when the wait completes
};

namespace {

// Finishes an overlapped wait that is still pending after CancelIo.
void CollectCancelled(ReceiverContext& context) {
  CancelIo(context.port);  // the wait was issued by this thread
  if (WaitForSingleObject(context.waitOv.hEvent, kReceiverStopWaitMs) == WAIT_OBJECT_0) {
    DWORD unused = 0;
    GetOverlappedResult(context.port, &context.waitOv, &unused, FALSE);
  }
}

// Waits for the next line event. false when Stop asked the thread to end.
// The mask is 0 when the wait ended without an event (failed, aborted, mask changed).
bool WaitForLineEvent(ReceiverContext& context) {
  HANDLE waitEvent = context.waitOv.hEvent;
  ZeroMemory(&context.waitOv, sizeof context.waitOv);
  context.waitOv.hEvent = waitEvent;
  ResetEvent(waitEvent);
  context.eventMask = 0;
  if (WaitCommEvent(context.port, &context.eventMask, &context.waitOv)) return true;
  if (GetLastError() != ERROR_IO_PENDING) {
    context.eventMask = 0;
    return WaitForSingleObject(context.stopEvent, 0) == WAIT_TIMEOUT;
  }
  HANDLE waits[2] = {context.stopEvent, waitEvent};
  const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  if (woken == WAIT_OBJECT_0 + 1) {
    DWORD unused = 0;
    if (!GetOverlappedResult(context.port, &context.waitOv, &unused, FALSE)) context.eventMask = 0;
    return true;
  }
  CollectCancelled(context);
  return false;
}

unsigned __stdcall ReceiverMain(void* argument) {
  ReceiverContext& context = *static_cast<ReceiverContext*>(argument);
  char name[24];
  std::snprintf(name, sizeof name, "%s%u", "ReadEnd", context.portNumber);
  HANDLE readEnd = OpenEventA(EVENT_ALL_ACCESS, FALSE, name);

  while (WaitForLineEvent(context)) {
    if (!ReadSharedFlag(context.state->linkActive)) break;
    DWORD errors = 0;
    COMSTAT status = {};
    ClearCommError(context.port, &errors, &status);
    // A wait can end without EV_RXCHAR although bytes arrived (Wine aborts
    // every wait on a pty): the driver's input count decides.
    if ((context.eventMask & EV_RXCHAR) != 0 || status.cbInQue > 0) {
      if (!ReadSharedFlag(context.state->rxPending)) {
        PostMessageA(context.owner, WM_PORT_EVENT, 0, PORT_EVENT_DATA);
      }
      HANDLE waits[2] = {context.stopEvent, readEnd};
      const DWORD woken = readEnd != nullptr ? WaitForMultipleObjects(2, waits, FALSE, INFINITE)
                                             : WaitForSingleObject(context.stopEvent, kReceiverIdlePauseMs);
      if (woken == WAIT_OBJECT_0) break;
      if (woken == WAIT_FAILED) break;
    } else if (WaitForSingleObject(context.stopEvent, kReceiverIdlePauseMs) != WAIT_TIMEOUT) {
      break;
    }
  }
  if (readEnd != nullptr) CloseHandle(readEnd);
  return 0;
}

void FreeContext(ReceiverContext* context) {
  CloseHandle(context->stopEvent);
  CloseHandle(context->waitOv.hEvent);
  delete context;
}

}  // namespace

bool ReceiverThread::Start(LinkState& state) {
  Stop();
  auto* context = new ReceiverContext{};
  context->state = &state;
  context->port = static_cast<HANDLE>(state.handle);
  context->owner = static_cast<HWND>(state.owner);
  context->portNumber = state.portNumber;
  context->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  context->waitOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (context->stopEvent == nullptr || context->waitOv.hEvent == nullptr) {
    if (context->stopEvent != nullptr) CloseHandle(context->stopEvent);
    if (context->waitOv.hEvent != nullptr) CloseHandle(context->waitOv.hEvent);
    delete context;
    return false;
  }
  // _beginthreadex, not _beginthread: Stop needs a handle it can wait on.
  unsigned id = 0;
  const uintptr_t thread = _beginthreadex(nullptr, 0, ReceiverMain, context, 0, &id);
  if (thread == 0) {
    FreeContext(context);
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
  if (WaitForSingleObject(thread_, kReceiverStopWaitMs) == WAIT_OBJECT_0) {
    FreeContext(context_);
  }
  // Otherwise the thread still uses its context: it is left to it.
  CloseHandle(thread_);
  thread_ = nullptr;
  threadId_ = 0;
  context_ = nullptr;
}

}  // namespace quarnel
