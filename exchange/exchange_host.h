// What the exchange engine needs from the program that runs it: the serial
// link, the reply timer, the progress display and the form. The main window
// implements it on its window thread; the command line's host on the thread
// of the line it serves; the native tests over a simulated line. Every call
// comes from the one thread that runs the engine.
#pragma once

#include <cstdint>
#include <string>

#include "envrecord/form_model.h"

namespace quarnel {


class ExchangeHost {
public:
    // SerialPort Write: queues bytes for the next transmit pump; returns the
    // bytes accepted (the engine does not use it).
    virtual int Write(const char* bytes, int length) = 0;
    // SerialPort ReadByte: 1 and the next received byte, or 0 when none.
    virtual int ReadByte(uint8_t& byte) = 0;
    // Sets baudCode of PortSettings and applies Configure (which also drops
    // every byte buffered in either direction).
    virtual void SetBaudCodeAndConfigure(int baudCode) = 0;
    virtual void PumpTransmit() = 0;
    virtual void PumpReceive() = 0;
    // linkActive of the LinkState.
    virtual bool IsLinkActive() = 0;

    // SetTimer(TIMER_REPLY, milliseconds); re-arming replaces a running one.
    virtual void ArmReplyTimer(int milliseconds) = 0;
    // KillTimer(TIMER_REPLY).
    virtual void KillReplyTimer() = 0;

    // ShowProgressText on the progress dialog, if one is open.
    virtual void ShowProgressText(const char* text) = 0;
    // PBM_SETPOS on the progress bar, then repaint the progress dialog.
    virtual void SetProgressPosition(int position) = 0;
    virtual void CloseProgress() = 0;

    // After a completed read or monitor write: RecordToForm with the three
    // record regions, UpdateData(FALSE), RefreshControls.
    virtual void RefreshFormFromRecord() = 0;
    // Where the converter's block `held` differs from `sent` in bytes
    // 32-479, for the message of a write it did not keep: by default the
    // record offsets ("offsets 72-79"); the window names the settings.
    virtual std::string NameDifferences(const uint8_t* sent, const uint8_t* held);

    // Keeps what the converter held before a write (all 480 bytes), asked
    // for when backupBeforeWrite is set; false, and why, stops the write
    // before its first byte. A host without backups says so.
    virtual bool KeepBackup(const uint8_t* held, std::string& reason);

    // EnableWindow(TRUE) on the main window.
    virtual void EnableMainWindow() = 0;
    // The failure message (a message box with one OK button in the window);
    // the answer is not used.
    virtual void ShowMessage(const char* text, unsigned style) = 0;

protected:
    ~ExchangeHost() = default;
};

}  // namespace quarnel
