// What the exchange engine needs of the line it runs on and of the clock.
// The main window's link controller implements it over the serial port and
// the window's timers, the command line's host over a ByteLine and a
// deadline, the native tests over a simulated line. Every call comes from
// the one thread that runs the engine: the window's, or the worker thread
// of a command-line line.
#pragma once

#include <cstdint>

namespace quarnel {

class ExchangeLink {
public:
    // Queues bytes for the next PumpTransmit; returns the bytes accepted
    // (the engine does not use it).
    virtual int Write(const char* bytes, int length) = 0;
    // 1 and the next received byte, or 0 when none waits.
    virtual int ReadByte(uint8_t& byte) = 0;
    // Sets the line to a PortSettings baud code and drops every byte
    // buffered in either direction.
    virtual void SetBaudCodeAndConfigure(int baudCode) = 0;
    // Once per pump tick: sends what Write queued, then (after the engine
    // has read what it could) takes in what the line holds. A link whose
    // bytes come in outside the ticks (the command line waits for them
    // between ticks) has nothing to take in here.
    virtual void PumpTransmit() = 0;
    virtual void PumpReceive() {}
    // Whether the line is up; nothing is sent or received while it is not.
    virtual bool IsLinkActive() = 0;

    // The reply timer: OnReplyTimeout is due `milliseconds` from now;
    // re-arming replaces a running timer.
    virtual void ArmReplyTimer(int milliseconds) = 0;
    virtual void KillReplyTimer() = 0;

protected:
    ~ExchangeLink() = default;
};

}  // namespace quarnel
