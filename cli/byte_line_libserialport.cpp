// ByteLine on Linux (and other systems the serial library serves).
#include "cli/byte_line.h"

#include <libserialport.h>

#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace quarnel {

namespace {

constexpr int kInitialSpeed = 115200;

class SerialPortLine final : public ByteLine {
public:
    SerialPortLine(std::string name, sp_port* port) : ByteLine(std::move(name)), port_(port) {}
    ~SerialPortLine() override {
        sp_close(port_);
        sp_free_port(port_);
    }
    SerialPortLine(const SerialPortLine&) = delete;
    SerialPortLine& operator=(const SerialPortLine&) = delete;

    bool SetSpeed(int bitsPerSecond) override {
        if (sp_set_baudrate(port_, bitsPerSecond) != SP_OK) return Failed("cannot set the line speed");
        sp_flush(port_, SP_BUF_BOTH);
        return true;
    }

    bool Write(const uint8_t* bytes, int count, int waitMs) override {
        const sp_return written = sp_blocking_write(port_, bytes, static_cast<size_t>(count), Millis(waitMs));
        if (written < 0) return Failed("writing failed");
        if (written != count) return Failed("the port took no more bytes");
        return true;
    }

    int Read(uint8_t* buffer, int capacity, int waitMs) override {
        if (waitMs < 1) waitMs = 1;  // 0 would mean "wait for ever"
        const sp_return got = sp_blocking_read_next(port_, buffer, static_cast<size_t>(capacity), Millis(waitMs));
        if (got < 0) {
            Failed("reading failed");
            return -1;
        }
        return got;
    }

private:
    static unsigned Millis(int ms) { return ms > 0 ? static_cast<unsigned>(ms) : 1u; }

    bool Failed(const char* what) {
        char* detail = sp_last_error_message();
        Fail("Port " + PortName() + ": " + what + (detail ? std::string(" (") + detail + ")" : std::string()) + ".");
        sp_free_error_message(detail);
        return false;
    }

    sp_port* port_;
};

LineError OpenError(const std::string& name, int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return {LineFailure::Missing, "Port " + name + " does not exist."};
    case EACCES:
    case EPERM:
        return {LineFailure::NoPermission,
                "No permission to open port " + name +
                    ". Add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again."};
    case EBUSY:
    case EWOULDBLOCK:
        return {LineFailure::InUse, "Port " + name + " is in use by another program."};
    default:
        return {LineFailure::Other, "Cannot open " + name + ": " + std::strerror(error) + "."};
    }
}

// 8N1 at the initial speed, no flow control of either kind. DTR and RTS
// are raised on their own afterwards: a line without modem signals does
// not refuse the rest.
bool Configure(sp_port* port) {
    sp_port_config* config = nullptr;
    if (sp_new_config(&config) != SP_OK) return false;
    const bool ok = sp_set_config_baudrate(config, kInitialSpeed) == SP_OK &&
                    sp_set_config_bits(config, 8) == SP_OK &&
                    sp_set_config_parity(config, SP_PARITY_NONE) == SP_OK &&
                    sp_set_config_stopbits(config, 1) == SP_OK &&
                    sp_set_config_xon_xoff(config, SP_XONXOFF_DISABLED) == SP_OK &&
                    sp_set_config_cts(config, SP_CTS_IGNORE) == SP_OK &&
                    sp_set_config_dsr(config, SP_DSR_IGNORE) == SP_OK && sp_set_config(port, config) == SP_OK;
    sp_free_config(config);
    if (!ok) return false;
    sp_set_dtr(port, SP_DTR_ON);
    sp_set_rts(port, SP_RTS_ON);
    sp_flush(port, SP_BUF_BOTH);
    return true;
}

}  // namespace

std::unique_ptr<ByteLine> OpenByteLine(const std::string& portName, LineError& error) {
    sp_port* port = nullptr;
    // The library knows only the devices the system lists as serial ports.
    if (sp_get_port_by_name(portName.c_str(), &port) != SP_OK) {
        struct stat info;
        if (stat(portName.c_str(), &info) != 0) error = OpenError(portName, errno);
        else error = {LineFailure::Other, portName + " is not a serial port."};
        return nullptr;
    }
    if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK) {
        error = OpenError(portName, sp_last_error_code());
        sp_free_port(port);
        return nullptr;
    }
    // Serial devices are not exclusive by themselves; a lock keeps a second
    // copy of this program (or a terminal program that locks) off the line.
    int fd = -1;
    if (sp_get_port_handle(port, &fd) == SP_OK && fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = OpenError(portName, errno == EWOULDBLOCK ? EBUSY : errno);
        sp_close(port);
        sp_free_port(port);
        return nullptr;
    }
    if (!Configure(port)) {
        const int code = sp_last_error_code();
        error = {LineFailure::Other, "Cannot set up " + portName + ": " + std::strerror(code) + "."};
        sp_close(port);
        sp_free_port(port);
        return nullptr;
    }
    error = {};
    return std::make_unique<SerialPortLine>(portName, port);
}

}  // namespace quarnel
