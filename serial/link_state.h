#pragma once

#include <cstdint>

// The serial link's shared state and line settings. There is one process-wide
// instance of each (gLinkState, gPortSettings); every SerialPort operation is
// handed them explicitly so tests can use their own.
//
// Threads: the window thread runs every operation and is the only writer of
// every field. The receiver thread of the open port reads `linkActive` and
// `rxPending` (after each of its waits) and nothing else.
namespace quarnel {

using WindowHandle = void*;  // HWND of the window that receives the link's messages
using PortHandle = void*;    // HANDLE of the open COM port

// INVALID_HANDLE_VALUE without the platform header.
inline PortHandle InvalidPortHandle() { return reinterpret_cast<PortHandle>(static_cast<intptr_t>(-1)); }

constexpr int kLinkBufferSize = 1024;

struct LinkState {
  uint8_t rxBuf[kLinkBufferSize];  // window thread: received bytes; unconsumed run starts at rxPos
  int32_t rxCount;                 // window thread: unconsumed received bytes
  int32_t rxPos;                   // window thread: next byte to hand out
  uint8_t txBuf[kLinkBufferSize];  // window thread: queued output; queued run starts at txPos
  int32_t txCount;                 // window thread: queued bytes
  int32_t txPos;                   // window thread: first queued byte
  WindowHandle owner;              // window thread, in Open; receives WM_PORT_EVENT / WM_PORT_OPENED
  int32_t linkActive;  // written by the window thread (StartReceiver sets, Close clears);
                       // read by the receiver thread after each wait
  int32_t isOpen;       // window thread: the port handle is open
  uint16_t portNumber;  // window thread, in Open; names the link's events
  PortHandle handle;    // window thread; InvalidPortHandle() while closed
  int32_t rxPending;  // written by the window thread (OnDataAvailable sets, PumpReceive clears just
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

extern LinkState gLinkState;
extern PortSettings gPortSettings;

// 115200 bits/s, 8 data bits, no parity, one stop bit, no flow control; `port` is left alone.
void LoadLineDefaults(PortSettings& settings);

// Reads a flag the other thread writes. The load is never cached across the
// waits that separate two reads.
inline int32_t ReadSharedFlag(const int32_t& flag) { return *static_cast<const volatile int32_t*>(&flag); }

}  // namespace quarnel
