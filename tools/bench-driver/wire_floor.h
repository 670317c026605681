// The time an exchange needs on the wire alone, from the simulator's line
// counters (tarvo-sim --stats): ten bits a character in both directions, at
// the speed each byte crossed the line.
#pragma once

#include <map>
#include <string>

namespace bench {

struct SpeedCounts {
    double received = 0;  // bytes the converter took in
    double sent = 0;      // bytes it answered with
};

// Speed in bits per second -> counts. Lines that do not parse are skipped.
using LineCounts = std::map<int, SpeedCounts>;

LineCounts ParseLineCounts(const std::string& text);
// What `after` holds beyond `before`.
LineCounts Difference(const LineCounts& after, const LineCounts& before);
double WireMilliseconds(const LineCounts& counts);

}  // namespace bench
