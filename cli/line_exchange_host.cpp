#include "cli/line_exchange_host.h"

#include <cstring>

#include "serial/line_config.h"
#include "serial/link_state.h"
#include "serial/serial_port.h"

namespace quarnel {

namespace {

// Longest single wait in the line: a cancel is noticed at least this often.
constexpr int WAIT_SLICE_MS = 100;

constexpr char CANCELLED[] = "Cancelled.";

}  // namespace

LineExchangeHost::LineExchangeHost(ByteLine& line, HostSettings settings)
    : line_(line), settings_(std::move(settings)) {
    if (!(settings_.timeoutScale > 0)) settings_.timeoutScale = 1.0;
}

ExchangeResult LineExchangeHost::Run(ExchangeOp op, uint8_t* record) {
    failed_ = false;
    message_.clear();
    txCount_ = rxCount_ = rxPos_ = 0;
    replyArmed_ = false;
    if (lineFailed_) return ExchangeResult::LineFailed;

    // As the window's buttons do: the monitor speed, an empty reply.
    SetBaudCodeAndConfigure(BAUD_CODE_MONITOR);
    ClearReply(exchange_);
    if (op == OP_READ)
        StartRead(exchange_, *this);
    else
        StartWrite(exchange_, *this);
    progressLow_ = op == OP_READ ? PROGRESS_READ_LOW : PROGRESS_MONITOR_WRITE_LOW;
    if (settings_.console == ConsoleChoice::Shell) exchange_.phase = PHASE_SHELL_PROBE;

    while (exchange_.phase != PHASE_IDLE && !lineFailed_) {
        if (Cancelled()) {
            Cancel();
            return ExchangeResult::Cancelled;
        }
        collected_ = 0;
        RunPumpTick(exchange_, *this, *this, record);
        if (exchange_.phase == PHASE_IDLE || lineFailed_) break;
        // Nothing awaited: the next step sends. Bytes just collected: the
        // next step looks for its marker in them. Otherwise wait.
        if (!exchange_.awaitingReply || collected_ > 0) continue;
        if (!WaitForBytes()) OnDeadline();
    }
    if (lineFailed_) return ExchangeResult::LineFailed;
    if (failed_ || !exchange_.recordLoaded) return ExchangeResult::NoResponse;
    return ExchangeResult::Done;
}

bool LineExchangeHost::Cancelled() const {
    return settings_.cancel != nullptr && settings_.cancel->load(std::memory_order_relaxed);
}

void LineExchangeHost::Cancel() {
    // A shell console in its configuration mode drops the staged bytes when
    // told to leave it without committing.
    const bool inShellConfig = (exchange_.phase == PHASE_SHELL_READ || exchange_.phase == PHASE_SHELL_WRITE) &&
                               exchange_.op != OP_SHELL_XCONFIG;
    exchange_.phase = PHASE_IDLE;
    replyArmed_ = false;
    txCount_ = 0;
    if (inShellConfig) {
        Write(CMD_LEAVE_CONFIG, static_cast<int>(std::strlen(CMD_LEAVE_CONFIG)));
        PumpTransmit();
    }
    message_ = CANCELLED;
}

void LineExchangeHost::LineFailedWith(const std::string& message) {
    lineFailed_ = true;
    message_ = message;
    exchange_.phase = PHASE_IDLE;
    replyArmed_ = false;
}

bool LineExchangeHost::WaitForBytes() {
    for (;;) {
        if (!replyArmed_) return false;
        const Clock::time_point now = Clock::now();
        if (now >= replyDeadline_) return false;
        if (Cancelled()) return true;  // the loop's next turn ends the run
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(replyDeadline_ - now).count() + 1;
        const int slice = left < WAIT_SLICE_MS ? static_cast<int>(left) : WAIT_SLICE_MS;
        const int got = line_.Read(rxBuf_ + rxCount_, static_cast<int>(sizeof rxBuf_) - rxCount_, slice);
        if (got < 0) {
            LineFailedWith(line_.LastError().message);
            return true;
        }
        if (got > 0) {
            rxCount_ += got;
            return true;
        }
    }
}

void LineExchangeHost::OnDeadline() {
    replyArmed_ = false;
    // Told the console is in monitor mode: no shell probe after the monitor one.
    if (settings_.console == ConsoleChoice::Monitor && exchange_.phase == PHASE_MONITOR_PROBE) {
        AbortExchange(exchange_, *this);
        return;
    }
    OnReplyTimeout(exchange_, *this, *this);
}

// --- ExchangeLink and ExchangeObserver -----------------------------------------

int LineExchangeHost::Write(const char* bytes, int length) {
    const int room = static_cast<int>(sizeof txBuf_) - txCount_;
    const int taken = length < room ? length : room;
    if (taken > 0) std::memcpy(txBuf_ + txCount_, bytes, static_cast<size_t>(taken));
    txCount_ += taken > 0 ? taken : 0;
    return taken;
}

int LineExchangeHost::ReadByte(uint8_t& byte) {
    if (rxPos_ >= rxCount_) {
        rxPos_ = rxCount_ = 0;
        return 0;
    }
    byte = rxBuf_[rxPos_++];
    ++collected_;
    return 1;
}

void LineExchangeHost::SetBaudCodeAndConfigure(int baudCode) {
    PortSettings settings = {};
    LoadLineDefaults(settings);
    settings.baudCode = static_cast<uint16_t>(baudCode);
    txCount_ = rxCount_ = rxPos_ = 0;
    if (!lineFailed_ && !line_.SetSpeed(static_cast<int>(LineConfigFor(settings).baudRate)))
        LineFailedWith(line_.LastError().message);
}

void LineExchangeHost::PumpTransmit() {
    if (txCount_ == 0 || lineFailed_) return;
    const int waitMs = static_cast<int>(IO_WAIT_MS * settings_.timeoutScale);
    if (!line_.Write(txBuf_, txCount_, waitMs)) LineFailedWith(line_.LastError().message);
    txCount_ = 0;
}

void LineExchangeHost::ArmReplyTimer(int milliseconds) {
    replyArmed_ = true;
    const auto scaled = std::chrono::duration<double, std::milli>(milliseconds * settings_.timeoutScale);
    replyDeadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(scaled);
}

void LineExchangeHost::SetProgressPosition(int position) {
    if (!settings_.progress) return;
    const int low = progressLow_;
    const int high = PROGRESS_MONITOR_HIGH;
    if (position < low) position = low;
    if (position > high) position = high;
    settings_.progress({position, low, high});
}

void LineExchangeHost::ShowMessage(const char* text, unsigned) {
    failed_ = true;
    message_ = text;
}

}  // namespace quarnel
