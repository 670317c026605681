#include "serial/serial_driver_win32.h"

#include <cstring>

#include "serial/port_messages.h"
#include "serial/serial_port.h"

namespace quarnel {

static_assert(WM_PORT_EVENT == WM_USER + 4 && WM_PORT_OPENED == WM_USER + 5, "message numbers");
static_assert(DCB_NO_PARITY == NOPARITY && DCB_ODD_PARITY == ODDPARITY && DCB_EVEN_PARITY == EVENPARITY, "parity");
static_assert(DCB_ONE_STOP_BIT == ONESTOPBIT && DCB_TWO_STOP_BITS == TWOSTOPBITS, "stop bits");
static_assert(DCB_DTR_ENABLE == DTR_CONTROL_ENABLE, "DTR control");
static_assert(DCB_RTS_ENABLE == RTS_CONTROL_ENABLE && DCB_RTS_HANDSHAKE == RTS_CONTROL_HANDSHAKE, "RTS control");
static_assert(EVENT_RX_CHAR == EV_RXCHAR, "event mask");
static_assert(sizeof(DCB) == 28, "DCBlength");

namespace {

HANDLE AsHandle(PortHandle port) { return static_cast<HANDLE>(port); }

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr) CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

Win32SerialDriver::~Win32SerialDriver() {
    StopReceiver();
    // Every slot's record is the driver's again by now (StopReceiver leaves a
    // receive wait the system still holds to abandoned_).
    FreeTransferRecord(write_);
    FreeTransferRecord(read_);
    FreeTransferRecord(wait_);
}

PortHandle Win32SerialDriver::OpenPort(const char* devicePath) {
    return CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                       nullptr);
}

void Win32SerialDriver::ClosePort(PortHandle port) {
    CloseHandle(AsHandle(port));
    // Closing the port ends the transfers still out on it: those done by now go.
    abandoned_.FreeCompleted();
}

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
        bytes[0] = wait_->bytes[0];
        byteHeld_ = false;
        held = 1;
    }
    if (held == count || waitIssued_) return {IoStatus::Completed, held};
    TransferRecord* record = Ready(read_);
    if (record == nullptr) return {held > 0 ? IoStatus::TimedOut : IoStatus::Failed, held};
    const DWORD want = count - held < sizeof record->bytes ? count - held : sizeof record->bytes;
    DWORD done = 0;
    const BOOL started = ReadFile(AsHandle(port), record->bytes, want, &done, &record->ov);
    IoResult result = Await(AsHandle(port), read_, started, done, waitMs);
    // The bytes are in the record (an abandoned read counts none).
    if (result.count > 0) std::memcpy(bytes + held, record->bytes, result.count);
    // The held byte is delivered whatever became of the read after it.
    if (held > 0 && result.status == IoStatus::Failed) result.status = IoStatus::TimedOut;
    result.count += held;
    return result;
}

IoResult Win32SerialDriver::Write(PortHandle port, const uint8_t* bytes, uint32_t count, uint32_t waitMs) {
    TransferRecord* record = Ready(write_);
    if (record == nullptr) return {IoStatus::Failed, 0};
    const DWORD n = count < sizeof record->bytes ? count : sizeof record->bytes;
    std::memcpy(record->bytes, bytes, n);
    DWORD done = 0;
    const BOOL started = WriteFile(AsHandle(port), record->bytes, n, &done, &record->ov);
    return Await(AsHandle(port), write_, started, done, waitMs);
}

TransferRecord* Win32SerialDriver::Ready(TransferRecord*& slot) {
    abandoned_.FreeCompleted();
    if (slot == nullptr) slot = NewTransferRecord();
    if (slot != nullptr) RearmTransferRecord(*slot);
    return slot;
}

