// The exchange engine's host over a ByteLine with a real clock: the reply
// timer is a deadline, and the pump runs whenever the engine can make
// progress; otherwise the host waits for bytes, blocking in the line until
// bytes come or the reply deadline passes. The engine itself runs unchanged.
//
//   LineExchangeHost host(line, hooks);
//   ExchangeResult r = host.Run(OP_READ, record);
//
// One host serves one line on one thread; it keeps all its state in itself.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/byte_line.h"
#include "exchange/device_exchange.h"
#include "serial/link_state.h"

namespace quarnel {

// Which console mode a run probes for.
enum class ConsoleChoice {
    Auto,     // the monitor probe, then the shell probe (as the window does)
    Monitor,  // the monitor probe only
    Shell,    // the shell probe only
};

enum class ExchangeResult {
    Done,        // the read or write completed
    NoResponse,  // the converter did not answer in time
    Cancelled,   // the cancel flag was raised
    LineFailed,  // the port failed (unplugged adapter, system error)
};

// Where one exchange stands: its progress bar position within [low, high].
struct ExchangeProgress {
    int position;
    int low;
    int high;
};

struct HostSettings {
    ConsoleChoice console = ConsoleChoice::Auto;
    // Every reply time-out is multiplied by this (slow lines, busy machines).
    double timeoutScale = 1.0;
    // Checked before every step and during every wait; may be raised from
    // another thread or a signal handler.
    const std::atomic<bool>* cancel = nullptr;
    // Called on every progress step of the engine; may be empty.
    std::function<void(const ExchangeProgress&)> progress;
};

class LineExchangeHost final : private ExchangeLink, private ExchangeObserver {
public:
    LineExchangeHost(ByteLine& line, HostSettings settings);

    // Runs one read (OP_READ: record filled) or write (OP_WRITE: record
    // bytes 32-479 sent) to its end.
    ExchangeResult Run(ExchangeOp op, uint8_t* record);

    // The probes of the following runs.
    void SetConsole(ConsoleChoice console) { settings_.console = console; }
    // The console mode that answered the last run.
    bool MonitorMode() const { return exchange_.monitorMode != 0; }
    // The engine's state at the end of the last run.
    const DeviceExchange& State() const { return exchange_; }
    // The failure text of the last run: the engine's message, or the line's.
    const std::string& Message() const { return message_; }

private:
    using Clock = std::chrono::steady_clock;

    // ExchangeLink: bytes come in while Run waits for them, not in a pump.
    int Write(const char* bytes, int length) override;
    int ReadByte(uint8_t& byte) override;
    void SetBaudCodeAndConfigure(int baudCode) override;
    void PumpTransmit() override;
    bool IsLinkActive() override { return !lineFailed_; }
    void ArmReplyTimer(int milliseconds) override;
    void KillReplyTimer() override { replyArmed_ = false; }
    // ExchangeObserver: the progress hook and the failure text.
    void SetProgressPosition(int position) override;
    void ShowMessage(const char* text, unsigned style) override;

    bool Cancelled() const;
    // Ends the run at the cancel flag's request.
    void Cancel();
    void LineFailedWith(const std::string& message);
    // Waits for bytes until the reply deadline, in slices short enough to
    // notice a cancel; false when the deadline passed with nothing.
    bool WaitForBytes();
    void OnDeadline();

    ByteLine& line_;
    HostSettings settings_;
    DeviceExchange exchange_;

    // Commands queued by the engine for the next transmit pump.
    uint8_t txBuf_[LINK_BUFFER_SIZE];
    int txCount_ = 0;
    // Bytes taken from the line, handed to the engine one at a time.
    uint8_t rxBuf_[LINK_BUFFER_SIZE];
    int rxCount_ = 0;
    int rxPos_ = 0;
    int collected_ = 0;  // bytes handed out since the last tick began

    bool replyArmed_ = false;
    Clock::time_point replyDeadline_;
    int progressLow_ = 0;
    bool lineFailed_ = false;
    bool failed_ = false;
    std::string message_;
};

}  // namespace quarnel
