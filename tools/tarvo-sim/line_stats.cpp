#include "line_stats.h"

#include <cinttypes>
#include <cstdio>

namespace tarvosim {

void LineStats::CountReceived(int baud, size_t bytes) {
    if (bytes == 0) return;
    bySpeed_[baud].received += bytes;
    dirty_ = true;
}

void LineStats::CountSent(int baud, size_t bytes) {
    if (bytes == 0) return;
    bySpeed_[baud].sent += bytes;
    dirty_ = true;
}

std::string LineStats::Format() const {
    std::string text;
    for (const auto& [baud, counts] : bySpeed_) {
        char line[80];
        std::snprintf(line, sizeof line, "%d %" PRIu64 " %" PRIu64 "\n", baud, counts.received, counts.sent);
        text += line;
    }
    return text;
}

}  // namespace tarvosim
