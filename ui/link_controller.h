#pragma once

// LinkController: the main window's serial link. Owns the driver, the port,
// the link state and the line settings, runs the exchange engine over them
// on the window's pump and reply timers, and closes the link once the bytes
// received before the close are taken in. The engine's reports go to the
// window's ExchangeObserver; what the buttons and labels show is the
// window's part.
//
// Everything here runs on the window thread. The port's receiver thread only
// posts WM_PORT_EVENT to the window, which hands it to OnPortEvent.

#include <windows.h>

#include <cstdint>

#include "exchange/device_exchange.h"
#include "serial/serial_driver_win32.h"
#include "serial/serial_port.h"

namespace quarnel {

class LinkController final : private ExchangeLink {
public:
    // `record` is the window's record image (env_layout::RECORD_SIZE bytes)
    // that the engine reads and writes.
    LinkController(ExchangeObserver& observer, uint8_t* record);
    ~LinkController();
    LinkController(const LinkController&) = delete;
    LinkController& operator=(const LinkController&) = delete;

    // The window whose timers drive the link and to which the port posts;
    // starts the pump. Detach (at WM_DESTROY) closes the port and stops every
    // timer of the link.
    void Attach(HWND window);
    void Detach();

    // The Open button: opens COM<port> at 115200 bits/s, or configures the
    // port again when it is the one open. A close still pending belongs to a
    // link that is gone already, and is dropped.
    LinkFailure Open(uint16_t port);
    // WM_PORT_OPENED: starts the receiver; the link is active from then on.
    LinkFailure StartReceiver();
    // The Close button: the link closes through a close event, as a failed
    // open's does.
    void RequestClose();
    bool IsOpen() const { return state_.isOpen != 0; }
    bool IsActive() const { return state_.linkActive != 0; }
    uint16_t Port() const { return settings_.port; }

    // What the window is left to do after a port event or a timer.
    enum class Outcome {
        None,
        Pumped,  // the pump ran: the progress may be shown
        Closed,  // the deferred close has closed the port
    };
    Outcome OnPortEvent(LPARAM code);
    // Any WM_TIMER of the window; the timer that fired is killed.
    Outcome OnTimer(UINT_PTR id);

    // The engine state; its recordLoaded and monitorMode are the window's
    // flags, its verifyWrite and backupBeforeWrite the window's choice.
    DeviceExchange& Exchange() { return exchange_; }
    const DeviceExchange& Exchange() const { return exchange_; }

    // The buttons' hand-over: the monitor speed with both directions
    // emptied and an empty reply, then the start, then the first step at
    // once (PumpTick), not a timer period later.
    void PrepareExchange();
    void StartRead();
    void StartWrite();
    void PumpTick();
    // Ends a running exchange now, with its failure message.
    void CancelExchange();

private:
    // ExchangeLink over the port and the window's reply timer.
    int Write(const char* bytes, int length) override;
    int ReadByte(uint8_t& byte) override;
    void SetBaudCodeAndConfigure(int baudCode) override;
    void PumpTransmit() override;
    void PumpReceive() override;
    bool IsLinkActive() override;
    void ArmReplyTimer(int milliseconds) override;
    void KillReplyTimer() override;

    // Pump ticks for as long as they move bytes or the engine (bounded).
    void PumpWhileMoving();
    // Arms the pump timer again while it has work.
    void KeepPumping();
    // Closes the port once the received bytes are taken in; else waits a
    // close period more. True when it closed.
    bool DeferredClose();

    ExchangeObserver& observer_;
    uint8_t* record_;
    HWND window_ = nullptr;
    Win32SerialDriver driver_;
    SerialPort port_{driver_};
    LinkState state_;
    PortSettings settings_{};
    DeviceExchange exchange_{};
};

}  // namespace quarnel
