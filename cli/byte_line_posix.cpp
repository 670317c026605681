// ByteLine on Linux: the device driven through termios directly, so that
// whatever terminal device a technician names opens: an adapter, a link to
// one (/dev/serial/by-id/...), a pseudo-terminal.
#include "cli/byte_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace quarnel {

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

constexpr int INITIAL_SPEED = 115200;
// Bounds of the wait for written bytes to leave the line before it closes.
constexpr Millis DRAIN_SLACK{100};
constexpr Millis DRAIN_CAP{1000};
constexpr Millis DRAIN_POLL{5};

// The console speeds only: anything else is a fault of the caller.
bool SpeedCode(int bitsPerSecond, speed_t& code) {
    switch (bitsPerSecond) {
        case 115200: code = B115200; return true;
        case 19200: code = B19200; return true;
        default: return false;
    }
}

// Ten bits a character on the wire (8N1).
Clock::duration WireTime(int bytes, int bitsPerSecond) {
    return std::chrono::microseconds(static_cast<int64_t>(bytes) * 10 * 1000000 / bitsPerSecond);
}

LineError OpenError(const std::string& name, int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR: return {LineFailure::Missing, "Port " + name + " does not exist."};
        case EACCES:
        case EPERM:
            return {LineFailure::NoPermission,
                    "No permission to open port " + name +
                        ". Add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again."};
        case EBUSY:
        case EWOULDBLOCK: return {LineFailure::InUse, "Port " + name + " is in use by another program."};
        default: return {LineFailure::Other, "Cannot open " + name + ": " + std::strerror(error) + "."};
    }
}

// The open device and its exclusive hold, given back on every path out.
class PortHandle {
public:
    explicit PortHandle(int fd) : fd_(fd) {}
    ~PortHandle() {
        if (exclusive_) ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    PortHandle(const PortHandle&) = delete;
    PortHandle& operator=(const PortHandle&) = delete;

    int Fd() const { return fd_; }

    // A lock keeps off programs that lock (another copy of this one, most
    // terminal programs); TIOCEXCL keeps off those that do not. Root passes
    // TIOCEXCL, so another holder's flag is looked at too. 0 or an errno.
    int TakeExclusive() {
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
        int heldElsewhere = 0;
        if (ioctl(fd_, TIOCGEXCL, &heldElsewhere) == 0 && heldElsewhere != 0) return EBUSY;
        if (ioctl(fd_, TIOCEXCL) != 0) return errno;
        exclusive_ = true;
        return 0;
    }

private:
    int fd_;
    bool exclusive_ = false;
};

class PosixLine final : public ByteLine {
public:
    PosixLine(std::string name, int fd) : ByteLine(std::move(name)), port_(fd) {}
    ~PosixLine() override { DrainOutput(); }
    PosixLine(const PosixLine&) = delete;
    PosixLine& operator=(const PosixLine&) = delete;

    // Makes the open device this program's line: a terminal, held alone,
    // set up. No failure, or why not.
    LineError TakeOver() {
        if (!isatty(port_.Fd())) return {LineFailure::Other, PortName() + " is not a serial port."};
        if (const int refused = port_.TakeExclusive(); refused != 0) return OpenError(PortName(), refused);
        if (!Configure()) return LastError();
        return {};
    }

    bool SetSpeed(int bitsPerSecond) override {
        speed_t code;
        if (!SpeedCode(bitsPerSecond, code)) {
            Fail("Port " + PortName() + ": " + std::to_string(bitsPerSecond) + " bps is not a console speed.");
            return false;
        }
        termios settings;
        if (tcgetattr(port_.Fd(), &settings) != 0 || cfsetispeed(&settings, code) != 0 ||
            cfsetospeed(&settings, code) != 0 || tcsetattr(port_.Fd(), TCSANOW, &settings) != 0)
            return Failed("cannot set the line speed");
        speed_ = bitsPerSecond;
        tcflush(port_.Fd(), TCIOFLUSH);
        return true;
    }

