#include "tools/window-driver/sim_files.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tools/window-driver/app_driver.h"

namespace e2e {

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    std::fclose(file);
    return text;
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text;
}

std::vector<uint8_t> FromHex(const std::string& text) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    return bytes;
}

SimFiles::SimFiles(const std::string& port) : port_(port) {
    const char* unixDir = std::getenv("QUARNEL_SIM_DIR");
    if (!unixDir || !*unixDir) return;
    dir_ = "Z:";
    for (const char* p = unixDir; *p; ++p) dir_.push_back(*p == '/' ? '\\' : *p);
    dir_.push_back('\\');
}

std::string SimFiles::Path(const char* suffix) const { return dir_ + "sim-" + port_ + suffix; }

std::vector<LoggedCommand> SimFiles::Log() const {
    std::vector<LoggedCommand> commands;
    std::istringstream lines(ReadWholeFile(Path(".log")));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t blank = line.find(' ');
        if (blank == std::string::npos) continue;
        commands.push_back({std::atoi(line.substr(0, blank).c_str()), line.substr(blank + 1)});
    }
    return commands;
}

std::vector<uint8_t> SimFiles::Block() const {
    std::vector<uint8_t> block = FromHex(ReadWholeFile(Path(".final")));
    if (block.size() != 480) block.clear();
    return block;
}

bool SimFiles::Control(const std::vector<std::string>& lines, DWORD timeoutMs) {
    const int sequence = ++sequence_ + static_cast<int>(GetTickCount() % 100000) * 100;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    text += "seq " + std::to_string(sequence) + "\n";
    // Written whole under another name, then renamed, so the simulator never
    // reads half a file.
    const std::string temporary = Path(".ctl.tmp");
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    if (!MoveFileExA(temporary.c_str(), Path(".ctl").c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    const std::string expected = std::to_string(sequence);
    return WaitUntil(
        [&] {
            std::string ack = ReadWholeFile(Path(".ctl.ack"));
            while (!ack.empty() && (ack.back() == '\n' || ack.back() == '\r' || ack.back() == ' ')) ack.pop_back();
            return ack == expected;
        },
        timeoutMs);
}

bool SimFiles::Reset(const std::string& mode, const std::vector<uint8_t>& block) {
    return Control({"mode " + mode, "fault none", "block " + ToHex(block)});
}

}  // namespace e2e
