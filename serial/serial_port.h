#pragma once

#include <cstdint>

#include "serial/link_state.h"
#include "serial/serial_driver.h"

// SerialPort: the program's only path to the converter.
//
//   Open            resets the LinkState, opens COM<port>, configures it, posts WM_PORT_OPENED;
//                   on failure posts WM_PORT_EVENT/PORT_EVENT_CLOSE and returns PortNotOpened.
//   Configure       queue sizes, time-outs and line settings; drops every buffered byte.
//   StartReceiver   starts the receiver thread and sets linkActive (on WM_PORT_OPENED); on
//                   failure closes the port, posts PORT_EVENT_CLOSE and returns NoReceiver.
//   OnDataAvailable on WM_PORT_EVENT/PORT_EVENT_DATA: reads the waiting bytes at once.
//   PumpTransmit, ReadByte..., PumpReceive   once per pump tick, in that order.
//   Write           queues bytes for PumpTransmit.
//   Close           ends the receiver thread and closes the port.
//
// Everything runs on the window thread. The receiver thread only tells the
// window that bytes have arrived (one notification at a time: it posts, then
// parks until PumpReceive finds rxBuf empty and releases it). A failure is
// returned; telling the user is the window's part.
namespace quarnel {

// Why the link could not be made.
enum class LinkFailure {
    None,
    PortNotOpened,  // the system refused to open the port
    NoReceiver,     // no receiver thread could be started
};

class SerialPort {
public:
    explicit SerialPort(SerialDriver& driver) : driver_(driver) {}
    virtual ~SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    LinkFailure Open(WindowHandle owner, const PortSettings& settings, LinkState& state);
    void Configure(const PortSettings& settings, LinkState& state);
    LinkFailure StartReceiver(LinkState& state);
    void Close(LinkState& state);
    bool IsRxDrained(const LinkState& state) const;
    void OnDataAvailable(LinkState& state);
    void PumpReceive(LinkState& state);
    void PumpTransmit(LinkState& state);
    // 1 and the next received byte in out, or 0 when none waits.
    int ReadByte(LinkState& state, uint8_t& out);
    // Queues up to length bytes; returns how many were taken (length itself while the link is inactive).
    int Write(LinkState& state, const void* bytes, int length);

private:
    SerialDriver& driver_;
};

// Queue sizes and time-outs that Configure gives the driver.
constexpr uint32_t DRIVER_INPUT_QUEUE = 8192;
constexpr uint32_t DRIVER_OUTPUT_QUEUE = 2048;
// Longest wait for one read or write to complete.
constexpr uint32_t IO_WAIT_MS = 1000;
// A read returns at once with what the driver holds; on an empty queue it
// returns with the first byte that comes in, or with none after
// RECEIVE_WAIT_MS. The receive wait is such a read, and the window thread
// only ever asks for bytes the driver already holds. A write may take 500 ms.
constexpr uint32_t RECEIVE_WAIT_MS = 5000;
constexpr CommTimeouts LINK_TIMEOUTS = {0xFFFFFFFFu, 0xFFFFFFFFu, RECEIVE_WAIT_MS, 0, 500};

}  // namespace quarnel
