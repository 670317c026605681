// The main window's link control: the Open and Close buttons, the serial
// link's messages, the window's timers and idle processing.

#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/timer_ids.h"
#include "resources/resource.h"
#include "serial/line_config.h"
#include "serial/port_messages.h"
#include "ui/config_dialog.h"
#include "ui/kick_idle.h"
#include "ui/link_failure_box.h"
#include "ui/port_event_code.h"

namespace quarnel {

namespace {

// A data notification, and each pump timer tick, runs whole pump ticks for
// as long as they move something: one takes in the reply, one lets the
// engine judge it, one sends the next command. The window timer alone would
// wait a timer period (10 ms or more) for each. The bound keeps the window
// answering while bytes stream in.
constexpr int kMaxTicksAtOnce = 16;

// What a pump tick can move: bytes into the reply, the engine's state,
// bytes out or in.
struct PumpMark {
    ExchangePhase phase;
    ExchangeOp op;
    int32_t awaitingReply, address, replyCount, txCount, rxCount;

    PumpMark(const DeviceExchange& ex, const LinkState& link)
        : phase(ex.phase), op(ex.op), awaitingReply(ex.awaitingReply), address(ex.address),
          replyCount(ex.replyCount), txCount(link.txCount), rxCount(link.rxCount) {}
    bool operator==(const PumpMark& o) const {
        return phase == o.phase && op == o.op && awaitingReply == o.awaitingReply && address == o.address &&
               replyCount == o.replyCount && txCount == o.txCount && rxCount == o.rxCount;
    }
};

// "COM" followed by at least one character gives the number after it
// (truncated to 16 bits); anything else 0.
uint16_t PortNumberFromText(const char* text) {
    if (std::strncmp(text, "COM", 3) != 0 || text[3] == '\0') return 0;
    return static_cast<uint16_t>(std::atoi(text + 3));
}

}  // namespace

void ConfigDialog::OnOpen() {
    char text[11] = "";
    GetDlgItemText(IDC_PORT, text, sizeof text);
    gPortSettings.port = PortNumberFromText(text);
    gPortSettings.baudCode = kBaud115200;
    // A close still pending belongs to a link that is gone already (a port
    // that failed to open announces its close too): left to run, it would
    // close the port opened now.
    if (!gLinkState.isOpen) KillTimer(GetHwnd(), TIMER_CLOSE);
    if (gLinkState.isOpen) {
        if (gPortSettings.port == gLinkState.portNumber) {
            serialPort.Configure(gPortSettings, gLinkState);
            return;
        }
        serialPort.Close(gLinkState);
    }
    ShowLinkFailure(GetHwnd(), serialPort.Open(GetHwnd(), gPortSettings, gLinkState), gPortSettings.port);
}

void ConfigDialog::OnPortDropDown() {
    // While no port is open the list shows the ports present now (an adapter
    // plugged in or pulled out since), keeping the chosen port chosen.
    if (gLinkState.isOpen) return;
    const std::string chosen = GetDlgItemText(IDC_PORT);
    FillPortCombo();
    for (int i = 0; i < portCombo.GetCount(); ++i) {
        if (portCombo.GetLBText(i) == chosen) {
            portCombo.SetCurSel(i);
            break;
        }
    }
}

void ConfigDialog::OnClose() {
    if (gLinkState.linkActive) PostMessageA(GetHwnd(), WM_PORT_EVENT, 0, PORT_EVENT_CLOSE);
}

LRESULT ConfigDialog::OnPortEvent(WPARAM, LPARAM lParam) {
    switch (DecodePortEvent(lParam)) {
    case PortEventKind::Data:
        serialPort.OnDataAvailable(gLinkState);
        PumpWhileMoving();
        ShowPendingProgress();
        break;
    case PortEventKind::Close:
        gLinkState.txCount = 0;
        SetTimer(GetHwnd(), TIMER_CLOSE, TIMER_CLOSE_ELAPSE_MS, nullptr);
        // Whatever exchange runs ends now, not when its reply timer fires:
        // that timer would find the link opened again and carry on there.
        CancelExchange(exchange, *this);
        break;
    case PortEventKind::Ignored:
        break;
    }
    return 0;
}

LRESULT ConfigDialog::OnPortOpened(WPARAM, LPARAM) {
    ShowLinkFailure(GetHwnd(), serialPort.StartReceiver(gLinkState), gPortSettings.port);
    if (gLinkState.linkActive) {
        EnableDlgItem(IDC_READ, true);
        EnableDlgItem(IDC_CLOSE, true);
        EnableDlgItem(IDC_OPEN, false);
        EnableDlgItem(IDC_PORT, false);
    }
    return 0;
}

LRESULT ConfigDialog::OnKickIdle(WPARAM, LPARAM count) {
    return ProcessIdleCounter().OnKickIdle(static_cast<long>(count));
}

void ConfigDialog::OnDestroy() {
    Default();
    serialPort.Close(gLinkState);
    KillTimer(GetHwnd(), TIMER_PUMP);
    KillTimer(GetHwnd(), TIMER_REPLY);
    KillTimer(GetHwnd(), TIMER_CLOSE);
}

void ConfigDialog::PumpWhileMoving() {
    for (int i = 0; i < kMaxTicksAtOnce; ++i) {
        const PumpMark before(exchange, gLinkState);
        RunPumpTick(exchange, *this, record.Data());
        // Bytes read in at the tick's end are collected by the next one.
        if (PumpMark(exchange, gLinkState) == before && gLinkState.rxCount == 0) break;
    }
    KeepPumping();
}

void ConfigDialog::PumpTick() {
    RunPumpTick(exchange, *this, record.Data());
    KeepPumping();
}

void ConfigDialog::KeepPumping() {
    // The pump comes back only while it has work; an idle link costs no
    // ticks (the receiver's notification and the buttons start it again).
    if (PumpHasWork(gLinkState, exchange.phase != PHASE_IDLE)) {
        SetTimer(GetHwnd(), TIMER_PUMP, TIMER_PUMP_ELAPSE_MS, nullptr);
    }
}

LRESULT ConfigDialog::OnTimer(WPARAM id, LPARAM) {
    KillTimer(GetHwnd(), id);
    switch (id) {
    case TIMER_PUMP:
        PumpWhileMoving();
        ShowPendingProgress();
        break;
    case TIMER_REPLY:
        // A time-out already on its way when the exchange ended is void.
        if (exchange.phase == PHASE_IDLE) break;
        OnReplyTimeout(exchange, *this);
        // An unanswered monitor probe: the shell probe goes now, not a timer
        // period later.
        if (exchange.phase == PHASE_SHELL_PROBE) PumpTick();
        break;
    case TIMER_CLOSE:
        DeferredClose();
        break;
    default:
        break;
    }
    Default();
    return 0;
}

void ConfigDialog::DeferredClose() {
    if (!serialPort.IsRxDrained(gLinkState)) {
        SetTimer(GetHwnd(), TIMER_CLOSE, TIMER_CLOSE_ELAPSE_MS, nullptr);
        return;
    }
    gLinkState.linkActive = 0;
    serialPort.Close(gLinkState);
    exchange.recordLoaded = 0;
    EnableDlgItem(IDC_CLOSE, false);
    EnableDlgItem(IDC_OPEN, true);
    EnableDlgItem(IDC_PORT, true);
    EnableDlgItem(IDC_READ, false);
    EnableDlgItem(IDC_WRITE, false);
    EnableDlgItem(IDC_CHANGE_PWD, false);
    EnableDlgItem(IDC_INITIALIZE_ENV, false);
    UpdateFileButtons();
    // One started while the link was closing ends with it too.
    CancelExchange(exchange, *this);
}

}  // namespace quarnel
