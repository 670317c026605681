#pragma once

#include <windows.h>

#include "serial/receiver_thread_win32.h"
#include "serial/serial_driver.h"

// The system's serial communications behind SerialDriver. Holds the link's
// named events, the OVERLAPPED records of the window thread's reads and writes,
// and the receiver thread.
//
//   Win32SerialDriver driver;
//   SerialPort port(driver);
namespace quarnel {

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
  void ShowLinkError(WindowHandle owner, const char* text) override;

  // Id of the running receiver thread, 0 without one.
  DWORD ReceiverThreadId() const { return receiver_.ThreadId(); }

 private:
  HANDLE readEndEvent_ = nullptr;  // auto-reset; set by the window thread, waited on by the receiver
  OVERLAPPED writeOv_;             // window thread only
  OVERLAPPED readOv_;              // window thread only
  ReceiverThread receiver_;
};

}  // namespace quarnel
