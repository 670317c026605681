// --trace FILE: the serial dialogue as it happened, for a test bench and for
// support. One line per transfer:
//
//   <ms since start> <port> <'>' sent | '<' received> <bits per second> <bytes>
//
// Printable bytes stand as they are; carriage return and line feed as \r and
// \n, a backslash as \\, anything else as \xNN. Lines of several ports (a
// provisioning run) interleave as they happen.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "cli/byte_line.h"

namespace quarnel {

class TraceLog {
public:
    // Creates the file readable by the user only; Ready() says whether it opened.
    explicit TraceLog(const std::string& path);
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    bool Ready() const { return file_ != nullptr; }
    void Transfer(const std::string& port, char direction, int bitsPerSecond, const uint8_t* bytes, int count);

private:
    std::mutex lock_;
    std::FILE* file_;
    std::chrono::steady_clock::time_point start_;
};

// `line` with every transfer written to `trace` as well.
std::unique_ptr<ByteLine> TracedLine(std::unique_ptr<ByteLine> line, TraceLog& trace);

}  // namespace quarnel
