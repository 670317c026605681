#pragma once

#include <windows.h>

#include "serial/receiver_thread_win32.h"
#include "serial/serial_driver.h"

// The system's serial communications behind SerialDriver. Holds the link's
// named events, the OVERLAPPED records of the window thread's reads and writes,
// the receive wait and the receiver thread.
//
// The receive wait is a one-byte overlapped read that the window thread keeps
// issued while the receiver sleeps; the receiver wakes when it completes.
// Unlike a wait for the line's event mask it blocks everywhere (Wine ends
// those at once on a pty). The byte it takes in is handed out first by the
// next Read, and ClearErrors counts it as waiting in the input queue.
//
//   Win32SerialDriver driver;
//   SerialPort port(driver);
namespace quarnel {

// An overlapped read or write of the window thread (see Await).
struct Transfer {
  OVERLAPPED ov{};
  bool stuck = false;  // cancelled but not yet ended: the system still owns ov
};

// The receive wait's record and the byte it takes in. On the heap: one whose
// cancellation does not end in time is left to the system.
struct ReceiveWait {
  OVERLAPPED ov{};  // its manual-reset event wakes the receiver
  uint8_t byte = 0;
};

class Win32SerialDriver final : public SerialDriver {
 public:
  Win32SerialDriver();
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
  void CreateLinkEvents(uint16_t portNumber) override;
  void CloseLinkEvents() override;
  bool StartReceiver(LinkState& state) override;
  void StopReceiver() override;
  void ReleaseReceiver() override;
  void PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) override;

  // Id of the running receiver thread, 0 without one.
  DWORD ReceiverThreadId() const { return receiver_.ThreadId(); }

 private:
  // Receive wait (window thread only): issues it unless one is out or its
  // byte is still held; collects it once it has completed; cancels it.
  void ArmWait(HANDLE port);
  void CollectWait(HANDLE port);
  void CancelWait(HANDLE port);

  HANDLE readEndEvent_ = nullptr;  // auto-reset; set by the window thread, waited on by the receiver
  Transfer write_;                 // window thread only
  Transfer read_;                  // window thread only
  ReceiveWait* wait_;              // the receive wait (window thread; its event wakes the receiver)
  bool waitIssued_ = false;        // a receive wait is out and not yet collected
  bool byteHeld_ = false;          // wait_->byte is received and not yet handed out
  bool releaseOwed_ = false;       // a completed wait was collected: the receiver parks until released
  bool cancelling_ = false;        // CancelWait is collecting the wait it cancelled
  // The line refused the wait (the device has gone): no further wait is
  // issued, so the receiver sleeps until the port closes; nothing more can
  // come in, and a running exchange ends on its reply time-out.
  bool lineGone_ = false;
  DWORD waitIssuedAt_ = 0;         // GetTickCount when the wait was issued
  HANDLE receiverPort_ = nullptr;  // the port the receiver serves
  ReceiverThread receiver_;
};

}  // namespace quarnel
