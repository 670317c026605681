// A serial line with a simulated converter on its far end, run on a virtual
// millisecond clock: the engine's host for the native tests.
//
// Each virtual millisecond: a due TIMER_REPLY fires, then one pump tick
// runs, then the clock advances. Bytes the engine transmits reach the
// converter model at once; its answer comes back after `latencyMs`, one
// character per 10 bit times at the line's speed (or all at once in burst
// mode).
#pragma once

#include "converter_model.h"
#include "exchange/device_exchange.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quarnel_test {

struct SentChunk {
    int64_t time;
    int baud;
    std::string bytes;
};

struct ShownMessage {
    int64_t time;
    std::string text;
    unsigned style;
};

class VirtualLine : public quarnel::ExchangeLink, public quarnel::ExchangeObserver {
public:
    explicit VirtualLine(tarvosim::ConverterModel& device) : device_(&device) {}

    // --- ExchangeLink ---
    int Write(const char* bytes, int length) override;
    int ReadByte(uint8_t& byte) override;
    void SetBaudCodeAndConfigure(int baudCode) override;
    void PumpTransmit() override;
    void PumpReceive() override;
    bool IsLinkActive() override { return linkActive; }
    void ArmReplyTimer(int milliseconds) override { replyDeadline = now + milliseconds; }
    void KillReplyTimer() override { replyDeadline = -1; }
    // --- ExchangeObserver ---
    void ShowProgressText(const char* text) override { progressTexts.push_back(text); }
    void SetProgressPosition(int position) override { progressPositions.push_back(position); }
    void CloseProgress() override { ++closeProgressCount; }
    void RefreshFormFromRecord() override { ++formRefreshCount; }
    void EnableMainWindow() override { ++enableWindowCount; }
    void ShowMessage(const char* text, unsigned style) override { messages.push_back({now, text, style}); }
    bool KeepBackup(const uint8_t* held, std::string& reason) override {
        backup.assign(held, held + quarnel::env_layout::RECORD_SIZE);
        if (!backupKept) reason = "The backup could not be saved in backups: disk full.";
        return backupKept;
    }

    // --- Simulation ---
    // Runs whole milliseconds until the exchange is idle with no timer armed
    // and nothing on the line, or until maxMs have passed.
    void RunUntilIdle(quarnel::DeviceExchange& ex, uint8_t* record, int maxMs = 60000);
    void RunFor(quarnel::DeviceExchange& ex, uint8_t* record, int ms);
    bool LineQuiet() const { return inFlight_.empty() && rxCount_ == 0 && txQueue_.empty(); }
    int Baud() const { return baudCode == 9 ? 19200 : baudCode == 12 ? 115200 : 0; }
    // Everything transmitted, in order.
    std::string AllSent() const;

    int64_t now = 0;
    int baudCode = 12;
    bool linkActive = true;
    int latencyMs = 2;
    bool burst = false;
    int64_t replyDeadline = -1;
    // Applied to each answer of the converter before it goes on the line.
    std::function<void(std::string&)> answerFilter;
    // Called after every pump tick.
    std::function<void()> afterTick;

    std::vector<SentChunk> sent;
    std::vector<std::string> progressTexts;
    std::vector<int> progressPositions;
    std::vector<ShownMessage> messages;
    int closeProgressCount = 0;
    int formRefreshCount = 0;
    int enableWindowCount = 0;
    std::vector<uint8_t> backup;  // what the engine gave to keep
    bool backupKept = true;       // what keeping it answers

private:
    void RunOneMillisecond(quarnel::DeviceExchange& ex, uint8_t* record);

    struct Arrival {
        int64_t time;
        uint8_t byte;
    };
    tarvosim::ConverterModel* device_;
    std::string txQueue_;           // LinkState txBuf
    std::deque<Arrival> inFlight_;  // on the wire or in the driver
    uint8_t rxBuf_[1024] = {};      // LinkState rxBuf
    int rxCount_ = 0;
    int rxPos_ = 0;
};

}  // namespace quarnel_test
