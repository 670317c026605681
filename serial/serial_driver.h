#pragma once

#include <cstdint>

#include "serial/line_config.h"
#include "serial/link_state.h"

// The system calls SerialPort makes, one method per call or per awaited I/O.
// SerialPort keeps the buffer and queue rules; a driver only does what it is
// told. Win32SerialDriver is the real one; tests use a fake.
namespace quarnel {

// The driver's queue counts (COMSTAT cbInQue / cbOutQue).
struct CommStatus {
    uint32_t inQueue;
    uint32_t outQueue;
};

// COMMTIMEOUTS, in milliseconds.
struct CommTimeouts {
    uint32_t readInterval;
    uint32_t readTotalMultiplier;
    uint32_t readTotalConstant;
    uint32_t writeTotalMultiplier;
    uint32_t writeTotalConstant;
};

constexpr uint32_t EVENT_RX_CHAR = 0x0001;  // EV_RXCHAR

enum class IoStatus {
    Completed,  // count is what the system transferred
    Failed,     // the call failed; count 0
    TimedOut,   // not done within the wait; the I/O was cancelled and count is what it moved before
};

struct IoResult {
    IoStatus status;
    uint32_t count;
};

class SerialDriver {
public:
    virtual ~SerialDriver() = default;

    // CreateFileA for overlapped read and write, not shared; InvalidPortHandle() on failure.
    virtual PortHandle OpenPort(const char* devicePath) = 0;
    virtual void ClosePort(PortHandle port) = 0;
    // ClearCommError: clears line errors and reports the queue counts.
    virtual CommStatus ClearErrors(PortHandle port) = 0;
    virtual void SetQueueSizes(PortHandle port, uint32_t inputSize, uint32_t outputSize) = 0;
    // PurgeComm with all four flags: aborts pending I/O and empties both driver queues.
    virtual void PurgeAll(PortHandle port) = 0;
    virtual void SetTimeouts(PortHandle port, const CommTimeouts& timeouts) = 0;
    virtual void SetLine(PortHandle port, const LineConfig& line) = 0;
    virtual void SetEventMask(PortHandle port, uint32_t mask) = 0;
    virtual void ClearDtr(PortHandle port) = 0;

    // One overlapped ReadFile / WriteFile, awaited for at most waitMs.
    virtual IoResult Read(PortHandle port, uint8_t* bytes, uint32_t count, uint32_t waitMs) = 0;
    virtual IoResult Write(PortHandle port, const uint8_t* bytes, uint32_t count, uint32_t waitMs) = 0;

    // Starts the receiver thread for the open port, with events of its own;
    // false when no thread could be started.
    virtual bool StartReceiver(LinkState& state) = 0;
    // Ends the receiver thread, wherever it waits, and waits for it (bounded);
    // its events go with it. No-op without one.
    virtual void StopReceiver() = 0;
    // Sets the read-end event: the receiver may wait for the next received character.
    virtual void ReleaseReceiver() = 0;

    virtual void PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) = 0;
};

}  // namespace quarnel
