#include "tests/win32/serial/link_harness.h"

#include <tlhelp32.h>

#include "serial/port_messages.h"

namespace quarnel {

LinkHarness::LinkHarness() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuarnelLinkHarness";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, "QuarnelLinkHarness", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    LoadLineDefaults(settings_);
}

LinkHarness::~LinkHarness() {
    port_.Close(state_);
    DestroyWindow(window_);
    // Drop messages left for the destroyed window.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
}

LRESULT CALLBACK LinkHarness::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<LinkHarness*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_PORT_OPENED) {
        self->port_.StartReceiver(self->state_);
        return 0;
    }
    if (message == WM_PORT_EVENT) {
        const WORD event = LOWORD(lParam);
        if (event == PORT_EVENT_DATA) {
            ++self->dataEvents;
            if (self->serveData) self->port_.OnDataAvailable(self->state_);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void LinkHarness::Tick() {
    if (!state_.linkActive) return;
    port_.PumpTransmit(state_);
    uint8_t byte;
    while (port_.ReadByte(state_, byte)) received.push_back(static_cast<char>(byte));
    port_.PumpReceive(state_);
}

void LinkHarness::DispatchFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    } while (GetTickCount() - start < ms);
}

void LinkHarness::Run(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        DispatchFor(0);
        Tick();
    } while (GetTickCount() - start < ms);
}

bool LinkHarness::WaitForText(const std::string& text, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (received.find(text) == std::string::npos) {
        if (GetTickCount() - start >= timeoutMs) return false;
        DispatchFor(0);
        Tick();
    }
    return true;
}

bool LinkHarness::OpenActive(uint16_t portNumber) {
    settings_.port = portNumber;
    settings_.baudCode = BAUD_CODE_115200;
    port_.Open(window_, settings_, state_);
    const DWORD start = GetTickCount();
    while (!state_.linkActive && state_.isOpen && GetTickCount() - start < 2000) DispatchFor(0);
    return state_.linkActive != 0;
}

void LinkHarness::Send(const std::string& bytes) { port_.Write(state_, bytes.data(), static_cast<int>(bytes.size())); }

bool ThreadListed(DWORD id) {
    bool listed = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && !listed; more = Thread32Next(snapshot, &entry)) {
        listed = entry.th32OwnerProcessID == GetCurrentProcessId() && entry.th32ThreadID == id;
    }
    CloseHandle(snapshot);
    return listed;
}

}  // namespace quarnel
