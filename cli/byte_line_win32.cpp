// ByteLine on Windows: the port opened for plain synchronous I/O. A console
// program has no window for the receiver thread to notify, so a read waits
// in ReadFile itself, bounded by the port's read time-outs.
#include "cli/byte_line.h"

#include <windows.h>

#include <cctype>

#include "serial/line_config.h"
#include "serial/link_state.h"
#include "serial/serial_driver_win32.h"
#include "serial/serial_port.h"

namespace quarnel {

namespace {

constexpr uint16_t INITIAL_BAUD_CODE = BAUD_CODE_115200;

std::string DevicePath(const std::string& name) {
    if (name.compare(0, 4, "\\\\.\\") == 0) return name;
    return "\\\\.\\" + name;
}

std::string SystemText(DWORD code) {
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    return length > 0 ? std::string(text) : "system error " + std::to_string(code);
}

LineError OpenError(const std::string& name, DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: return {LineFailure::Missing, "Port " + name + " does not exist."};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            // A COM port another program holds refuses access.
            return {LineFailure::InUse, "Port " + name + " is in use by another program."};
        default: return {LineFailure::Other, "Cannot open " + name + ": " + SystemText(code) + "."};
    }
}

class Win32Line final : public ByteLine {
public:
    Win32Line(std::string name, HANDLE handle) : ByteLine(std::move(name)), handle_(handle) {}
    ~Win32Line() override {
        // The last command (a shell console's leave-configuration) leaves the
        // line before the port closes; without flow control the driver sends
        // its queue in the time its bytes take on the wire.
        FlushFileBuffers(handle_);
        CloseHandle(handle_);
    }
    Win32Line(const Win32Line&) = delete;
    Win32Line& operator=(const Win32Line&) = delete;

    bool Configure() {
        driver_.SetQueueSizes(handle_, DRIVER_INPUT_QUEUE, DRIVER_OUTPUT_QUEUE);
        PortSettings settings = {};
        LoadLineDefaults(settings);
        settings.baudCode = INITIAL_BAUD_CODE;
        line_ = LineConfigFor(settings);
        return SetSpeed(static_cast<int>(line_.baudRate));
    }

    bool SetSpeed(int bitsPerSecond) override {
        line_.baudRate = static_cast<uint32_t>(bitsPerSecond);
        DCB dcb = {};
        dcb.DCBlength = sizeof dcb;
        driver_.SetLine(handle_, line_);
        if (!GetCommState(handle_, &dcb) || dcb.BaudRate != line_.baudRate) return Failed("cannot set the line speed");
        driver_.PurgeAll(handle_);
        driver_.ClearErrors(handle_);
        return true;
    }

    bool Write(const uint8_t* bytes, int count, int waitMs) override {
        SetTimeouts(readWaitMs_, waitMs);
        DWORD done = 0;
        if (!WriteFile(handle_, bytes, static_cast<DWORD>(count), &done, nullptr)) return Failed("writing failed");
        if (done != static_cast<DWORD>(count)) return Failed("the port took no more bytes");
        return true;
    }

    int Read(uint8_t* buffer, int capacity, int waitMs) override {
        if (capacity < 1) return 0;
        // One byte, waited for; then whatever else the driver already holds.
        SetTimeouts(waitMs < 1 ? 1 : waitMs, writeWaitMs_);
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, 1, &got, nullptr)) return ReadFailed();
        if (got == 0) return 0;
        const CommStatus status = driver_.ClearErrors(handle_);
        DWORD more = status.inQueue;
        if (more > static_cast<DWORD>(capacity - 1)) more = static_cast<DWORD>(capacity - 1);
        DWORD extra = 0;
        if (more > 0 && !ReadFile(handle_, buffer + 1, more, &extra, nullptr)) return ReadFailed();
        return static_cast<int>(1 + extra);
    }

private:
    void SetTimeouts(int readMs, int writeMs) {
        if (readMs == readWaitMs_ && writeMs == writeWaitMs_) return;
        readWaitMs_ = readMs;
        writeWaitMs_ = writeMs;
        const CommTimeouts timeouts = {0, 0, static_cast<uint32_t>(readMs), 0, static_cast<uint32_t>(writeMs)};
        driver_.SetTimeouts(handle_, timeouts);
    }

    int ReadFailed() {
        Failed("reading failed");
        return -1;
    }

    bool Failed(const char* what) {
        Fail("Port " + PortName() + ": " + what + " (" + SystemText(GetLastError()) + ").");
        return false;
    }

    HANDLE handle_;
    // Only its stateless per-handle calls are used: line settings, queues,
    // time-outs.
    Win32SerialDriver driver_;
    LineConfig line_ = {};
    int readWaitMs_ = -1;
    int writeWaitMs_ = -1;
};

}  // namespace

std::unique_ptr<ByteLine> OpenByteLine(const std::string& portName, LineError& error) {
    const std::string path = DevicePath(portName);
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = OpenError(portName, GetLastError());
        return nullptr;
    }
    auto line = std::make_unique<Win32Line>(portName, handle);
    if (!line->Configure()) {
        error = line->LastError();
        return nullptr;
    }
    error = {};
    return line;
}

}  // namespace quarnel
