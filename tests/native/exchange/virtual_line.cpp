#include "virtual_line.h"

namespace quarnel_test {

int VirtualLine::Write(const char* bytes, int length) {
    if (!linkActive) return length;
    int room = 1024 - static_cast<int>(txQueue_.size());
    int n = length < room ? length : room;
    txQueue_.append(bytes, static_cast<size_t>(n));
    return n;
}

int VirtualLine::ReadByte(uint8_t& byte) {
    if (!linkActive || rxCount_ <= 0) {
        rxPos_ = 0;
        return 0;
    }
    byte = rxBuf_[rxPos_++];
    if (--rxCount_ == 0) rxPos_ = 0;
    return 1;
}

void VirtualLine::SetBaudCodeAndConfigure(int code) {
    baudCode = code;
    // Configure drops what the program and the driver hold; characters still
    // on the wire arrive later.
    txQueue_.clear();
    rxCount_ = rxPos_ = 0;
    while (!inFlight_.empty() && inFlight_.front().time <= now) inFlight_.pop_front();
}

void VirtualLine::PumpTransmit() {
    if (!linkActive) {
        txQueue_.clear();
        return;
    }
    if (txQueue_.empty()) return;
    sent.push_back({now, Baud(), txQueue_});
    device_->Receive(reinterpret_cast<const uint8_t*>(txQueue_.data()), txQueue_.size(), Baud());
    txQueue_.clear();
    std::string answer(device_->PendingOutput(), '\0');
    device_->TakeOutput(reinterpret_cast<uint8_t*>(&answer[0]), answer.size());
    if (answerFilter) answerFilter(answer);
    int64_t start = inFlight_.empty() ? now : inFlight_.back().time;
    if (start < now) start = now;
    for (size_t k = 0; k < answer.size(); ++k) {
        int64_t onWire = burst ? 0 : static_cast<int64_t>((k + 1) * 10000 / Baud());
        inFlight_.push_back({start + latencyMs + onWire, static_cast<uint8_t>(answer[k])});
    }
}

void VirtualLine::PumpReceive() {
    if (!linkActive) return;
    if (rxCount_ > 0 && rxPos_ > 0) {
        for (int i = 0; i < rxCount_; ++i) rxBuf_[i] = rxBuf_[rxPos_ + i];
        rxPos_ = 0;
    }
    while (!inFlight_.empty() && inFlight_.front().time <= now && rxCount_ < 1024) {
        rxBuf_[rxCount_++] = inFlight_.front().byte;
        inFlight_.pop_front();
    }
}

void VirtualLine::RunOneMillisecond(quarnel::DeviceExchange& ex, uint8_t* record) {
    if (replyDeadline >= 0 && replyDeadline <= now) {
        replyDeadline = -1;  // the handler kills the timer that fired
        quarnel::OnReplyTimeout(ex, *this, *this);
    }
    quarnel::RunPumpTick(ex, *this, *this, record);
    if (afterTick) afterTick();
    ++now;
}

void VirtualLine::RunUntilIdle(quarnel::DeviceExchange& ex, uint8_t* record, int maxMs) {
    for (int i = 0; i < maxMs; ++i) {
        if (ex.phase == quarnel::PHASE_IDLE && replyDeadline < 0 && LineQuiet()) return;
        RunOneMillisecond(ex, record);
    }
}

void VirtualLine::RunFor(quarnel::DeviceExchange& ex, uint8_t* record, int ms) {
    for (int i = 0; i < ms; ++i) RunOneMillisecond(ex, record);
}

std::string VirtualLine::AllSent() const {
    std::string all;
    for (const auto& chunk : sent) all += chunk.bytes;
    return all;
}

}  // namespace quarnel_test
