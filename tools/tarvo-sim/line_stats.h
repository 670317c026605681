// Bytes that crossed the simulated line, per line speed and direction, so a
// benchmark can work out how long the exchange had to take on a real wire.
//
// The text form has one line per speed seen, slowest first:
//   "<bits per second> <bytes received> <bytes sent>\n"
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tarvosim {

class LineStats {
public:
    void CountReceived(int baud, size_t bytes);
    void CountSent(int baud, size_t bytes);
    // Changed since the last MarkWritten.
    bool Dirty() const { return dirty_; }
    void MarkWritten() { dirty_ = false; }
    std::string Format() const;

private:
    struct Counts {
        uint64_t received = 0;
        uint64_t sent = 0;
    };
    std::map<int, Counts> bySpeed_;
    bool dirty_ = true;  // a fresh file is written even before any traffic
};

}  // namespace tarvosim
