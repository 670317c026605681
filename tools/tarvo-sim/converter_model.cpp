#include "converter_model.h"

#include "block_text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvosim {

namespace {

// A line longer than this is noise; the rest of it is dropped.
constexpr size_t MAX_LINE = 512;

unsigned HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>(std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

// A blank-separated hex number; the console takes at most four digits.
bool ParseHexNumber(const std::string& text, size_t& pos, unsigned& value) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    size_t start = pos;
    value = 0;
    while (pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos]))) {
        if (pos - start == 4) return false;
        value = value * 16 + HexDigitValue(text[pos]);
        ++pos;
    }
    return pos > start;
}

bool AtEnd(const std::string& text, size_t pos) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    return pos == text.size();
}

std::string Hex2(unsigned value) {
    char buffer[3];
    std::snprintf(buffer, sizeof buffer, "%02x", value & 0xFF);
    return buffer;
}

}  // namespace

bool ParseConsoleMode(const std::string& text, ConsoleMode& mode) {
    if (text == "monitor")
        mode = ConsoleMode::Monitor;
    else if (text == "shell")
        mode = ConsoleMode::Shell;
    else if (text == "silent")
        mode = ConsoleMode::Silent;
    else
        return false;
    return true;
}

const char* ConsoleModeName(ConsoleMode mode) {
    switch (mode) {
        case ConsoleMode::Monitor: return "monitor";
        case ConsoleMode::Shell: return "shell";
        case ConsoleMode::Silent: return "silent";
    }
    return "?";
}

bool ParseFault(const std::string& text, Fault& fault) {
    std::string kind = text;
    int n = 1;
    size_t colon = text.find(':');
    if (colon != std::string::npos) {
        kind = text.substr(0, colon);
        char* end = nullptr;
        long value = std::strtol(text.c_str() + colon + 1, &end, 10);
        if (end == text.c_str() + colon + 1 || *end != 0 || value < 1 || value > 1000000) return false;
        n = static_cast<int>(value);
    }
    static const struct {
        const char* name;
        FaultKind kind;
    } names[] = {
        {"none", FaultKind::None},
        {"silence", FaultKind::Silence},
        {"drop-ack", FaultKind::DropAck},
        {"short-dump", FaultKind::ShortDump},
        {"garbled-dump", FaultKind::GarbledDump},
        {"error-801", FaultKind::Error801},
        {"bad-digit", FaultKind::BadDigit},
        {"digit-for-blank", FaultKind::DigitForBlank},
        {"drop-read", FaultKind::DropRead},
        {"flood", FaultKind::Flood},
        {"nul", FaultKind::NulBytes},
        {"lose-write", FaultKind::LoseWrite},
        {"insert-char", FaultKind::InsertChar},
        {"drop-char", FaultKind::DropChar},
    };
    for (const auto& entry : names) {
        if (kind == entry.name) {
            fault.kind = entry.kind;
            fault.n = n;
            return true;
        }
    }
    return false;
}

