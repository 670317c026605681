#pragma once

#include <atomic>
#include <cstdint>

// The serial link's shared state and line settings. Their owner (the main
// window's link controller, a test's harness) hands them to every SerialPort
// operation.
//
// Threads: the window thread runs every operation and is the only writer of
// every field. The receiver thread of the open port reads `linkActive` and
// `rxPending` (after each of its waits) and nothing else; the state outlives
// that thread (closing the port ends it).
namespace quarnel {

using WindowHandle = void*;  // HWND of the window that receives the link's messages
using PortHandle = void*;    // HANDLE of the open COM port

// INVALID_HANDLE_VALUE without the platform header.
inline PortHandle InvalidPortHandle() { return reinterpret_cast<PortHandle>(static_cast<intptr_t>(-1)); }

constexpr int LINK_BUFFER_SIZE = 1024;

// A flag the window thread writes and the receiver thread reads: atomic, so
// the receiver sees every store and the two threads never race. Relaxed
// order is enough: the flag publishes no other data (the receiver touches no
// buffer and no counter), it only tells the thread whether to post or end.
// Copyable, so that a LinkState can still be built by value.
class SharedFlag {
public:
    constexpr SharedFlag(int32_t value = 0) noexcept : value_(value) {}
    SharedFlag(const SharedFlag& other) noexcept : value_(other) {}
    SharedFlag& operator=(const SharedFlag& other) noexcept { return *this = static_cast<int32_t>(other); }
    SharedFlag& operator=(int32_t value) noexcept {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }
    operator int32_t() const noexcept { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> value_;
};

// A default-made LinkState is a closed link.
struct LinkState {
    uint8_t rxBuf[LINK_BUFFER_SIZE] = {};     // window thread: received bytes; unconsumed run starts at rxPos
    int32_t rxCount = 0;                      // window thread: unconsumed received bytes
    int32_t rxPos = 0;                        // window thread: next byte to hand out
    uint8_t txBuf[LINK_BUFFER_SIZE] = {};     // window thread: queued output; queued run starts at txPos
    int32_t txCount = 0;                      // window thread: queued bytes
    int32_t txPos = 0;                        // window thread: first queued byte
    WindowHandle owner = nullptr;             // window thread, in Open; receives WM_PORT_EVENT / WM_PORT_OPENED
    SharedFlag linkActive;                    // written by the window thread (StartReceiver sets, Close clears);
                                              // read by the receiver thread after each wait
    int32_t isOpen = 0;                       // window thread: the port handle is open
    uint16_t portNumber = 0;                  // window thread, in Open; the COM port number of the open port
    PortHandle handle = InvalidPortHandle();  // window thread; InvalidPortHandle() while closed
    SharedFlag rxPending;  // written by the window thread (OnDataAvailable sets, PumpReceive clears just
                           // before releasing the receiver); read by the receiver thread before it posts
};

// Six line codes; see LineConfigFor for their meaning.
struct PortSettings {
    uint16_t port;  // n of COMn
    uint16_t baudCode;
    uint16_t parityCode;
    uint16_t dataBitsCode;
    uint16_t stopBitsCode;
    uint16_t flowCode;
};

// 115200 bits/s, 8 data bits, no parity, one stop bit, no flow control; `port` is left alone.
void LoadLineDefaults(PortSettings& settings);

}  // namespace quarnel
