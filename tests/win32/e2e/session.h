#pragma once

// What the end-to-end tests share: a converter block that sets every field
// the window shows and fills every reserved bit and byte, byte access by
// record offset, and a fixture that launches the real program and drives
// Open, Read, Write and Initialize ENV, waiting for their end on the
// simulator's command log.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/window-driver/app_driver.h"
#include "tools/window-driver/sim_files.h"

namespace e2e {

using Block = std::vector<uint8_t>;

constexpr DWORD WAIT = 15000;
constexpr char NO_RESPONSE[] =
    "No respone from Tarvo.\r\n\r\nCheck serial port, cable connection, power supply and console mode.";
constexpr char MAC_TEXT[] = "0A:BC:DE:01:2F:9E";  // the MAC of RichBlock
// The message of a write that stopped after `confirmed` of its 448 bytes.
std::string WriteStoppedText(int confirmed);

uint32_t Le32(const Block& block, int offset);
uint16_t Le16(const Block& block, int offset);
void PutLe32(Block& block, int offset, uint32_t value);
void PutLe16(Block& block, int offset, uint16_t value);
// Bits [shift, shift + width) of the little-endian word at `offset`.
void PutBits(Block& block, int offset, int shift, int width, uint32_t value);
// `size` bytes: the text, then zeros.
void PutText(Block& block, int offset, int size, const std::string& text);
DWORD Ipv4(int a, int b, int c, int d);

// The block of a wireless converter of `model`: firmware 3.7C, MAC
// 0A:BC:DE:01:2F:9E, T2S with a permitted address, 172.16.5.20/16, 57600
// ODD 7 data bits RTS/CTS, Infrastructure on channel 11, every reserved bit
// and byte non-trivial. Every value is one the window shows and stores back.
Block RichBlock(int model = 9);

// "offset: expected xx, got yy" for every byte that differs (or a size note).
std::string DescribeDifferences(const Block& expected, const Block& actual);

// The last command of a Read (monitor: the last chunk; shell: "C1" after the
// dump) and of a Write or Initialize ENV (the last "!w" chunk, or "C0"; with
// its read-back, as a read ends).
bool EndsRead(const std::string& command);
bool EndsWrite(const std::string& command);
bool StartsWith(const std::string& text, const std::string& prefix);

class Session : public ::testing::Test {
protected:
    void SetUp() override;

    // Selects the port, presses Open and waits until Read can be pressed.
    void OpenPort(const std::string& name);
    // Presses Close and waits until the window is back in its closed row:
    // Open and the port list usable, the link's buttons not.
    void ClosePort();
    bool InClosedRow() const;
    // Commands the converter received since `mark` (an earlier log size).
    static std::vector<LoggedCommand> LogSince(const SimFiles& sim, size_t mark);

    // Waits until the converter's latest command since `mark` is one for which
    // `last` is true and no progress window is left; fails early when a
    // message box shows. The commands received are left in `sent`.
    void WaitForExchangeEnd(SimFiles& sim, size_t mark, const std::function<bool(const std::string&)>& last,
                            std::vector<LoggedCommand>* sent = nullptr);
    // Presses Read, or Write / Initialize ENV, and waits as above.
    void ReadAndWait(SimFiles& sim, std::vector<LoggedCommand>* sent = nullptr);
    void WriteAndWait(SimFiles& sim, int button, std::vector<LoggedCommand>* sent = nullptr);
    // Puts `block` into the converter (console in `mode`) and reads it.
    void LoadConverter(SimFiles& sim, const std::string& mode, const Block& block);
    void ExpectHolds(const SimFiles& sim, const Block& expected);

    // The no-response message (the progress window gone first), answered.
    void ExpectNoResponse();
    // The exchange ended in this message, progress window gone; answers it.
    void ExpectFailure(const std::string& message);
    // Moves the focus to `id` and waits until it is there.
    void FocusAndWait(int id);

    AppDriver app;
};

}  // namespace e2e
