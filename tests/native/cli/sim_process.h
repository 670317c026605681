// A tarvo-sim process on its own pty for one test, stopped and cleaned up
// when the object goes; and a folder of files removed with the test.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace clitest {

std::string ReadFile(const std::string& path);

// A fresh folder under /tmp, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const;  // returns the path
    std::string Read(const std::string& name) const { return ReadFile(Path(name)); }

private:
    std::string dir_;
};

class SimProcess {
public:
    // mode: monitor, shell or silent; fault: as tarvo-sim's --fault takes it,
    // or empty; block: the converter's 480 bytes to start with, or empty.
    explicit SimProcess(const std::string& mode, const std::string& fault = "", const std::vector<uint8_t>& block = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return !port_.empty(); }
    // The pty's device, as a user would name the port (/dev/pts/N).
    const std::string& Port() const { return port_; }
    // The simulator's files: "line", "log", "final", "ctl".
    std::string File(const std::string& name) const { return files_.Path(name); }
    // The block as the converter holds it (480 bytes; empty if unreadable).
    std::vector<uint8_t> Block() const;
    // Lines the converter received.
    size_t LoggedLines() const;
    // A write command ("!w" or "WH") reached the converter.
    bool SawWrite() const;

private:
    TempFolder files_;
    std::string port_;
    pid_t pid_ = -1;
};

}  // namespace clitest
