// A tarvo-sim process on its own pty for one test, stopped and cleaned up
// when the object goes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace clitest {

class SimProcess {
public:
    // mode: monitor, shell or silent; fault: as tarvo-sim's --fault takes it,
    // or empty; block: the converter's 480 bytes to start with, or empty.
    explicit SimProcess(const std::string& mode, const std::string& fault = "",
                        const std::vector<uint8_t>& block = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return !port_.empty(); }
    // The pty's device, as a user would name the port (/dev/pts/N).
    const std::string& Port() const { return port_; }
    // The block as the converter holds it (480 bytes; empty if unreadable).
    std::vector<uint8_t> Block() const;
    // Lines the converter received.
    size_t LoggedLines() const;

private:
    std::string dir_;
    std::string port_;
    pid_t pid_ = -1;
};

}  // namespace clitest
