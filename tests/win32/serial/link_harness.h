#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "serial/serial_driver_win32.h"
#include "serial/serial_port.h"

// Drives the real SerialPort as the main window does: a message-only window
// receives the link's messages, and a pump loop runs the per-tick work.
namespace quarnel {

class LinkHarness {
public:
    LinkHarness();
    ~LinkHarness();

    // Open, then StartReceiver on WM_PORT_OPENED. true when the link is active.
    bool OpenActive(uint16_t portNumber);
    // Runs messages and pump ticks until received holds text or timeoutMs passes.
    bool WaitForText(const std::string& text, DWORD timeoutMs);
    // Runs messages and pump ticks for about ms milliseconds.
    void Run(DWORD ms);
    // Runs only the message loop (no ticks) for about ms milliseconds.
    void DispatchFor(DWORD ms);
    // Queues bytes and pumps them out at the next tick.
    void Send(const std::string& bytes);

    SerialPort& port() { return port_; }
    Win32SerialDriver& driver() { return driver_; }
    LinkState& state() { return state_; }
    PortSettings& settings() { return settings_; }

    std::string received;
    int dataEvents = 0;     // PORT_EVENT_DATA seen
    bool serveData = true;  // answer PORT_EVENT_DATA with OnDataAvailable

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();

    Win32SerialDriver driver_;
    SerialPort port_{driver_};
    LinkState state_;
    PortSettings settings_{};
    HWND window_ = nullptr;
};

// Whether a thread of this process with this id exists (Toolhelp snapshot).
bool ThreadListed(DWORD id);

}  // namespace quarnel
