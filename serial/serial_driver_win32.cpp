#include "serial/serial_driver_win32.h"

#include <cstdio>

#include "serial/port_messages.h"
#include "serial/serial_port.h"

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
  ResetEvent(event);
}

// Completes a ReadFile/WriteFile on `transfer`. One still pending after
// waitMs is cancelled and collected, so its record is free again and no late
// transfer lands in the caller's buffer. If even the cancelled transfer does
// not end within kIoWaitMs, the system may still use the record: it stays
// `stuck`, and no transfer is issued on it until its event tells it has ended
// (a late read lands beyond the bytes counted, where nothing is read).
IoResult Await(HANDLE port, Transfer& transfer, BOOL started, DWORD done, DWORD waitMs) {
  if (started) return {IoStatus::kCompleted, done};
  if (GetLastError() != ERROR_IO_PENDING) return {IoStatus::kFailed, 0};
  OVERLAPPED& ov = transfer.ov;
  DWORD count = 0;
  if (WaitForSingleObject(ov.hEvent, waitMs) == WAIT_OBJECT_0) {
    if (!GetOverlappedResult(port, &ov, &count, FALSE)) return {IoStatus::kFailed, 0};
    return {IoStatus::kCompleted, count};
  }
  CancelIoEx(port, &ov);  // this transfer only: the receive wait stays out
  if (WaitForSingleObject(ov.hEvent, kIoWaitMs) != WAIT_OBJECT_0) {
    transfer.stuck = true;
    return {IoStatus::kTimedOut, 0};
  }
  if (!GetOverlappedResult(port, &ov, &count, FALSE)) count = 0;
  return {IoStatus::kTimedOut, count};
}

// Whether a new transfer may be issued on `transfer` (see Await).
bool Ready(Transfer& transfer) {
  if (transfer.stuck && WaitForSingleObject(transfer.ov.hEvent, 0) == WAIT_OBJECT_0) transfer.stuck = false;
  return !transfer.stuck;
}

ReceiveWait* NewReceiveWait() {
  auto* wait = new ReceiveWait{};
  wait->ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return wait;
}

}  // namespace

Win32SerialDriver::Win32SerialDriver() : wait_(NewReceiveWait()) {}

Win32SerialDriver::~Win32SerialDriver() {
  StopReceiver();
  CloseLinkEvents();
  // A wait left issued is still the system's (see CancelWait).
  if (!waitIssued_) {
    CloseIfOpen(wait_->ov.hEvent);
    delete wait_;
  }
}

PortHandle Win32SerialDriver::OpenPort(const char* devicePath) {
  return CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                     nullptr);
}

void Win32SerialDriver::ClosePort(PortHandle port) { CloseHandle(AsHandle(port)); }

CommStatus Win32SerialDriver::ClearErrors(PortHandle port) {
  CollectWait(AsHandle(port));
  DWORD errors = 0;
  COMSTAT status = {};
  const uint32_t held = byteHeld_ ? 1 : 0;
  if (!ClearCommError(AsHandle(port), &errors, &status)) return {held, 0};
  // Bytes behind a receive wait that is still out complete it first: a read
  // issued now would take them ahead of the byte it is about to hold.
  return {held + (waitIssued_ ? 0 : status.cbInQue), status.cbOutQue};
}

void Win32SerialDriver::SetQueueSizes(PortHandle port, uint32_t inputSize, uint32_t outputSize) {
  SetupComm(AsHandle(port), inputSize, outputSize);
}

void Win32SerialDriver::PurgeAll(PortHandle port) {
  CancelWait(AsHandle(port));
  byteHeld_ = false;
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
  CollectWait(AsHandle(port));
  uint32_t held = 0;
  if (byteHeld_ && count > 0) {
    bytes[0] = wait_->byte;
    byteHeld_ = false;
    held = 1;
  }
  if (held == count || waitIssued_) return {IoStatus::kCompleted, held};
  if (!Ready(read_)) return {held > 0 ? IoStatus::kTimedOut : IoStatus::kFailed, held};
  Rearm(read_.ov);
  DWORD done = 0;
  const BOOL started = ReadFile(AsHandle(port), bytes + held, count - held, &done, &read_.ov);
  IoResult result = Await(AsHandle(port), read_, started, done, waitMs);
  // The held byte is delivered whatever became of the read after it.
  if (held > 0 && result.status == IoStatus::kFailed) result.status = IoStatus::kTimedOut;
  result.count += held;
  return result;
}

IoResult Win32SerialDriver::Write(PortHandle port, const uint8_t* bytes, uint32_t count, uint32_t waitMs) {
  if (!Ready(write_)) return {IoStatus::kFailed, 0};
  Rearm(write_.ov);
  DWORD done = 0;
  const BOOL started = WriteFile(AsHandle(port), bytes, count, &done, &write_.ov);
  return Await(AsHandle(port), write_, started, done, waitMs);
}

