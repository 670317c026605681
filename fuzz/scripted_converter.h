// The exchange engine's host over a scripted converter, on a virtual
// millisecond clock. Answer k of the script goes on the line when the
// engine's k-th command leaves; its bytes arrive `bytesPerMs` to a
// millisecond. A command beyond the script gets silence, or with
// `closeAfterScript` the cable is pulled. Everything that crosses the line
// is logged for the checks.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "exchange/device_exchange.h"

namespace quarnel_fuzz {

class ScriptedConverter : public quarnel::ExchangeLink, public quarnel::ExchangeObserver {
public:
    ScriptedConverter(std::vector<std::string> answers, int bytesPerMs, bool closeAfterScript);

    // --- ExchangeLink: the answers arrive on the clock, not in a pump ---
    int Write(const char* bytes, int length) override;
    int ReadByte(std::uint8_t& byte) override;
    void SetBaudCodeAndConfigure(int baudCode) override;
    void PumpTransmit() override;
    bool IsLinkActive() override { return linkActive_; }
    void ArmReplyTimer(int milliseconds) override { replyDeadline = now + milliseconds; }
    void KillReplyTimer() override { replyDeadline = -1; }
    // --- ExchangeObserver: completions and failures are counted ---
    void ShowProgressText(const char* text) override;
    void ShowMessage(const char* text, unsigned style) override;

    // --- The clock ---
    // On to the next millisecond; straight to the reply timer when nothing
    // is on the line and the engine has seen every byte it took, as nothing
    // can happen before the timer fires.
    void Advance();
    // A command went out beyond the script and the cable is to be pulled.
    bool CloseDue() const { return closeDue_ && linkActive_; }
    void Close() { linkActive_ = false; }

    std::int64_t now = 0;
    std::int64_t replyDeadline = -1;

    std::vector<std::string> commands;  // each transmission, in order
    std::vector<std::string> replies;   // the bytes the engine took after each command
    int completions = 0;                // "Reading complete." or "Writing complete."
    int failureMessages = 0;

private:
    std::vector<std::string> answers_;
    std::size_t nextAnswer_ = 0;
    int bytesPerMs_;
    bool closeAfterScript_;
    bool closeDue_ = false;
    bool tookBytes_ = false;  // since the last Advance
    bool linkActive_ = true;
    std::string transmit_;               // written, not yet pumped out
    std::deque<std::uint8_t> wire_;      // answered, not yet arrived
    std::deque<std::uint8_t> received_;  // arrived, not yet read
};

}  // namespace quarnel_fuzz
