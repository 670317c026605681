// What the exchange engine tells the program that runs it: progress,
// completion and failure, and the two questions of a write. Each call does
// nothing (or what is said below) unless the observer wants it, so an
// observer implements only what it shows. Every call comes from the thread
// that runs the engine.
#pragma once

#include <cstdint>
#include <string>

#include "envrecord/form_model.h"

namespace quarnel {

class ExchangeObserver {
public:
    // A line of text for the progress display.
    virtual void ShowProgressText(const char* /*text*/) {}
    // The progress position (see the PROGRESS_ values of device_exchange.h).
    virtual void SetProgressPosition(int /*position*/) {}
    // The exchange has ended, one way or the other.
    virtual void CloseProgress() {}

    // A read or a monitor write has completed: the record now holds what
    // the converter holds, for the form to show.
    virtual void RefreshFormFromRecord() {}
    // A failure ends the exchange: the program may be used again...
    virtual void EnableMainWindow() {}
    // ...and is told why (the engine's failure text, MESSAGE_ICON_HAND).
    virtual void ShowMessage(const char* /*text*/, unsigned /*style*/) {}

    // Where the converter's block `held` differs from `sent` in bytes
    // 32-479, for the message of a write it did not keep: by default the
    // record offsets ("offsets 72-79"); the window names the settings.
    virtual std::string NameDifferences(const uint8_t* sent, const uint8_t* held);
    // Keeps what the converter held before a write (all 480 bytes), asked
    // for when backupBeforeWrite is set; false, and why, stops the write
    // before its first byte. By default no backup can be kept.
    virtual bool KeepBackup(const uint8_t* held, std::string& reason);

protected:
    ~ExchangeObserver() = default;
};

}  // namespace quarnel