    bool Write(const uint8_t* bytes, int count, int waitMs) override {
        const Clock::time_point deadline = Clock::now() + Millis(waitMs);
        for (int sent = 0; sent < count;) {
            const ssize_t n = write(port_.Fd(), bytes + sent, static_cast<size_t>(count - sent));
            if (n > 0) {
                sent += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return Failed("writing failed");
            const int ready = WaitFor(POLLOUT, deadline);
            if (ready < 0) return Failed("writing failed");
            if (ready == 0) return Failed("the port took no more bytes", 0);
        }
        lastWriteEnds_ = Clock::now() + WireTime(count, speed_);
        return true;
    }

    int Read(uint8_t* buffer, int capacity, int waitMs) override {
        const Clock::time_point deadline = Clock::now() + Millis(waitMs);
        for (;;) {
            const int ready = WaitFor(POLLIN, deadline);
            if (ready == 0) return 0;
            if (ready < 0) break;
            const ssize_t n = read(port_.Fd(), buffer, static_cast<size_t>(capacity));
            if (n > 0) return static_cast<int>(n);
            // Readable with nothing to read: the device has gone.
            if (n == 0) errno = EIO;
            if (n == 0 || (errno != EAGAIN && errno != EINTR)) break;
        }
        Failed("reading failed");
        return -1;
    }

private:
    // Raw 8N1 at the initial speed, the receiver on, no modem control and no
    // flow control of either kind.
    bool Configure() {
        termios settings;
        if (tcgetattr(port_.Fd(), &settings) != 0) return Failed("cannot read the line settings");
        cfmakeraw(&settings);
        settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        settings.c_iflag &= ~(IXON | IXOFF | IXANY);
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        if (tcsetattr(port_.Fd(), TCSANOW, &settings) != 0) return Failed("cannot set up the line");
        // Up for the adapters that look at them; a pty has none, which is
        // no failure.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ioctl(port_.Fd(), TIOCMBIS, &lines);
        return SetSpeed(INITIAL_SPEED);
    }

    // 1 when the port is ready for `events`, 0 when the deadline passed
    // first, -1 (errno set) when the port failed.
    int WaitFor(short events, Clock::time_point deadline) {
        for (;;) {
            const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
            pollfd entry = {port_.Fd(), events, 0};
            const int ready = poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return ready;
            if (entry.revents & events) return 1;
            errno = (entry.revents & POLLNVAL) ? EBADF : EIO;
            return -1;
        }
    }

    // The last command (a shell console's leave-configuration) must cross
    // the wire at the speed it was sent with: not be dropped by the close,
    // nor cut by a speed change of the program that opens the port next.
    // The last write's time on the wire and the driver's queue are waited
    // for, bounded by the queue's size at the line speed; the device's own
    // FIFO the driver's close waits for. A pty reports an empty queue at
    // once: the wait lets the kernel hand its bytes on to the peer's input,
    // beyond the reach of the next opener's flush.
    void DrainOutput() {
        const Clock::time_point start = Clock::now();
        int queued = 0;
        if (ioctl(port_.Fd(), TIOCOUTQ, &queued) != 0) queued = 0;
        const Clock::time_point deadline =
            std::min(start + DRAIN_CAP, std::max(start, lastWriteEnds_) + WireTime(2 * queued, speed_) + DRAIN_SLACK);
        if (lastWriteEnds_ > start) std::this_thread::sleep_until(std::min(lastWriteEnds_, deadline));
        while (queued > 0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::min<Clock::duration>(WireTime(queued, speed_) + Millis(1), DRAIN_POLL));
            if (ioctl(port_.Fd(), TIOCOUTQ, &queued) != 0) queued = 0;
        }
    }

    // The system's reason is added unless `code` is 0.
    bool Failed(const char* what, int code = errno) {
        Fail("Port " + PortName() + ": " + what + (code != 0 ? std::string(" (") + std::strerror(code) + ")" : "") +
             ".");
        return false;
    }

    PortHandle port_;
    int speed_ = INITIAL_SPEED;
    Clock::time_point lastWriteEnds_;
};

}  // namespace

std::unique_ptr<ByteLine> OpenByteLine(const std::string& portName, LineError& error) {
    const int fd = open(portName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = OpenError(portName, errno);
        return nullptr;
    }
    auto line = std::make_unique<PosixLine>(portName, fd);
    error = line->TakeOver();
    if (error.kind != LineFailure::None) return nullptr;
    return line;
}

}  // namespace quarnel
