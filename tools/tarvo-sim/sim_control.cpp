#include "sim_control.h"

#include "block_text.h"

#include <cstdio>
#include <sstream>

namespace tarvosim {

ControlResult ApplyControl(const std::string& content, ConverterModel& model) {
    ControlResult result;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string key, value;
        words >> key;
        if (key.empty()) continue;
        std::getline(words >> std::ws, value);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        bool ok = true;
        if (key == "mode") {
            ConsoleMode mode;
            ok = ParseConsoleMode(value, mode);
            if (ok) model.SetMode(mode);
        } else if (key == "fault") {
            std::vector<Fault> faults;
            ok = ParseFaults(value, faults);
            if (ok) model.SetFaults(faults);
        } else if (key == "block") {
            uint8_t block[BLOCK_SIZE];
            ok = ParseBlockHex(value, block);
            if (ok) model.SetBlock(block);
        } else if (key == "unplug") {
            result.unplug = true;
        } else if (key == "seq") {
            ok = !value.empty();
            if (ok) {
                result.hasSeq = true;
                result.seq = value;
            }
        } else {
            ok = false;
        }
        if (!ok) ++result.rejectedLines;
    }
    return result;
}

std::string EscapeForLog(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\\': out += "\\\\"; break;
            case 0: out += "\\0"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out;
}

}  // namespace tarvosim
