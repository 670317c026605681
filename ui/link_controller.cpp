#include "ui/link_controller.h"

#include "serial/line_config.h"
#include "serial/port_messages.h"
#include "ui/kick_idle.h"
#include "ui/port_event_code.h"
#include "ui/timer_ids.h"

namespace quarnel {

namespace {

// A data notification, and each pump timer tick, runs whole pump ticks for
// as long as they move something: one takes in the reply, one lets the
// engine judge it, one sends the next command. The window timer alone would
// wait a timer period (10 ms or more) for each. The bound keeps the window
// answering while bytes stream in.
constexpr int MAX_TICKS_AT_ONCE = 16;

// What a pump tick can move: bytes into the reply, the engine's state,
// bytes out or in.
struct PumpMark {
    ExchangePhase phase;
    ExchangeOp op;
    int32_t awaitingReply, address, replyCount, txCount, rxCount;

    PumpMark(const DeviceExchange& ex, const LinkState& link)
        : phase(ex.phase),
          op(ex.op),
          awaitingReply(ex.awaitingReply),
          address(ex.address),
          replyCount(ex.replyCount),
          txCount(link.txCount),
          rxCount(link.rxCount) {}
    bool operator==(const PumpMark& o) const {
        return phase == o.phase && op == o.op && awaitingReply == o.awaitingReply && address == o.address &&
               replyCount == o.replyCount && txCount == o.txCount && rxCount == o.rxCount;
    }
};

}  // namespace

LinkController::LinkController(ExchangeObserver& observer, uint8_t* record) : observer_(observer), record_(record) {
    LoadLineDefaults(settings_);
    ClearReply(exchange_);
}

LinkController::~LinkController() { port_.Close(state_); }

void LinkController::Attach(HWND window) {
    window_ = window;
    SetTimer(window_, TIMER_PUMP, TIMER_PUMP_ELAPSE_MS, nullptr);
}

void LinkController::Detach() {
    port_.Close(state_);
    KillTimer(window_, TIMER_PUMP);
    KillTimer(window_, TIMER_REPLY);
    KillTimer(window_, TIMER_CLOSE);
}

LinkFailure LinkController::Open(uint16_t port) {
    settings_.port = port;
    settings_.baudCode = BAUD_CODE_115200;
    // A close still pending belongs to a link that is gone already (a port
    // that failed to open announces its close too): left to run, it would
    // close the port opened now.
    if (!state_.isOpen) KillTimer(window_, TIMER_CLOSE);
    if (state_.isOpen) {
        if (settings_.port == state_.portNumber) {
            port_.Configure(settings_, state_);
            return LinkFailure::None;
        }
        port_.Close(state_);
    }
    return port_.Open(window_, settings_, state_);
}

LinkFailure LinkController::StartReceiver() { return port_.StartReceiver(state_); }

void LinkController::RequestClose() {
    if (state_.linkActive) PostMessageA(window_, WM_PORT_EVENT, 0, PORT_EVENT_CLOSE);
}

LinkController::Outcome LinkController::OnPortEvent(LPARAM code) {
    switch (DecodePortEvent(code)) {
        case PortEventKind::Data:
            port_.OnDataAvailable(state_);
            PumpWhileMoving();
            return Outcome::Pumped;
        case PortEventKind::Close:
            state_.txCount = 0;
            SetTimer(window_, TIMER_CLOSE, TIMER_CLOSE_ELAPSE_MS, nullptr);
            // Whatever exchange runs ends now, not when its reply timer fires:
            // that timer would find the link opened again and carry on there.
            CancelExchange();
            return Outcome::None;
        case PortEventKind::Ignored: break;
    }
    return Outcome::None;
}

LinkController::Outcome LinkController::OnTimer(UINT_PTR id) {
    KillTimer(window_, id);
    switch (id) {
        case TIMER_PUMP: PumpWhileMoving(); return Outcome::Pumped;
        case TIMER_REPLY:
            // A time-out already on its way when the exchange ended is void.
            if (exchange_.phase == PHASE_IDLE) break;
            OnReplyTimeout(exchange_, *this, observer_);
            // An unanswered monitor probe: the shell probe goes now, not a timer
            // period later.
            if (exchange_.phase == PHASE_SHELL_PROBE) PumpTick();
            break;
        case TIMER_CLOSE:
            if (DeferredClose()) return Outcome::Closed;
            break;
        default: break;
    }
    return Outcome::None;
}

bool LinkController::DeferredClose() {
    if (!port_.IsRxDrained(state_)) {
        SetTimer(window_, TIMER_CLOSE, TIMER_CLOSE_ELAPSE_MS, nullptr);
        return false;
    }
    state_.linkActive = 0;
    port_.Close(state_);
    exchange_.recordLoaded = 0;
    return true;
}

void LinkController::PrepareExchange() {
    SetBaudCodeAndConfigure(BAUD_CODE_MONITOR);
    ClearReply(exchange_);
}

void LinkController::StartRead() { quarnel::StartRead(exchange_, *this); }

void LinkController::StartWrite() { quarnel::StartWrite(exchange_, *this); }

void LinkController::CancelExchange() { quarnel::CancelExchange(exchange_, *this, observer_); }

void LinkController::PumpWhileMoving() {
    for (int i = 0; i < MAX_TICKS_AT_ONCE; ++i) {
        const PumpMark before(exchange_, state_);
        RunPumpTick(exchange_, *this, observer_, record_);
        // Bytes read in at the tick's end are collected by the next one.
        if (PumpMark(exchange_, state_) == before && state_.rxCount == 0) break;
    }
    KeepPumping();
}

void LinkController::PumpTick() {
    RunPumpTick(exchange_, *this, observer_, record_);
    KeepPumping();
}

void LinkController::KeepPumping() {
    // The pump comes back only while it has work; an idle link costs no
    // ticks (the receiver's notification and the buttons start it again).
    if (PumpHasWork(state_, exchange_.phase != PHASE_IDLE)) {
        SetTimer(window_, TIMER_PUMP, TIMER_PUMP_ELAPSE_MS, nullptr);
    }
}

// ExchangeLink.

int LinkController::Write(const char* bytes, int length) { return port_.Write(state_, bytes, length); }

int LinkController::ReadByte(uint8_t& byte) { return port_.ReadByte(state_, byte); }

void LinkController::SetBaudCodeAndConfigure(int baudCode) {
    settings_.baudCode = static_cast<uint16_t>(baudCode);
    port_.Configure(settings_, state_);
}

void LinkController::PumpTransmit() { port_.PumpTransmit(state_); }

void LinkController::PumpReceive() { port_.PumpReceive(state_); }

bool LinkController::IsLinkActive() { return state_.linkActive != 0; }

void LinkController::ArmReplyTimer(int milliseconds) {
    SetTimer(window_, TIMER_REPLY, static_cast<UINT>(milliseconds), nullptr);
}

void LinkController::KillReplyTimer() { KillTimer(window_, TIMER_REPLY); }

}  // namespace quarnel
