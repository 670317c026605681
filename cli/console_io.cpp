#include "cli/console_io.h"

#include <iostream>

namespace quarnel {

bool ReadStdinLine(std::string& line) {
    if (!std::getline(std::cin, line) && line.empty()) return false;
    DropLineEnd(line);
    return true;
}

void DropLineEnd(std::string& line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

}  // namespace quarnel
