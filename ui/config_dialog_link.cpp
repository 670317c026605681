// The main window's link control: the Open and Close buttons, the serial
// link's messages, the window's timers and idle processing.

#include <cstdlib>
#include <cstring>

#include "exchange/timer_ids.h"
#include "resources/resource.h"
#include "serial/line_config.h"
#include "serial/port_messages.h"
#include "ui/config_dialog.h"
#include "ui/kick_idle.h"
#include "ui/port_event_code.h"

namespace quarnel {

namespace {

// A data notification runs this many whole pump ticks at once: one takes in
// the reply, one lets the engine judge it, one sends the next command. The
// window timer alone would wait a timer period (10 ms or more) for each.
constexpr int kTicksPerDataEvent = 3;

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
    if (gLinkState.isOpen) {
        if (gPortSettings.port == gLinkState.portNumber) {
            serialPort.Configure(gPortSettings, gLinkState);
            return;
        }
        serialPort.Close(gLinkState);
    }
    serialPort.Open(GetHwnd(), gPortSettings, gLinkState);
}

void ConfigDialog::OnClose() {
    if (gLinkState.linkActive) PostMessageA(GetHwnd(), WM_PORT_EVENT, 0, PORT_EVENT_CLOSE);
}

LRESULT ConfigDialog::OnPortEvent(WPARAM, LPARAM lParam) {
    switch (DecodePortEvent(lParam)) {
    case PortEventKind::Data:
        serialPort.OnDataAvailable(gLinkState);
        for (int i = 0; i < kTicksPerDataEvent; ++i) PumpTick();
        break;
    case PortEventKind::Close:
        gLinkState.txCount = 0;
        SetTimer(GetHwnd(), TIMER_CLOSE, TIMER_CLOSE_ELAPSE_MS, nullptr);
        break;
    case PortEventKind::Ignored:
        break;
    }
    return 0;
}

LRESULT ConfigDialog::OnPortOpened(WPARAM, LPARAM) {
    serialPort.StartReceiver(gLinkState);
    if (gLinkState.linkActive) {
        EnableDlgItem(IDC_READ, true);
        EnableDlgItem(IDC_CLOSE, true);
        EnableDlgItem(IDC_OPEN, false);
        EnableDlgItem(IDC_PORT, false);
    }
    return 0;
}

LRESULT ConfigDialog::OnKickIdle(WPARAM, LPARAM count) {
    return ProcessIdleCounter().OnKickIdle(static_cast<long>(count), gLinkState);
}

void ConfigDialog::OnDestroy() {
    Default();
    serialPort.Close(gLinkState);
    KillTimer(GetHwnd(), TIMER_PUMP);
    KillTimer(GetHwnd(), TIMER_REPLY);
    KillTimer(GetHwnd(), TIMER_CLOSE);
}

void ConfigDialog::PumpTick() { RunPumpTick(exchange, *this, record.Data()); }

LRESULT ConfigDialog::OnTimer(WPARAM id, LPARAM) {
    KillTimer(GetHwnd(), id);
    switch (id) {
    case TIMER_PUMP:
        PumpTick();
        ShowPendingProgress();
        SetTimer(GetHwnd(), TIMER_PUMP, TIMER_PUMP_ELAPSE_MS, nullptr);
        break;
    case TIMER_REPLY:
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
    // An exchange cut short between a reply and its next command has no
    // reply timer left to end it, and no tick will run it on: end it now as
    // unanswered, or its progress window would stay for good.
    if (exchange.phase != PHASE_IDLE && !exchange.awaitingReply) OnReplyTimeout(exchange, *this);
}

}  // namespace quarnel
