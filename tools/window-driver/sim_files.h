#pragma once

// The converter simulators' files, seen from a program running under Wine:
// the command log, the block as the converter now holds it, and the control
// file through which a caller reconfigures a simulator between cases.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct LoggedCommand {
    int baud = 0;
    std::string text;  // with \r and \n escaped as the simulator logs them
};

class SimFiles {
public:
    explicit SimFiles(const std::string& port);  // "COM3"

    bool Available() const { return !dir_.empty(); }
    std::vector<LoggedCommand> Log() const;
    // The converter's 480-byte block; empty when the file cannot be read.
    std::vector<uint8_t> Block() const;
    // Applies control lines ("mode shell", "fault none", "block <hex>") and
    // waits until the simulator confirms them.
    bool Control(const std::vector<std::string>& lines, DWORD timeoutMs = 5000);
    // Sets the mode, replaces the block and clears any fault.
    bool Reset(const std::string& mode, const std::vector<uint8_t>& block);

private:
    std::string Path(const char* suffix) const;
    std::string port_;
    std::string dir_;  // Windows path of the simulators' folder, with a trailing backslash
    mutable int sequence_ = 0;
};

std::string ToHex(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FromHex(const std::string& text);
std::string ReadWholeFile(const std::string& path);

}  // namespace e2e
