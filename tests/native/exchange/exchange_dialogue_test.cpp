// The four dialogues of the console, driven against the simulated converter.
#include "exchange_bench.h"

#include <algorithm>
#include <cstdio>

namespace quarnel_test {
namespace {

using namespace quarnel;

std::string Hex(const uint8_t* bytes, int count, const char* separator) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += separator;
        text += pair;
    }
    return text;
}

// One button press against a converter in each console mode. A write sends
// record bytes 32-479 in 28 chunks of 16, printed at the chunk's console
// address; a shell console stages them until "C0". The shell is probed once
// the monitor probe has gone unanswered for a second.
struct Dialogue {
    const char* name;
    tarvosim::ConsoleMode mode;
    bool write;
    const char* opening;      // everything sent before the chunks (a read: all of it)
    const char* chunkFormat;  // a write's chunk head, from its console address
    const char* separator;    // between a chunk's bytes
    int addressOffset;        // console address of record byte 0
    const char* closing;
    int positions, firstPosition, lastPosition;
    int formRefreshes;
    bool verify = false;  // read back after the write
    bool backup = false;  // read and kept before the write
};

void PrintTo(const Dialogue& d, std::ostream* out) { *out << d.name; }

const Dialogue DIALOGUES[] = {
    {"MonitorRead", tarvosim::ConsoleMode::Monitor, false,
     "r\r"
     "r 20 80\r"
     "r a0 80\r"
     "r 120 80\r"
     "r 1a0 60\r",
     nullptr, nullptr, 0, "", 4, 160, 512, 1},
    {"ShellRead", tarvosim::ConsoleMode::Shell, false,
     "r\r"
     "\rC1\r"
     "env xconfig\r"
     "L0\r"
     "RA 00\r"
     "C1\r",
     nullptr, nullptr, 0, "", 480, 272, 511, 1},
    {"MonitorWrite", tarvosim::ConsoleMode::Monitor, true,
     "r\r"
     "!u e7\r"
     "!u 3d\r",
     "!w %02x", " ", 32, "", 28, 0x50, 0x200, 1},
    {"ShellWrite", tarvosim::ConsoleMode::Shell, true,
     "r\r"
     "\rC1\r"
     "env xconfig\r"
     "L0\r",
     "WH %03x ", "", 0, "C0\r", 28, 0x50, 0x200, 0},
    // Read back in the same session: the bar runs on over the bytes read.
    {"MonitorWriteVerified", tarvosim::ConsoleMode::Monitor, true,
     "r\r"
     "!u e7\r"
     "!u 3d\r",
     "!w %02x", " ", 32,
     "r 20 80\r"
     "r a0 80\r"
     "r 120 80\r"
     "r 1a0 60\r",
     32, 0x50, 992, 1, true},
    {"ShellWriteVerified", tarvosim::ConsoleMode::Shell, true,
     "r\r"
     "\rC1\r"
     "env xconfig\r"
     "L0\r",
     "WH %03x ", "", 0,
     "C0\r"
     "env xconfig\r"
     "L0\r"
     "RA 00\r"
     "C1\r",
     29, 0x50, 992, 0, true},
    // The converter's block read first, in the same session, and kept.
    {"MonitorWriteBackedUp", tarvosim::ConsoleMode::Monitor, true,
     "r\r"
     "r 20 80\r"
     "r a0 80\r"
     "r 120 80\r"
     "r 1a0 60\r"
     "!u e7\r"
     "!u 3d\r",
     "!w %02x", " ", 32, "", 32, 192, 992, 1, false, true},
    {"ShellWriteBackedUp", tarvosim::ConsoleMode::Shell, true,
     "r\r"
     "\rC1\r"
     "env xconfig\r"
     "L0\r"
     "RA 00\r",
     "WH %03x ", "", 0, "C0\r", 29, 544, 992, 0, false, true},
};

class ExchangeDialogue : public ExchangeBench, public ::testing::WithParamInterface<Dialogue> {};

