#include "serial/receiver_thread_win32.h"

#include <process.h>

#include <atomic>
#include <initializer_list>

#include "serial/port_messages.h"

namespace quarnel {

// What the thread uses. The events are its own handles (duplicates, and its
// own stop event): whatever becomes of the port and its driver, nothing the
// thread waits on is closed under it. The LinkState and the owner window are
// not the thread's: it reads the state's two flags and posts to the window,
// so the state's owner closes the port, which stops the thread, before the
// state goes. Stop and the thread each hold a share of this; the last one
// frees it.
struct ReceiverContext {
    LinkState* state;  // read only: linkActive, rxPending
    HWND owner;
    HANDLE stopEvent = nullptr;  // manual-reset; set by Stop on the window thread
    HANDLE dataEvent = nullptr;  // the receive wait's event (a duplicate)
    HANDLE readEnd = nullptr;    // auto-reset; set by the window thread (a duplicate)
    std::atomic<int> shares{2};

    ReceiverContext(LinkState& linkState, HWND window) : state(&linkState), owner(window) {}
    ~ReceiverContext() {
        for (HANDLE handle : {stopEvent, dataEvent, readEnd}) {
            if (handle != nullptr) CloseHandle(handle);
        }
    }
    void Release() {
        if (shares.fetch_sub(1) == 1) delete this;
    }
};

namespace {

HANDLE Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    const HANDLE self = GetCurrentProcess();
    if (!DuplicateHandle(self, handle, self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) return nullptr;
    return copy;
}

// Waits until `event` is signalled; false when Stop asked the thread to end.
bool WaitFor(const ReceiverContext& context, HANDLE event) {
    HANDLE waits[2] = {context.stopEvent, event};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

unsigned __stdcall ReceiverMain(void* argument) {
    ReceiverContext& context = *static_cast<ReceiverContext*>(argument);
    while (WaitFor(context, context.dataEvent)) {
        // Stop may have given up waiting while this thread was not scheduled;
        // its state may then be gone: look at the stop event before the state.
        if (WaitForSingleObject(context.stopEvent, 0) == WAIT_OBJECT_0) break;
        if (!context.state->linkActive) break;
        if (!context.state->rxPending) PostMessageA(context.owner, WM_PORT_EVENT, 0, PORT_EVENT_DATA);
        // The wait's event stays signalled until the window thread arms the
        // next wait; it releases the thread only after that.
        if (!WaitFor(context, context.readEnd)) break;
    }
    context.Release();
    return 0;
}

}  // namespace

bool ReceiverThread::Start(LinkState& state, HANDLE dataEvent, HANDLE readEnd) {
    Stop();
    if (dataEvent == nullptr || readEnd == nullptr) return false;
    auto* context = new ReceiverContext(state, static_cast<HWND>(state.owner));
    context->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    context->dataEvent = Duplicate(dataEvent);
    context->readEnd = Duplicate(readEnd);
    if (context->stopEvent == nullptr || context->dataEvent == nullptr || context->readEnd == nullptr) {
        delete context;
        return false;
    }
    // _beginthreadex, not _beginthread: Stop needs a handle it can wait on.
    unsigned id = 0;
    const uintptr_t thread = _beginthreadex(nullptr, 0, ReceiverMain, context, 0, &id);
    if (thread == 0) {
        delete context;
        return false;
    }
    thread_ = reinterpret_cast<HANDLE>(thread);
    threadId_ = id;
    context_ = context;
    return true;
}

bool ReceiverThread::Stop() {
    if (thread_ == nullptr) return true;
    // Both of the thread's waits include the stop event: setting it ends
    // whatever the thread waits on, and it ends within a scheduling delay.
    SetEvent(context_->stopEvent);
    const bool ended = WaitForSingleObject(thread_, RECEIVER_STOP_WAIT_MS) == WAIT_OBJECT_0;
    // A thread the system has not let run by then ends at its next wake-up:
    // the stop event stays set and outranks its other waits. Should it have
    // woken for data just before, it may still read the link's flags and post
    // one data notification: a closed link ignores it, an open one serves it
    // like any other (it reads only what the driver holds).
    context_->Release();
    CloseHandle(thread_);
    thread_ = nullptr;
    threadId_ = 0;
    context_ = nullptr;
    return ended;
}

}  // namespace quarnel