bool ParseFaults(const std::string& text, std::vector<Fault>& faults) {
    faults.clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        Fault fault;
        if (!ParseFault(text.substr(start, comma - start), fault)) return false;
        faults.push_back(fault);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

ConverterModel::ConverterModel() {
    FillRealisticBlock(block_);
    std::memcpy(staging_, block_, BLOCK_SIZE);
    output_.reserve(4096);
}

void ConverterModel::SetMode(ConsoleMode mode) {
    mode_ = mode;
    line_.clear();
    lineAtWrongSpeed_ = false;
    unlockE7_ = unlocked_ = configMode_ = false;
}

void ConverterModel::SetFaults(const std::vector<Fault>& faults) {
    faults_ = faults;
    ackCount_ = replyCount_ = readChunkCount_ = writeChunkCount_ = 0;
}

void ConverterModel::SetBlock(const uint8_t* block) {
    if (std::memcmp(block_, block, BLOCK_SIZE) != 0) ++blockGeneration_;
    std::memcpy(block_, block, BLOCK_SIZE);
    std::memcpy(staging_, block_, BLOCK_SIZE);
}

size_t ConverterModel::TakeOutput(uint8_t* destination, size_t capacity) {
    size_t n = PendingOutput();
    if (n > capacity) n = capacity;
    std::memcpy(destination, PeekOutput(), n);
    ConsumeOutput(n);
    return n;
}

void ConverterModel::ConsumeOutput(size_t n) {
    outputPos_ += n < PendingOutput() ? n : PendingOutput();
    if (outputPos_ == output_.size()) {
        output_.clear();
        outputPos_ = 0;
    }
}

void ConverterModel::Receive(const uint8_t* data, size_t length, int baud) {
    const int lineBaud = mode_ == ConsoleMode::Shell ? SHELL_BAUD : MONITOR_BAUD;
    for (size_t i = 0; i < length; ++i) {
        char c = static_cast<char>(data[i]);
        if (baud != lineBaud) lineAtWrongSpeed_ = true;
        if (c != '\r') {
            if (line_.size() < MAX_LINE) line_.push_back(c);
            continue;
        }
        log_.push_back({baud, line_ + "\r"});
        // At a foreign speed the console sees only framing errors.
        if (!lineAtWrongSpeed_ && mode_ != ConsoleMode::Silent && !Has(FaultKind::Silence)) HandleLine(line_, baud);
        line_.clear();
        lineAtWrongSpeed_ = false;
    }
}

void ConverterModel::HandleLine(const std::string& line, int) {
    if (mode_ == ConsoleMode::Monitor)
        HandleMonitorLine(line);
    else
        HandleShellLine(line);
}

// Monitor answers start with the echoed command line; a status code line
// follows ("701" done, "801" refused).
void ConverterModel::HandleMonitorLine(const std::string& command) {
    const std::string echo = command + "\r";
    if (command.empty()) return;
    if (command == "r") {
        Reply(echo + "\nPC=00000020 SR=00 \r\n", false);
        return;
    }
    if (command.compare(0, 2, "r ") == 0) {
        size_t pos = 1;
        unsigned address = 0, length = 0;
        if (ParseHexNumber(command, pos, address) && ParseHexNumber(command, pos, length) && AtEnd(command, pos)) {
            MonitorRead(echo, address, length);
            return;
        }
    } else if (command == "!u e7") {
        unlockE7_ = true;
        Reply(echo + "\n701\r\n", true);
        return;
    } else if (command == "!u 3d" && unlockE7_) {
        unlocked_ = true;
        Reply(echo + "\n701\r\n", true);
        return;
    } else if (command.compare(0, 3, "!w ") == 0) {
        MonitorWrite(echo, command.substr(2));
        return;
    }
    Reply(echo + "\n801\r\n", true);
}

// A read answer is exactly: the echoed command with its carriage return,
// "\n701\r\n", then "xx " per byte, then "\r\n" - that is the command's
// length + 3 x length + 8 characters.
void ConverterModel::MonitorRead(const std::string& echo, unsigned address, unsigned length) {
    if (length < 1 || length > 128 || address < MONITOR_BASE_ADDRESS ||
        address + length > MONITOR_BASE_ADDRESS + BLOCK_SIZE) {
        Reply(echo + "\n801\r\n", false);
        return;
    }
    ++readChunkCount_;
    if (Hits(FaultKind::DropRead, readChunkCount_)) return;
    std::string text = echo + "\n701\r\n";
    const size_t data = text.size();
    if (Hits(FaultKind::Error801, readChunkCount_)) {
        // Same length as a good answer, so only the "801" tells it apart.
        text += "801";
        for (unsigned i = 1; i < length; ++i) text += " ??";
    } else {
        for (unsigned i = 0; i < length; ++i) text += Hex2(block_[address - MONITOR_BASE_ADDRESS + i]) + " ";
    }
    // Damage that keeps the length: only the content can give it away.
    if (Hits(FaultKind::BadDigit, readChunkCount_)) text[data + 1] = 'g';
    if (Hits(FaultKind::DigitForBlank, readChunkCount_)) text[data + 2] = '0';
    text += "\r\n";
    Reply(text, false);
}

void ConverterModel::MonitorWrite(const std::string& echo, const std::string& args) {
    size_t pos = 0;
    unsigned address = 0;
    uint8_t data[16];
    unsigned count = 0;
    bool ok = unlocked_ && ParseHexNumber(args, pos, address);
    while (ok && !AtEnd(args, pos)) {
        unsigned value = 0;
        if (count == sizeof data || !ParseHexNumber(args, pos, value) || value > 0xFF)
            ok = false;
        else
            data[count++] = static_cast<uint8_t>(value);
    }
    // Addresses below 64 hold the identity words; the console keeps them.
    ok = ok && count > 0 && address >= 64 && address + count <= MONITOR_BASE_ADDRESS + BLOCK_SIZE;
    if (!ok) {
        Reply(echo + "\n801\r\n", true);
        return;
    }
    uint8_t* target = block_ + (address - MONITOR_BASE_ADDRESS);
    if (!LosesWriteChunk() && std::memcmp(target, data, count) != 0) {
        std::memcpy(target, data, count);
        ++blockGeneration_;
    }
    Reply(echo + "\n701\r\n", true);
}

// The shell does not echo; it answers with "@7xx" status lines, or with a
// prompt outside its configuration mode.
void ConverterModel::HandleShellLine(const std::string& command) {
    if (command.empty()) {
        // An empty line leaves configuration mode without committing.
        configMode_ = false;
        Reply("\r\nmsh>", false);
        return;
    }
    if (!configMode_) {
        if (command == "env xconfig") {
            configMode_ = true;
            std::memcpy(staging_, block_, BLOCK_SIZE);
            Reply("@700\r\n", true);
            return;
        }
        std::string word = command.substr(0, command.find(' '));
        Reply(word + ": unknown command\r\nmsh>", false);
        return;
    }
    if (command == "L0") {
        Reply("@701\r\n", true);
    } else if (command == "RA 00") {
        ShellDump();
    } else if (command.compare(0, 3, "WH ") == 0) {
        ShellWrite(command.substr(3));
    } else if (command == "C0") {
        configMode_ = false;
        if (std::memcmp(block_, staging_, BLOCK_SIZE) != 0) {
            std::memcpy(block_, staging_, BLOCK_SIZE);
            ++blockGeneration_;
        }
        Reply("@761\r\nmsh>", true);
    } else if (command == "C1") {
        configMode_ = false;
        Reply("\r\nmsh>", false);
    } else {
        Reply("@702\r\n", true);
    }
}

void ConverterModel::ShellDump() {
    std::string digits = FormatBlockHex(staging_);
    if (Has(FaultKind::ShortDump)) {
        digits.resize(900);
    } else if (Has(FaultKind::GarbledDump)) {
        digits[301] = 'G';
        digits[302] = '?';
    }
    Reply(digits + "\r\n@701\r\n", false);
}

// "WH aaa hhhh...": exactly three address digits, one blank, then two hex
// digits per byte without separators.
void ConverterModel::ShellWrite(const std::string& args) {
    bool ok = args.size() >= 6 && args[3] == ' ';
    unsigned address = 0;
    for (size_t i = 0; ok && i < 3; ++i) ok = std::isxdigit(static_cast<unsigned char>(args[i])) != 0;
    for (size_t i = 0; ok && i < 3; ++i) address = address * 16 + HexDigitValue(args[i]);
    std::string hex = ok ? args.substr(4) : std::string();
    ok = ok && !hex.empty() && hex.size() % 2 == 0 && hex.size() <= 32;
    for (char c : hex) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
    const unsigned count = static_cast<unsigned>(hex.size() / 2);
    ok = ok && address >= 32 && address + count <= BLOCK_SIZE;
    if (!ok) {
        Reply("@702\r\n", true);
        return;
    }
    if (LosesWriteChunk()) {
        Reply("@701\r\n", true);
        return;
    }
    for (unsigned i = 0; i < count; ++i)
        staging_[address + i] = static_cast<uint8_t>(HexDigitValue(hex[2 * i]) * 16 + HexDigitValue(hex[2 * i + 1]));
    Reply("@701\r\n", true);
}

bool ConverterModel::LosesWriteChunk() {
    ++writeChunkCount_;
    return Hits(FaultKind::LoseWrite, writeChunkCount_);
}

bool ConverterModel::Hits(FaultKind kind, int count) const {
    for (const Fault& fault : faults_)
        if (fault.kind == kind && fault.n == count) return true;
    return false;
}

bool ConverterModel::Has(FaultKind kind) const {
    for (const Fault& fault : faults_)
        if (fault.kind == kind) return true;
    return false;
}

void ConverterModel::Reply(const std::string& text, bool isAck) {
    ++replyCount_;
    if (isAck) ++ackCount_;
    if (isAck && Hits(FaultKind::DropAck, ackCount_)) return;
    if (Hits(FaultKind::NulBytes, replyCount_)) Emit(std::string(2, '\0'));
    if (Hits(FaultKind::InsertChar, replyCount_) || Hits(FaultKind::DropChar, replyCount_)) {
        // A character gained or lost on the line, in the middle of the reply.
        std::string damaged = text;
        if (Hits(FaultKind::InsertChar, replyCount_))
            damaged.insert(damaged.size() / 2, 1, '0');
        else
            damaged.erase(damaged.size() / 2, 1);
        Emit(damaged);
    } else {
        Emit(text);
    }
    if (Hits(FaultKind::Flood, replyCount_)) Emit(std::string(FLOOD_LENGTH, '*'));
}

void ConverterModel::Emit(const std::string& text) { output_.insert(output_.end(), text.begin(), text.end()); }

}  // namespace tarvosim
