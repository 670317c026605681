// The engine, the window's record and a simulated converter on a virtual
// line, with the buttons' hand-over as the main window does it.
#pragma once

#include "converter_model.h"
#include "exchange/device_exchange.h"
#include "virtual_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quarnel_test {

class ExchangeBench : public ::testing::Test {
protected:
    void SetUp() override { std::memset(record, 0xEE, sizeof record); }

    void Press(bool write) {
        line.SetBaudCodeAndConfigure(quarnel::BAUD_CODE_MONITOR);
        quarnel::ClearReply(ex);
        (write ? quarnel::StartWrite : quarnel::StartRead)(ex, line);
    }
    void PressRead() { Press(false); }
    void PressWrite() { Press(true); }
    void Run(int maxMs = 60000) { line.RunUntilIdle(ex, record, maxMs); }

    // When the first transmitted chunk starting with `prefix` went out.
    int64_t SentAt(const std::string& prefix, int occurrence = 1) const {
        for (const auto& chunk : line.sent)
            if (chunk.bytes.compare(0, prefix.size(), prefix) == 0 && --occurrence == 0) return chunk.time;
        return -1;
    }
    int CountSent(const std::string& prefix) const {
        int n = 0;
        for (const auto& chunk : line.sent) n += chunk.bytes.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
    bool RecordMatchesDevice(int from = 0, int to = quarnel::env_layout::RECORD_SIZE) const {
        return std::memcmp(record + from, device.Block() + from, static_cast<size_t>(to - from)) == 0;
    }
    void ExpectCompleted(const char* text, int formRefreshes) {
        EXPECT_EQ(ex.recordLoaded, 1);
        EXPECT_EQ(ex.phase, quarnel::PHASE_IDLE);
        EXPECT_EQ(line.formRefreshCount, formRefreshes);
        EXPECT_EQ(line.progressTexts, (std::vector<std::string>{text}));
        EXPECT_EQ(line.closeProgressCount, 1);
        EXPECT_TRUE(line.messages.empty());
        EXPECT_EQ(line.replyDeadline, -1);
    }
    void ExpectAbortedOnce(const std::string& message = quarnel::TEXT_NO_RESPONSE) {
        ASSERT_EQ(line.messages.size(), 1u);
        EXPECT_EQ(line.messages[0].text, message);
        EXPECT_EQ(line.messages[0].style, 0x10u);
        EXPECT_EQ(line.enableWindowCount, 1);
        EXPECT_GE(line.closeProgressCount, 1);
        EXPECT_EQ(line.formRefreshCount, 0);
        EXPECT_EQ(ex.phase, quarnel::PHASE_IDLE);
        EXPECT_EQ(ex.recordLoaded, 0);
    }

    tarvosim::ConverterModel device;
    VirtualLine line{device};
    quarnel::DeviceExchange ex;
    uint8_t record[quarnel::env_layout::RECORD_SIZE];
};

}  // namespace quarnel_test
