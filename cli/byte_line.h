// The command line's serial line: a named port opened at 8N1 without flow
// control, whose speed the console protocol switches, written whole and read
// with a deadline. Reads block in the system until a byte arrives or the
// wait ends; nothing spins.
//
//   LineError error;
//   std::unique_ptr<ByteLine> line = OpenByteLine("/dev/ttyUSB0", error);
//   line->SetSpeed(115200);
//   line->Write(bytes, n);
//   int got = line->Read(buffer, sizeof buffer, 200);
//
// One line serves one thread; different lines share nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quarnel {

enum class LineFailure {
    None,
    Missing,       // no such port
    InUse,         // another program holds it
    NoPermission,  // the user may not open it
    Other,         // anything else the system refused
};

struct LineError {
    LineFailure kind = LineFailure::None;
    std::string message;  // a sentence for the user, naming the port
};

class ByteLine {
public:
    // Waits, for a time bounded by the bytes still queued at the line speed,
    // until what was written has left the line, then gives the port back.
    virtual ~ByteLine() = default;

    // Sets the speed (bits per second) and drops every byte buffered in
    // either direction. False, with LastError() set, if the system refused.
    virtual bool SetSpeed(int bitsPerSecond) = 0;
    // Sends all bytes, waiting at most waitMs for the system to take them.
    virtual bool Write(const uint8_t* bytes, int count, int waitMs) = 0;
    // Waits at most waitMs for at least one byte, then takes what is there
    // (up to capacity). 0 when the wait ended empty, -1 when the line failed.
    virtual int Read(uint8_t* buffer, int capacity, int waitMs) = 0;

    const std::string& PortName() const { return portName_; }
    const LineError& LastError() const { return lastError_; }

protected:
    explicit ByteLine(std::string portName) : portName_(std::move(portName)) {}
    void Fail(const std::string& message) { lastError_ = {LineFailure::Other, message}; }

private:
    std::string portName_;
    LineError lastError_;
};

// Opens the port at 115200 bps, 8 data bits, no parity, one stop bit, no
// flow control, and holds it exclusively until the line is destroyed. On
// failure returns null and says why in `error`.
std::unique_ptr<ByteLine> OpenByteLine(const std::string& portName, LineError& error);

}  // namespace quarnel