// Completes the transfer just started on `slot`'s record within waitMs in
// all: one still pending near the end is cancelled and given the rest, and
// what it moved before counts. One that has not completed even then is
// abandoned with its record, and the slot gets a new record next time.
IoResult Win32SerialDriver::Await(HANDLE port, TransferRecord*& slot, BOOL started, DWORD done, DWORD waitMs) {
    if (started) return {IoStatus::Completed, done};
    if (GetLastError() != ERROR_IO_PENDING) return {IoStatus::Failed, 0};
    TransferRecord& record = *slot;
    const DWORD cancelWait = waitMs < 2 * CANCEL_WAIT_MS ? waitMs / 2 : CANCEL_WAIT_MS;
    DWORD count = 0;
    WaitForSingleObject(record.ov.hEvent, waitMs - cancelWait);
    if (TransferCompleted(record)) {
        if (!GetOverlappedResult(port, &record.ov, &count, FALSE)) return {IoStatus::Failed, 0};
        return {IoStatus::Completed, count};
    }
    CancelIoEx(port, &record.ov);  // this transfer only: the receive wait stays out
    WaitForSingleObject(record.ov.hEvent, cancelWait);
    if (!TransferCompleted(record)) {
        abandoned_.Add(slot);
        slot = nullptr;
        return {IoStatus::TimedOut, 0};
    }
    if (!GetOverlappedResult(port, &record.ov, &count, FALSE)) count = 0;
    return {IoStatus::TimedOut, count};
}

bool Win32SerialDriver::StartReceiver(LinkState& state) {
    StopReceiver();
    receiverPort_ = static_cast<HANDLE>(state.handle);
    readEndEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ArmWait(receiverPort_);
    HANDLE dataEvent = wait_ != nullptr ? wait_->ov.hEvent : nullptr;
    if (receiver_.Start(state, dataEvent, readEndEvent_)) return true;
    StopReceiver();
    return false;
}

void Win32SerialDriver::StopReceiver() {
    receiver_.Stop();
    if (receiverPort_ != nullptr) CancelWait(receiverPort_);
    // The receiver has its own duplicate of the wait's event, so a wait the
    // system still holds can go with its record; the next port gets a new one.
    if (waitIssued_) {
        abandoned_.Add(wait_);
        wait_ = nullptr;
        waitIssued_ = false;
        waitCancelled_ = false;
    }
    CloseIfOpen(readEndEvent_);
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
    if (!waitIssued_ && wait_ != nullptr) ResetEvent(wait_->ov.hEvent);
    if (readEndEvent_ != nullptr) SetEvent(readEndEvent_);
}

void Win32SerialDriver::ArmWait(HANDLE port) {
    if (waitIssued_ || byteHeld_ || lineGone_) return;
    TransferRecord* record = Ready(wait_);
    if (record == nullptr) return;
    waitIssuedAt_ = GetTickCount();
    DWORD done = 0;
    // Completed at once or pending, its event wakes the receiver. A read that
    // fails at once leaves the receiver asleep (see lineGone_).
    if (ReadFile(port, record->bytes, 1, &done, &record->ov) || GetLastError() == ERROR_IO_PENDING) {
        waitIssued_ = true;
    } else {
        lineGone_ = true;
    }
}

void Win32SerialDriver::CollectWait(HANDLE port) {
    if (!waitIssued_ || !TransferCompleted(*wait_)) return;
    DWORD count = 0;
    byteHeld_ = GetOverlappedResult(port, &wait_->ov, &count, FALSE) && count == 1;
    waitIssued_ = false;
    // The event stays signalled until the next wait is issued: the receiver
    // may not have seen it yet (this runs whenever the window thread looks at
    // the queues), and it parks once it has.
    releaseOwed_ = true;
    if (waitCancelled_) {
        waitCancelled_ = false;
        byteHeld_ = false;
        return;
    }
    // A wait ends without a byte only when its time-out runs out; ending so
    // well before, it was refused: the device behind the port has gone (an
    // adapter pulled out). Waiting again would only wake the receiver at once,
    // again and again.
    if (!byteHeld_ && GetTickCount() - waitIssuedAt_ < RECEIVE_WAIT_MS / 2) lineGone_ = true;
}

// The cancelled wait's byte is dropped, whenever it completes. One that has
// not completed within CANCEL_WAIT_MS stays issued: the system still holds its
// record, and the receiver, if it runs, still waits on its event.
void Win32SerialDriver::CancelWait(HANDLE port) {
    if (!waitIssued_) return;
    waitCancelled_ = true;
    CancelIoEx(port, &wait_->ov);
    WaitForSingleObject(wait_->ov.hEvent, CANCEL_WAIT_MS);
    CollectWait(port);
}

void Win32SerialDriver::PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) {
    PostMessageA(static_cast<HWND>(owner), message, 0, static_cast<LPARAM>(lParam));
}

}  // namespace quarnel