TEST_P(ExchangeDialogue, SendsTheConsolesCommandsAndCompletes) {
    const Dialogue& d = GetParam();
    const bool shell = d.mode == tarvosim::ConsoleMode::Shell;
    device.SetMode(d.mode);
    if (d.write) {
        std::memcpy(record, device.Block(), sizeof record);
        for (int i = 0; i < 32; ++i) record[i] = 0x11;  // never sent
        record[36] ^= 0x5A;
        record[479] = 0x7E;
    }
    ex.verifyWrite = d.verify ? 1 : 0;
    ex.backupBeforeWrite = d.backup ? 1 : 0;
    const std::vector<uint8_t> held(device.Block(), device.Block() + env_layout::RECORD_SIZE);
    Press(d.write);
    Run();

    std::string expected = d.opening;
    for (int i = 32; d.write && i < env_layout::RECORD_SIZE; i += 16) {
        char head[16];
        std::snprintf(head, sizeof head, d.chunkFormat, i + d.addressOffset);
        expected += head + Hex(record + i, 16, d.separator) + "\r";
    }
    EXPECT_EQ(line.AllSent(), expected + d.closing);
    EXPECT_EQ(SentAt("\rC1\r"), shell ? 1000 : -1);
    for (size_t i = 0; i < line.sent.size(); ++i) EXPECT_EQ(line.sent[i].baud, shell && i > 0 ? 19200 : 115200) << i;
    EXPECT_EQ(line.baudCode, shell ? BAUD_CODE_SHELL : BAUD_CODE_MONITOR);  // stays at the last speed
    ASSERT_EQ(line.progressPositions.size(), static_cast<size_t>(d.positions));
    EXPECT_EQ(line.progressPositions.front(), d.firstPosition);
    EXPECT_EQ(line.progressPositions.back(), d.lastPosition);
    EXPECT_TRUE(std::is_sorted(line.progressPositions.begin(), line.progressPositions.end()));
    // A read fills all 480 bytes, the never-written first 32 included.
    EXPECT_TRUE(RecordMatchesDevice(d.write ? 32 : 0));
    EXPECT_EQ(ex.monitorMode, shell ? 0 : 1);
    EXPECT_EQ(line.backup, d.backup ? held : std::vector<uint8_t>());
    if (d.write) {
        EXPECT_NE(device.Block()[0], 0x11);
    } else if (shell) {
        EXPECT_EQ(ex.op, OP_NONE);  // left the configuration mode
    }
    ExpectCompleted(d.write ? "Writing complete." : "Reading complete.", d.formRefreshes);
}

INSTANTIATE_TEST_SUITE_P(BothConsoles, ExchangeDialogue, ::testing::ValuesIn(DIALOGUES),
                         [](const ::testing::TestParamInfo<Dialogue>& info) { return std::string(info.param.name); });

// Each reply examined many times while incomplete (every character takes
// 40 ms or more to arrive), or extra ticks run whenever bytes arrive (as the
// window does on data notifications): every dialogue still completes.
TEST_F(ExchangeBench, SlowRepliesAndExtraTicksChangeNothing) {
    for (bool extraTicks : {false, true}) {
        SCOPED_TRACE(extraTicks);
        line = VirtualLine(device);
        if (extraTicks)
            line.afterTick = [this] { RunPumpTick(ex, line, line, record); };
        else
            line.latencyMs = 40;
        for (auto [mode, write] : {std::pair{tarvosim::ConsoleMode::Shell, false},
                                   {tarvosim::ConsoleMode::Monitor, false},
                                   {tarvosim::ConsoleMode::Shell, true},
                                   {tarvosim::ConsoleMode::Monitor, true}}) {
            device.SetMode(mode);
            record[100] ^= 0xFF;
            Press(write);
            Run();
            EXPECT_EQ(ex.recordLoaded, 1);
            EXPECT_TRUE(RecordMatchesDevice(write ? 32 : 0));
        }
        EXPECT_TRUE(line.messages.empty());
        EXPECT_EQ(CountSent("WH "), 28);
        EXPECT_EQ(CountSent("!w "), 28);
    }
}

}  // namespace
}  // namespace quarnel_test
