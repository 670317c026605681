#pragma once

#include <windows.h>

#include "serial/receiver_thread_win32.h"
#include "serial/serial_driver.h"
#include "serial/transfer_record_win32.h"

// The system's serial communications behind SerialDriver. Holds the records
// of the window thread's reads and writes and of the receive wait, the
// receiver thread and its read-end event; every event is unnamed, the link's
// own.
//
// The receive wait is a one-byte overlapped read that the window thread keeps
// issued while the receiver sleeps; the receiver wakes when it completes.
// Unlike a wait for the line's event mask it blocks everywhere (Wine ends
// those at once on a pty). The byte it takes in is handed out first by the
// next Read, and ClearErrors counts it as waiting in the input queue.
//
// A read or write moves its bytes through its own record, so at most
// LINK_BUFFER_SIZE a call. Every wait on the calling (window) thread is
// bounded: a read or write within its waitMs, stopping the receiver within
// RECEIVER_STOP_WAIT_MS, a cancellation within CANCEL_WAIT_MS.
//
//   Win32SerialDriver driver;
//   SerialPort port(driver);
namespace quarnel {

// Longest wait for a cancelled transfer to complete.
constexpr DWORD CANCEL_WAIT_MS = 100;

class Win32SerialDriver final : public SerialDriver {
public:
    Win32SerialDriver() = default;
    ~Win32SerialDriver() override;
    Win32SerialDriver(const Win32SerialDriver&) = delete;
    Win32SerialDriver& operator=(const Win32SerialDriver&) = delete;

    PortHandle OpenPort(const char* devicePath) override;
    void ClosePort(PortHandle port) override;
    CommStatus ClearErrors(PortHandle port) override;
    void SetQueueSizes(PortHandle port, uint32_t inputSize, uint32_t outputSize) override;
    void PurgeAll(PortHandle port) override;
    void SetTimeouts(PortHandle port, const CommTimeouts& timeouts) override;
    void SetLine(PortHandle port, const LineConfig& line) override;
    void SetEventMask(PortHandle port, uint32_t mask) override;
    void ClearDtr(PortHandle port) override;
    IoResult Read(PortHandle port, uint8_t* bytes, uint32_t count, uint32_t waitMs) override;
    IoResult Write(PortHandle port, const uint8_t* bytes, uint32_t count, uint32_t waitMs) override;
    bool StartReceiver(LinkState& state) override;
    void StopReceiver() override;
    void ReleaseReceiver() override;
    void PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) override;

    // Id of the running receiver thread, 0 without one.
    DWORD ReceiverThreadId() const { return receiver_.ThreadId(); }

private:
    // The record of `slot` made ready for a new transfer; nullptr when none
    // can be made.
    TransferRecord* Ready(TransferRecord*& slot);
    IoResult Await(HANDLE port, TransferRecord*& slot, BOOL started, DWORD done, DWORD waitMs);
    // Receive wait (window thread only): issues it unless one is out or its
    // byte is still held; collects it once it has completed; cancels it.
    void ArmWait(HANDLE port);
    void CollectWait(HANDLE port);
    void CancelWait(HANDLE port);

    HANDLE readEndEvent_ = nullptr;  // auto-reset; set by the window thread, waited on by the receiver
    // Each slot holds its record between transfers; one whose transfer the
    // system has not completed goes to abandoned_, and the slot gets a new one.
    TransferRecord* write_ = nullptr;  // window thread only
    TransferRecord* read_ = nullptr;   // window thread only
    TransferRecord* wait_ = nullptr;   // the receive wait (window thread; its event wakes the receiver)
    AbandonedTransfers abandoned_;
    bool waitIssued_ = false;     // a receive wait is out and not yet collected
    bool waitCancelled_ = false;  // and it was cancelled: its byte is dropped
    bool byteHeld_ = false;       // wait_'s byte is received and not yet handed out
    bool releaseOwed_ = false;    // a completed wait was collected: the receiver parks until released
    // The line refused the wait (the device has gone): no further wait is
    // issued, so the receiver sleeps until the port closes; nothing more can
    // come in, and a running exchange ends on its reply time-out.
    bool lineGone_ = false;
    DWORD waitIssuedAt_ = 0;         // GetTickCount when the wait was issued
    HANDLE receiverPort_ = nullptr;  // the port the receiver serves
    ReceiverThread receiver_;
};

}  // namespace quarnel
