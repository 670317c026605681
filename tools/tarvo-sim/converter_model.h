// The Tarvo converter's serial console, seen from the device's side of the
// line: it takes the bytes the program sends, at the line speed they were
// sent with, and produces the console's answer bytes.
//
//   ConverterModel m;                      // monitor mode, realistic block
//   m.Receive(bytes, n, 115200);           // complete lines are answered
//   m.TakeOutput(buf, sizeof buf);         // the answer, in order
//
// The model keeps the console's own rules so that a program breaking them
// gets no answer or an error instead of a silent success:
//  - monitor mode answers only at 115200 bps, shell mode only at 19200 bps;
//    a line received at another speed is logged and ignored;
//  - monitor "!w" is refused (801) until "!u e7" and "!u 3d" have unlocked
//    the block, and outside converter addresses 64..511;
//  - shell "WH" and "RA" work only inside "env xconfig"; "WH" writes a
//    staging copy that "C0" commits and "C1" discards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvosim {

constexpr int BLOCK_SIZE = 480;
// Where the block holds the converter's MAC address.
constexpr int MAC_OFFSET = 4;
constexpr int MAC_LENGTH = 6;
constexpr int MONITOR_BAUD = 115200;
constexpr int SHELL_BAUD = 19200;
// Monitor mode shows record byte i under address i + 32.
constexpr int MONITOR_BASE_ADDRESS = 32;
// Bytes a flood fault appends to a reply: more than the program's reply buffer.
constexpr int FLOOD_LENGTH = 1100;

enum class ConsoleMode { Monitor, Shell, Silent };

enum class FaultKind {
    None,
    Silence,        // no answer to anything
    DropAck,        // the n-th acknowledgement is not sent (command still acted on)
    ShortDump,      // "RA 00" sends fewer than 960 digits before its marker
    GarbledDump,    // "RA 00" sends non-hex characters among its digits
    Error801,       // the n-th read chunk answers "801" instead of data
    BadDigit,       // the n-th read chunk's first byte has a non-hex digit ("0g")
    DigitForBlank,  // the n-th read chunk has a digit in place of its first blank
    DropRead,       // the n-th read chunk is not answered
    Flood,          // the n-th reply is followed by FLOOD_LENGTH filler bytes
    NulBytes,       // the n-th reply starts with NUL bytes
    LoseWrite,      // the n-th write chunk ("!w" or "WH") is acknowledged but not stored
    InsertChar,     // the n-th reply has one more digit in its middle
    DropChar,       // the n-th reply misses the character in its middle
};

struct Fault {
    FaultKind kind = FaultKind::None;
    int n = 1;  // which occurrence (1-based) the fault hits, where it counts
};

struct LoggedCommand {
    int baud;
    std::string text;  // the line as received, carriage return included
};

// "monitor", "shell", "silent".
bool ParseConsoleMode(const std::string& text, ConsoleMode& mode);
const char* ConsoleModeName(ConsoleMode mode);
// "none", "silence", "drop-ack[:N]", "short-dump", "garbled-dump",
// "error-801[:N]", "bad-digit[:N]", "digit-for-blank[:N]", "drop-read[:N]",
// "flood[:N]", "nul[:N]", "lose-write[:N]", "insert-char[:N]", "drop-char[:N]".
bool ParseFault(const std::string& text, Fault& fault);
// Several faults at once, separated by commas ("lose-write:3,error-801:6").
bool ParseFaults(const std::string& text, std::vector<Fault>& faults);

class ConverterModel {
public:
    ConverterModel();

    void SetMode(ConsoleMode mode);
    ConsoleMode Mode() const { return mode_; }
    // Restarts the faults' occurrence counting. Faults of different kinds
    // apply together, each counting its own occurrences.
    void SetFault(const Fault& fault) { SetFaults({fault}); }
    void SetFaults(const std::vector<Fault>& faults);

    void SetBlock(const uint8_t* block);  // BLOCK_SIZE bytes
    const uint8_t* Block() const { return block_; }
    // Increases whenever the committed block changes.
    unsigned BlockGeneration() const { return blockGeneration_; }

    // Bytes arriving on the line at the given speed (bits per second).
    void Receive(const uint8_t* data, size_t length, int baud);
    size_t PendingOutput() const { return output_.size() - outputPos_; }
    size_t TakeOutput(uint8_t* destination, size_t capacity);
    // The pending answer bytes in place, and dropping the first n of them.
    const uint8_t* PeekOutput() const { return output_.data() + outputPos_; }
    void ConsumeOutput(size_t n);

    // Every line received, whether answered or not.
    const std::vector<LoggedCommand>& Log() const { return log_; }

private:
    void HandleLine(const std::string& line, int baud);
    void HandleMonitorLine(const std::string& command);
    void HandleShellLine(const std::string& command);
    void MonitorRead(const std::string& echo, unsigned address, unsigned length);
    void MonitorWrite(const std::string& echo, const std::string& args);
    void ShellDump();
    void ShellWrite(const std::string& args);
    // Every answer goes through here so the faults apply in one place.
    void Reply(const std::string& text, bool isAck);
    void Emit(const std::string& text);
    // Counts a well-formed write chunk; true when the fault loses this one.
    bool LosesWriteChunk();
    // A fault of this kind hits occurrence `count` (or any, for the kinds
    // that do not count).
    bool Hits(FaultKind kind, int count = 0) const;
    bool Has(FaultKind kind) const;

    ConsoleMode mode_ = ConsoleMode::Monitor;
    std::vector<Fault> faults_;
    int ackCount_ = 0;
    int replyCount_ = 0;
    int readChunkCount_ = 0;
    int writeChunkCount_ = 0;

    uint8_t block_[BLOCK_SIZE];
    uint8_t staging_[BLOCK_SIZE];
    unsigned blockGeneration_ = 0;

    bool unlockE7_ = false;
    bool unlocked_ = false;
    bool configMode_ = false;

    std::string line_;
    bool lineAtWrongSpeed_ = false;
    std::vector<uint8_t> output_;
    size_t outputPos_ = 0;
    std::vector<LoggedCommand> log_;
};

}  // namespace tarvosim
