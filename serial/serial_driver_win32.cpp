#include "serial/serial_driver_win32.h"

#include <cstdio>

#include "serial/link_error_box_win32.h"
#include "serial/port_messages.h"

namespace quarnel {

static_assert(WM_PORT_EVENT == WM_USER + 4 && WM_PORT_OPENED == WM_USER + 5, "message numbers");
static_assert(kNoParity == NOPARITY && kOddParity == ODDPARITY && kEvenParity == EVENPARITY, "parity");
static_assert(kOneStopBit == ONESTOPBIT && kTwoStopBits == TWOSTOPBITS, "stop bits");
static_assert(kDtrEnable == DTR_CONTROL_ENABLE, "DTR control");
static_assert(kRtsEnable == RTS_CONTROL_ENABLE && kRtsHandshake == RTS_CONTROL_HANDSHAKE, "RTS control");
static_assert(kEventRxChar == EV_RXCHAR, "event mask");
static_assert(sizeof(DCB) == 28, "DCBlength");

namespace {

HANDLE AsHandle(PortHandle port) { return static_cast<HANDLE>(port); }

HANDLE CreateLinkEvent(const char* prefix, uint16_t portNumber, BOOL manualReset, BOOL signalled) {
  char name[24];
  std::snprintf(name, sizeof name, "%s%u", prefix, static_cast<unsigned>(portNumber));
  return CreateEventA(nullptr, manualReset, signalled, name);
}

void CloseIfOpen(HANDLE& handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

void Rearm(OVERLAPPED& ov) {
  HANDLE event = ov.hEvent;
  ZeroMemory(&ov, sizeof ov);
  ov.hEvent = event;
}

// Completes a ReadFile/WriteFile on ov. An I/O still pending after waitMs is
// cancelled and collected, so ov is free again and no late transfer lands in
// the caller's buffer.
IoResult Await(HANDLE port, OVERLAPPED& ov, BOOL started, DWORD done, DWORD waitMs) {
  if (started) return {IoStatus::kCompleted, done};
  if (GetLastError() != ERROR_IO_PENDING) return {IoStatus::kFailed, 0};
  DWORD count = 0;
  if (WaitForSingleObject(ov.hEvent, waitMs) == WAIT_OBJECT_0) {
    if (!GetOverlappedResult(port, &ov, &count, FALSE)) return {IoStatus::kFailed, 0};
    return {IoStatus::kCompleted, count};
  }
  CancelIo(port);
  if (!GetOverlappedResult(port, &ov, &count, TRUE)) count = 0;
  return {IoStatus::kTimedOut, count};
}

}  // namespace

Win32SerialDriver::Win32SerialDriver() {
  ZeroMemory(&writeOv_, sizeof writeOv_);
  ZeroMemory(&readOv_, sizeof readOv_);
}

Win32SerialDriver::~Win32SerialDriver() {
  receiver_.Stop();
  CloseLinkEvents();
}

PortHandle Win32SerialDriver::OpenPort(const char* devicePath) {
  return CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                     nullptr);
}

void Win32SerialDriver::ClosePort(PortHandle port) { CloseHandle(AsHandle(port)); }

CommStatus Win32SerialDriver::ClearErrors(PortHandle port) {
  DWORD errors = 0;
  COMSTAT status = {};
  if (!ClearCommError(AsHandle(port), &errors, &status)) return {0, 0};
  return {status.cbInQue, status.cbOutQue};
}

void Win32SerialDriver::SetQueueSizes(PortHandle port, uint32_t inputSize, uint32_t outputSize) {
  SetupComm(AsHandle(port), inputSize, outputSize);
}

void Win32SerialDriver::PurgeAll(PortHandle port) {
  PurgeComm(AsHandle(port), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void Win32SerialDriver::SetTimeouts(PortHandle port, const CommTimeouts& timeouts) {
  COMMTIMEOUTS system = {};
  system.ReadIntervalTimeout = timeouts.readInterval;
  system.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
  system.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
  system.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
  system.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
  SetCommTimeouts(AsHandle(port), &system);
}

void Win32SerialDriver::SetLine(PortHandle port, const LineConfig& line) {
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = line.baudRate;
  dcb.fBinary = line.fBinary;
  dcb.fParity = line.fParity;
  dcb.fOutxCtsFlow = line.fOutxCtsFlow;
  dcb.fDtrControl = line.fDtrControl;
  dcb.fOutX = line.fOutX;
  dcb.fInX = line.fInX;
  dcb.fRtsControl = line.fRtsControl;
  dcb.XonLim = line.xonLim;
  dcb.XoffLim = line.xoffLim;
  dcb.ByteSize = line.byteSize;
  dcb.Parity = line.parity;
  dcb.StopBits = line.stopBits;
  dcb.XonChar = line.xonChar;
  dcb.XoffChar = line.xoffChar;
  SetCommState(AsHandle(port), &dcb);
}

void Win32SerialDriver::SetEventMask(PortHandle port, uint32_t mask) { SetCommMask(AsHandle(port), mask); }

void Win32SerialDriver::ClearDtr(PortHandle port) { EscapeCommFunction(AsHandle(port), CLRDTR); }

IoResult Win32SerialDriver::Read(PortHandle port, uint8_t* bytes, uint32_t count, uint32_t waitMs) {
  Rearm(readOv_);
  DWORD done = 0;
  const BOOL started = ReadFile(AsHandle(port), bytes, count, &done, &readOv_);
  return Await(AsHandle(port), readOv_, started, done, waitMs);
}

IoResult Win32SerialDriver::Write(PortHandle port, const uint8_t* bytes, uint32_t count, uint32_t waitMs) {
  Rearm(writeOv_);
  DWORD done = 0;
  const BOOL started = WriteFile(AsHandle(port), bytes, count, &done, &writeOv_);
  return Await(AsHandle(port), writeOv_, started, done, waitMs);
}

void Win32SerialDriver::CreateLinkEvents(uint16_t portNumber) {
  CloseLinkEvents();
  readEndEvent_ = CreateLinkEvent("ReadEnd", portNumber, FALSE, FALSE);
  ZeroMemory(&writeOv_, sizeof writeOv_);
  writeOv_.hEvent = CreateLinkEvent("Write", portNumber, TRUE, TRUE);
  ZeroMemory(&readOv_, sizeof readOv_);
  readOv_.hEvent = CreateLinkEvent("Read", portNumber, TRUE, FALSE);
}

void Win32SerialDriver::CloseLinkEvents() {
  CloseIfOpen(readEndEvent_);
  CloseIfOpen(writeOv_.hEvent);
  CloseIfOpen(readOv_.hEvent);
}

bool Win32SerialDriver::StartReceiver(LinkState& state) { return receiver_.Start(state); }

void Win32SerialDriver::StopReceiver() { receiver_.Stop(); }

void Win32SerialDriver::ReleaseReceiver() {
  if (readEndEvent_ != nullptr) SetEvent(readEndEvent_);
}

void Win32SerialDriver::PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) {
  PostMessageA(static_cast<HWND>(owner), message, 0, static_cast<LPARAM>(lParam));
}

void Win32SerialDriver::ShowLinkError(WindowHandle owner, const char* text) {
  ShowLinkErrorBox(static_cast<HWND>(owner), text);
}

}  // namespace quarnel