void Win32SerialDriver::CreateLinkEvents(uint16_t portNumber) {
  CloseLinkEvents();
  readEndEvent_ = CreateLinkEvent("ReadEnd", portNumber, FALSE, FALSE);
  write_ = Transfer{};
  write_.ov.hEvent = CreateLinkEvent("Write", portNumber, TRUE, TRUE);
  read_ = Transfer{};
  read_.ov.hEvent = CreateLinkEvent("Read", portNumber, TRUE, FALSE);
}

void Win32SerialDriver::CloseLinkEvents() {
  CloseIfOpen(readEndEvent_);
  // A stuck transfer's event is left to the system, like its record.
  if (!write_.stuck) CloseIfOpen(write_.ov.hEvent);
  if (!read_.stuck) CloseIfOpen(read_.ov.hEvent);
}

bool Win32SerialDriver::StartReceiver(LinkState& state) {
  StopReceiver();
  receiverPort_ = static_cast<HANDLE>(state.handle);
  ArmWait(receiverPort_);
  if (receiver_.Start(state, wait_->ov.hEvent, readEndEvent_)) return true;
  StopReceiver();
  return false;
}

void Win32SerialDriver::StopReceiver() {
  receiver_.Stop();
  if (receiverPort_ != nullptr) CancelWait(receiverPort_);
  byteHeld_ = false;
  releaseOwed_ = false;
  lineGone_ = false;
  receiverPort_ = nullptr;
}

void Win32SerialDriver::ReleaseReceiver() {
  if (receiverPort_ == nullptr) return;
  CollectWait(receiverPort_);
  ArmWait(receiverPort_);
  // Only a receiver woken by a completed wait is parked; releasing one that
  // still sleeps would let it run through its next park.
  if (!releaseOwed_) return;
  releaseOwed_ = false;
  // Without a new wait (the line has gone) the receiver must sleep, not
  // find the old wait's event still signalled.
  if (!waitIssued_) ResetEvent(wait_->ov.hEvent);
  if (readEndEvent_ != nullptr) SetEvent(readEndEvent_);
}

void Win32SerialDriver::ArmWait(HANDLE port) {
  if (waitIssued_ || byteHeld_ || lineGone_ || wait_->ov.hEvent == nullptr) return;
  Rearm(wait_->ov);
  waitIssuedAt_ = GetTickCount();
  DWORD done = 0;
  // Completed at once or pending, its event wakes the receiver. A read that
  // fails at once leaves the receiver asleep (see lineGone_).
  if (ReadFile(port, &wait_->byte, 1, &done, &wait_->ov) || GetLastError() == ERROR_IO_PENDING) {
    waitIssued_ = true;
  } else {
    lineGone_ = true;
  }
}

void Win32SerialDriver::CollectWait(HANDLE port) {
  if (!waitIssued_ || WaitForSingleObject(wait_->ov.hEvent, 0) != WAIT_OBJECT_0) return;
  DWORD count = 0;
  byteHeld_ = GetOverlappedResult(port, &wait_->ov, &count, FALSE) && count == 1;
  waitIssued_ = false;
  // The event stays signalled until the next wait is issued: the receiver
  // may not have seen it yet (this runs whenever the window thread looks at
  // the queues), and it parks once it has.
  releaseOwed_ = true;
  // A wait ends without a byte only when its time-out runs out; ending so
  // well before, it was refused: the device behind the port has gone (an
  // adapter pulled out). Waiting again would only wake the receiver at once,
  // again and again.
  if (!byteHeld_ && !cancelling_ && GetTickCount() - waitIssuedAt_ < kReceiveWaitMs / 2) lineGone_ = true;
}

void Win32SerialDriver::CancelWait(HANDLE port) {
  if (!waitIssued_) return;
  CancelIoEx(port, &wait_->ov);
  // Until the cancelled read has completed the system may still write its
  // byte and record. If that takes too long they are left to it, and the
  // next port gets a fresh wait (the receiver is stopped by now: its
  // duplicate of the old event goes with it).
  if (WaitForSingleObject(wait_->ov.hEvent, kIoWaitMs) != WAIT_OBJECT_0) {
    wait_ = NewReceiveWait();
    waitIssued_ = false;
    byteHeld_ = false;
    releaseOwed_ = false;
    return;
  }
  cancelling_ = true;
  CollectWait(port);
  cancelling_ = false;
  byteHeld_ = false;
}

void Win32SerialDriver::PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) {
  PostMessageA(static_cast<HWND>(owner), message, 0, static_cast<LPARAM>(lParam));
}

}  // namespace quarnel
