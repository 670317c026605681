#include "tools/bench-driver/wire_floor.h"

#include <sstream>

namespace bench {

LineCounts ParseLineCounts(const std::string& text) {
    LineCounts counts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int baud = 0;
        double received = 0, sent = 0;
        if (fields >> baud >> received >> sent && baud > 0) counts[baud] = {received, sent};
    }
    return counts;
}

LineCounts Difference(const LineCounts& after, const LineCounts& before) {
    LineCounts difference = after;
    for (auto& [baud, counts] : difference) {
        auto old = before.find(baud);
        if (old == before.end()) continue;
        counts.received -= old->second.received;
        counts.sent -= old->second.sent;
    }
    return difference;
}

double WireMilliseconds(const LineCounts& counts) {
    double ms = 0;
    for (const auto& [baud, c] : counts) ms += (c.received + c.sent) * 10.0 * 1000.0 / baud;
    return ms;
}

}  // namespace bench
