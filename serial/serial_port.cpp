#include "serial/serial_port.h"

#include <cstdio>
#include <cstring>

#include "serial/line_config.h"
#include "serial/port_messages.h"

namespace quarnel {

LinkFailure SerialPort::Open(WindowHandle owner, const PortSettings& settings, LinkState& state) {
    // Resetting an open port's state would lose its handle and its receiver.
    if (state.isOpen) Close(state);

    state.rxCount = 0;
    state.rxPos = 0;
    state.txCount = 0;
    state.txPos = 0;
    state.owner = owner;
    state.linkActive = 0;
    state.isOpen = 0;
    state.portNumber = 0;
    state.handle = InvalidPortHandle();
    state.rxPending = 0;

    // The \\.\ prefix reaches ports above COM9, which have no DOS name of their own.
    char path[24];
    std::snprintf(path, sizeof path, "\\\\.\\COM%d", settings.port);

    state.handle = driver_.OpenPort(path);
    if (state.handle == InvalidPortHandle()) {
        driver_.PostToOwner(owner, WM_PORT_EVENT, PORT_EVENT_CLOSE);
        return LinkFailure::PortNotOpened;
    }
    state.isOpen = 1;
    state.portNumber = settings.port;
    Configure(settings, state);
    driver_.PostToOwner(owner, WM_PORT_OPENED, 0);
    return LinkFailure::None;
}

void SerialPort::Configure(const PortSettings& settings, LinkState& state) {
    if (!state.isOpen) return;
    driver_.ClearErrors(state.handle);
    driver_.SetQueueSizes(state.handle, DRIVER_INPUT_QUEUE, DRIVER_OUTPUT_QUEUE);
    driver_.PurgeAll(state.handle);
    driver_.SetTimeouts(state.handle, LINK_TIMEOUTS);
    state.rxCount = 0;
    state.rxPos = 0;
    state.txCount = 0;
    state.txPos = 0;
    driver_.SetLine(state.handle, LineConfigFor(settings));
    driver_.SetEventMask(state.handle, 0);
    driver_.SetEventMask(state.handle, EVENT_RX_CHAR);
}

LinkFailure SerialPort::StartReceiver(LinkState& state) {
    if (!state.isOpen || state.linkActive) return LinkFailure::None;
    // Set before the thread runs: it ends as soon as it sees linkActive 0.
    state.linkActive = 1;
    if (driver_.StartReceiver(state)) return LinkFailure::None;
    // Without a receiver nothing would ever be read: treat it like a failed open.
    WindowHandle owner = state.owner;
    Close(state);
    driver_.PostToOwner(owner, WM_PORT_EVENT, PORT_EVENT_CLOSE);
    return LinkFailure::NoReceiver;
}

void SerialPort::Close(LinkState& state) {
    if (!state.isOpen) return;
    state.isOpen = 0;
    state.rxPending = 0;
    state.linkActive = 0;
    state.rxPos = 0;
    state.rxCount = 0;
    state.txPos = 0;
    state.txCount = 0;
    if (state.handle != InvalidPortHandle()) {
        // The receiver's wait reads from the handle: it goes first.
        driver_.StopReceiver();
        driver_.PurgeAll(state.handle);
        driver_.ClearDtr(state.handle);
        driver_.SetEventMask(state.handle, 0);
        driver_.ClosePort(state.handle);
    }
    state.handle = InvalidPortHandle();
}

bool SerialPort::IsRxDrained(const LinkState& state) const { return !state.isOpen || state.rxCount <= 0; }

void SerialPort::OnDataAvailable(LinkState& state) {
    if (!state.linkActive) return;
    state.rxPending = 1;
    PumpReceive(state);
}

void SerialPort::PumpReceive(LinkState& state) {
    if (!state.linkActive || !state.rxPending || state.rxCount >= LINK_BUFFER_SIZE) return;
    if (state.rxCount > 0 && state.rxPos > 0) {
        std::memmove(state.rxBuf, state.rxBuf + state.rxPos, static_cast<size_t>(state.rxCount));
        state.rxPos = 0;
    }
    for (;;) {
        // Ask only for what the driver holds: a read of an empty queue need not
        // return at once everywhere, and would hold the tick up.
        const CommStatus status = driver_.ClearErrors(state.handle);
        uint32_t want = static_cast<uint32_t>(LINK_BUFFER_SIZE - state.rxCount);
        if (status.inQueue < want) want = status.inQueue;
        if (want == 0) break;
        const IoResult result = driver_.Read(state.handle, state.rxBuf + state.rxCount, want, IO_WAIT_MS);
        const uint32_t got = result.status == IoStatus::Failed ? 0 : (result.count < want ? result.count : want);
        state.rxCount += static_cast<int32_t>(got);
        if (result.status != IoStatus::Completed || got == 0 || state.rxCount >= LINK_BUFFER_SIZE) break;
    }
    driver_.ClearErrors(state.handle);
    if (state.rxCount == 0) {
        state.rxPending = 0;
        driver_.ReleaseReceiver();
    }
}

void SerialPort::PumpTransmit(LinkState& state) {
    if (!state.isOpen || !state.linkActive) {
        state.txCount = 0;
        state.txPos = 0;
        return;
    }
    if (state.txCount == 0) return;
    const CommStatus status = driver_.ClearErrors(state.handle);
    // Keep the driver's pending output at no more than one buffer.
    const int64_t room = int64_t{LINK_BUFFER_SIZE} - status.outQueue;
    if (room <= 0) return;
    const uint32_t n = static_cast<uint32_t>(room < state.txCount ? room : state.txCount);
    const IoResult result = driver_.Write(state.handle, state.txBuf + state.txPos, n, IO_WAIT_MS);
    // A write that fails or does not finish in time counts as sent; the converter
    // protocol recovers through its reply time-outs.
    const uint32_t written = result.status == IoStatus::Completed ? (result.count < n ? result.count : n) : n;
    driver_.ClearErrors(state.handle);
    state.txCount -= static_cast<int32_t>(written);
    if (state.txCount == 0) {
        state.txPos = 0;
    } else {
        state.txPos += static_cast<int32_t>(written);
    }
}

int SerialPort::ReadByte(LinkState& state, uint8_t& out) {
    if (!state.linkActive) return 0;
    if (state.rxCount <= 0) {
        state.rxPos = 0;
        return 0;
    }
    out = state.rxBuf[state.rxPos++];
    if (--state.rxCount == 0) state.rxPos = 0;
    return 1;
}

int SerialPort::Write(LinkState& state, const void* bytes, int length) {
    if (!state.linkActive) return length;
    if (length <= 0) return 0;
    const int room = LINK_BUFFER_SIZE - state.txCount;
    const int n = length < room ? length : room;
    if (state.txPos > 0) {
        std::memmove(state.txBuf, state.txBuf + state.txPos, static_cast<size_t>(state.txCount));
        state.txPos = 0;
    }
    if (n > 0) std::memcpy(state.txBuf + state.txCount, bytes, static_cast<size_t>(n));
    state.txCount += n;
    return n;
}

}  // namespace quarnel
