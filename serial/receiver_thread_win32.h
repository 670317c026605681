#pragma once

#include <windows.h>

#include "serial/link_state.h"

// The receiver thread of one open port. It sleeps until the port's receive
// wait completes (a byte came in, or the wait ended for good or ill), posts
// WM_PORT_EVENT/PORT_EVENT_DATA to the LinkState's owner unless a
// notification is being served, then parks on the link's read-end event
// until the window thread has taken the bytes in and armed the next wait.
// It touches no buffer and no counter, and it never spins: both its waits
// block until the window thread or the line gives it something to do.
namespace quarnel {

struct ReceiverContext;

class ReceiverThread {
public:
    ReceiverThread() = default;
    ~ReceiverThread() { Stop(); }
    ReceiverThread(const ReceiverThread&) = delete;
    ReceiverThread& operator=(const ReceiverThread&) = delete;

    // For the port open in state (owner is taken now). dataEvent is signalled
    // when the receive wait completes; readEnd releases the parked thread.
    // Both stay the caller's: the thread waits on duplicates of its own.
    bool Start(LinkState& state, HANDLE dataEvent, HANDLE readEnd);
    // Wakes the thread wherever it waits and waits for it to end, at most
    // RECEIVER_STOP_WAIT_MS; true when it has ended.
    bool Stop();
    bool Running() const { return thread_ != nullptr; }
    // Id of the running thread, 0 without one (for diagnostics and tests).
    DWORD ThreadId() const { return threadId_; }

private:
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    ReceiverContext* context_ = nullptr;
};

// Longest wait in Stop for the thread to end: it only has to be scheduled,
// and the window thread waits for it.
constexpr DWORD RECEIVER_STOP_WAIT_MS = 500;

}  // namespace quarnel
